#pragma once
// The texts of the application's own message boxes, and the titles of the
// link's message boxes, in the UI language.
//
// MessageTable() is empty until LoadMessages is first called; the language
// code applies it (with Shell().UILanguage) at start and at every switch, so a
// reader always takes the current entry at the moment it shows a message.
#include <QString>
#include <QStringList>

#include "common/ReadFile.h"
#include "common/ShellState.h"

// A message about a number of rows (settings, values, lines): its form for
// one and its form for several. Every such message chooses its form here.
struct CountedMessage {
    QString one;
    QString several;

    // The form for `count` rows.
    const QString& For(qsizetype count) const { return count == 1 ? one : several; }
    // The form for the rows, with %1 the rows, one a line.
    QString Naming(const QStringList& rows) const;

    bool operator==(const CountedMessage& o) const { return one == o.one && several == o.several; }
    bool operator!=(const CountedMessage& o) const { return !(*this == o); }
};

struct MessageTableData {
    QString MsgDeviceNotFound;
    QString MsgTitleConnect;
    QString MsgSysInfoUnavailable;
    QString MsgConnectFirst;
    QString MsgQueryOnly;
    QString MsgNumberOnly;
    QString MsgVoltsOnly;          // the volts-per-division box
    QString MsgVoltDivRange;       // %1, %2: the lowest and highest volts per division
    QString MsgRootNameFixed;
    QString MsgInvalidZoom;
    QString MsgBadSheetFile;
    QString MsgTooManyFiles;
    QString MsgOpenSheetFirst;
    QString MsgBadFileFormat;
    // What makes a controller file damaged (after MsgBadFileFormat); %1: the
    // line, %2: the setting's name (MsgCtrlBadHeader: %1 the header).
    QString MsgCtrlBadHeader;
    QString MsgCtrlShort;
    QString MsgCtrlLong;
    QString MsgCtrlSharedLine;
    QString MsgCtrlUnclosed;
    QString MsgCtrlBadValue;
    QString MsgCtrlTextAfterQuote;
    // A line too many or too few: %1 the file's lines, %2 the lines of a
    // controller file, %3 and %4 the first line whose value does not fit its
    // setting and that setting's name; the form by the lines too many or missing.
    CountedMessage MsgCtrlLinesExtra;
    CountedMessage MsgCtrlLinesMissing;
    QString MsgUsbConnectFail;
    QString MsgTitleUsbInit;
    QString MsgTitleUsbSend;
    QString MsgTitleUsbRead;
    QString MsgUsbReadFail;
    // The line after a transport's message when the link was dropped for it:
    // closed, and how to connect again.
    QString MsgLinkClosed;
    QString MsgInvalidNumeric;
    QString MsgFileFail;
    QString MsgBadChannelData;
    QString MsgFileFormatError;
    QString MsgBadWaveData;
    QString MsgMeasuresUnread;     // %1 of %2 measurement replies unusable (status line)
    QString MsgTitleRs232Init;
    QString MsgBadPortNumber;
    // The line after MsgBadPortNumber: which port and device failed (%1: the
    // COM number, %2: the device), or why none was tried.
    QString MsgPortDevice;
    QString MsgPortOutOfRange;     // %1: the COM number
    QString MsgPortBadBaud;        // %1, %2: as MsgPortDevice; %3: the baud rate as stored
    QString MsgTitleRs232Send;
    QString MsgRs232SendFail;
    QString MsgRs232ReadFail;
    QString MsgTitleRs232Read;
    QString MsgSaveSheetChanges;   // the caller appends the file name
    QString MsgSaveCtrlChanges;    // the caller appends the file name
    QString MsgTransferRunning;
    QString MsgOtherViewRefreshing;  // %1: the name of the view that refreshes continuously
    QString MsgUploadIncomplete;
    QString MsgDownloadIncomplete;
    QString MsgReplyUnusable;
    QString MsgLevelNotKnown;       // a trigger level row's value when its place is not known
    // Messages naming rows, one a line (CountedMessage::Naming).
    CountedMessage MsgReplyLevelsNotKnown;  // in place of MsgReplyUnusable when levels became not known
    CountedMessage MsgUploadLevelsNotKnown;  // the level settings
    CountedMessage MsgCtrlLevelsNotKnown;    // the level settings a file holds as not known
    CountedMessage MsgUploadFileLevelsNotKnown;  // the level settings
    CountedMessage MsgUploadLevelsUnanswered;  // the level settings
    CountedMessage MsgCtrlValuesUnknown;   // the values
    CountedMessage MsgUploadUnknownValues;  // the values
    QString MsgDownloadUnreadable;   // %1: the setting (and its query), %2: the reply
    QString MsgHelpNotInstalled;   // %1: the help file's path
    QString MsgHelpNoProgram;      // %1: the help file's path
    QString MsgSettingsNotSaved;   // %1: the settings file's path
    QString MsgFileChangedWhileRead;  // a file written by another program during the read
    QString MsgTextDamaged;  // %1: the line of a text whose bytes are damaged (after a format message)

    bool operator==(const MessageTableData& o) const;
    bool operator!=(const MessageTableData& o) const { return !(*this == o); }
};

// The table in force (module-level, lives as long as the process).
MessageTableData& MessageTable();

// The message of a link dropped for a failure: the transport's own text,
// then MsgLinkClosed on a line of its own.
QString LinkDroppedText(const QString& text);

// The one message of a refused read (common/ReadFile.h): the system's reason,
// MsgFileChangedWhileRead, or formatMessage with the place of the damage on
// a line of its own when the reader named it. Empty when nothing was refused.
QString ReadRefusalText(const ReadRefusal& refusal, const QString& formatMessage);

// The complete table of one language. Any value but LangChinese gives English.
MessageTableData MessagesFor(LanguageId language);

// Fills MessageTable() with the texts of the language: 0 Chinese, 1 English;
// any other value leaves the table as it is.
void LoadMessages(int language);
