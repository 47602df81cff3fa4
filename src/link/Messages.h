#pragma once
// The texts of the application's own message boxes, and the titles of the
// link's message boxes, in the UI language.
//
// MessageTable() is empty until LoadMessages is first called; the language
// code applies it (with Shell().UILanguage) at start and at every switch, so a
// reader always takes the current entry at the moment it shows a message.
#include <QString>

#include "common/ShellState.h"

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
    QString MsgUsbConnectFail;
    QString MsgTitleUsbInit;
    QString MsgTitleUsbSend;
    QString MsgTitleUsbRead;
    QString MsgUsbReadFail;
    QString MsgInvalidNumeric;
    QString MsgFileFail;
    QString MsgBadChannelData;
    QString MsgFileFormatError;
    QString MsgBadWaveData;
    QString MsgMeasuresUnread;     // %1 of %2 measurement replies unusable (status line)
    QString MsgTitleRs232Init;
    QString MsgBadPortNumber;
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
    QString MsgUploadLevelsNotKnown;  // %1: the level settings, one a line
    QString MsgUploadLevelsUnanswered;  // %1: the level settings, one a line
    QString MsgCtrlValuesUnknown;   // %1: the values, one a line
    QString MsgUploadUnknownValues;  // %1: the values, one a line
    QString MsgDownloadUnreadable;   // %1: the setting (and its query), %2: the reply
    QString MsgHelpNotInstalled;   // %1: the help file's path
    QString MsgHelpNoProgram;      // %1: the help file's path
    QString MsgSettingsNotSaved;   // %1: the settings file's path
    QString MsgFileChangedWhileRead;  // a sheet or record file written by another program during the read

    bool operator==(const MessageTableData& o) const;
    bool operator!=(const MessageTableData& o) const { return !(*this == o); }
};

// The table in force (module-level, lives as long as the process).
MessageTableData& MessageTable();

// The complete table of one language. Any value but LangChinese gives English.
MessageTableData MessagesFor(LanguageId language);

// Fills MessageTable() with the texts of the language: 0 Chinese, 1 English;
// any other value leaves the table as it is.
void LoadMessages(int language);
