#include "controller/CtrlFile.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>

#include "common/ReadFile.h"
#include "common/SaveFile.h"
#include "common/TextEncoding.h"
#include "common/ShellState.h"
#include "controller/CtrlValueNames.h"
#include "controller/CtrlState.h"
#include "controller/LevelMark.h"
#include "controller/SettingsTransfer.h"
#include "link/Messages.h"
#include "link/SettingCatalog.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

constexpr int kFieldCount = 1 + CtrlValueCount;  // the header and the values

// One line of the file: blanks (spaces, tabs) around it are no part of it; a
// value that begins with a double quote is the text up to the next double
// quote on the line, and nothing but blanks may follow it; any other value
// is the text of the line. A comma outside quotes would start a second value.
struct Line {
    QString text;
    CtrlFileStatus fault = CtrlFileStatus::Ok;  // SharedLine, Unclosed, TextAfterQuote or BadValue
    bool blank = false;                         // nothing but blanks
};

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QStringView Trimmed(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.sliced(b, e - b);
}

Line ReadLine(QStringView raw) {
    Line l;
    const QStringView t = Trimmed(raw);
    l.blank = t.isEmpty();
    if (t.startsWith(QLatin1Char('"'))) {
        const qsizetype end = t.indexOf(QLatin1Char('"'), 1);
        if (end < 0) {
            l.fault = CtrlFileStatus::Unclosed;
            return l;
        }
        l.text = t.sliced(1, end - 1).toString();
        if (const QStringView rest = Trimmed(t.sliced(end + 1)); !rest.isEmpty()) {
            l.fault = rest.startsWith(QLatin1Char(',')) ? CtrlFileStatus::SharedLine : CtrlFileStatus::TextAfterQuote;
            return l;
        }
    } else {
        if (t.contains(QLatin1Char(','))) {
            l.fault = CtrlFileStatus::SharedLine;
            return l;
        }
        l.text = t.toString();
    }
    if (!IsCtrlValueText(l.text)) l.fault = CtrlFileStatus::BadValue;
    return l;
}

// The file's lines; CR LF, CR and LF each end one line. Blank lines after the
// last value are none of them. Only the header's and the settings' lines are
// kept; of the lines after them, where the first that holds something is.
struct FileLines {
    QList<Line> head;  // lines 1 .. 1 + CtrlValueCount at most
    int count = 0;     // the lines, up to the last that holds something
    int firstPast = 0; // the first line after the settings' that holds something; 0 for none
};

FileLines ReadLines(const QString& text) {
    FileLines f;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (int number = 1; start < n; ++number) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n')) ++end;
        const QStringView raw = QStringView(text).sliced(start, end - start);
        bool blank;
        if (number <= kFieldCount) {
            f.head << ReadLine(raw);
            blank = f.head.last().blank;
        } else {
            blank = Trimmed(raw).isEmpty();
            if (!blank && f.firstPast == 0) f.firstPast = number;
        }
        if (!blank) f.count = number;
        if (end < n && text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n')) ++end;
        start = end + 1;
    }
    f.head.resize(std::min<qsizetype>(f.head.size(), f.count));
    return f;
}

// Whether `text` fits setting `number` as the open judges it (the settings
// catalog's SettingHolds, a level by its row's source in `s`): a value the
// catalog never judges fits whatever it holds, and so does a level row's
// not-known mark.
bool Fits(const CtrlSettings& s, int number, const QString& text) {
    return SettingOf(number).judged == Judged::Kept || IsLevelNotKnownIn(number, text) ||
           SettingHolds(s, number, text);
}

// A file with a line too many or too few: its values from the damage on sit
// one line off. Each value line is judged by the setting of its own line
// number; the first value that does not fit its setting is at or just after
// the damage. Only values before `limit` (a line fault) count. 0 for none.
int FirstMisfit(const QList<Line>& lines, const CtrlSettings& mirror, int limit) {
    CtrlSettings s = mirror;
    const std::vector<QString*> values = CtrlSettingsValues(s);
    const int last = std::min({int(lines.size()) - 1, CtrlValueCount, limit - 1});
    for (int k = 1; k <= last; ++k) *values[size_t(k - 1)] = lines[k].text;
    for (int k = 1; k <= last; ++k)
        if (!Fits(s, k, lines[k].text)) return k;
    return 0;
}

// Reads the header and the 193 values, or says where the file is not the
// format's.
CtrlFileFault ReadFields(const QString& text, const QString& header, const CtrlSettings& mirror,
                         QStringList& values) {
    const FileLines file = ReadLines(text);
    const QList<Line>& lines = file.head;
    if (lines.isEmpty() || lines[0].fault != CtrlFileStatus::Ok || lines[0].text != header)
        return {CtrlFileStatus::BadHeader, 1, 0};
    const int count = file.count - 1;  // value lines, blank ones inside included
    // The first line within the settings that holds no clean value.
    CtrlFileFault lineFault;
    for (int k = 1; k < int(lines.size()); ++k)
        if (lines[k].fault != CtrlFileStatus::Ok) {
            lineFault = {lines[k].fault, k + 1, k};
            break;
        }
    if (count == CtrlValueCount) {
        if (lineFault.status != CtrlFileStatus::Ok) return lineFault;
        for (int k = 1; k <= count; ++k) values << lines[k].text;
        return {};
    }
    const int limit = lineFault.status == CtrlFileStatus::Ok ? CtrlValueCount + 1 : lineFault.value;
    if (const int k = FirstMisfit(lines, mirror, limit)) return {CtrlFileStatus::Shifted, k + 1, k, file.count};
    if (lineFault.status != CtrlFileStatus::Ok) return lineFault;
    if (count < CtrlValueCount) return {CtrlFileStatus::Short, count + 2, count + 1};
    return {CtrlFileStatus::Long, file.firstPast, CtrlValueCount};
}

}  // namespace

bool IsCtrlValueText(const QString& v) {
    for (QChar c : v) {
        // A control character (NEL, CSI ...) is in no text of a file (common/TextEncoding.h).
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || IsControlChar(c.unicode())) return false;
        switch (c.category()) {
        case QChar::Other_Format:         // invisible marks: bidi controls, zero widths, BOM
        case QChar::Other_Surrogate:      // half a character
        case QChar::Separator_Line:       // U+2028
        case QChar::Separator_Paragraph:  // U+2029
            return false;
        default:
            if (c.isNonCharacter()) return false;
        }
    }
    return true;
}

QString CtrlFileHeader() {
    return Shell().MakerName + QLatin1Char(' ') + Shell().ModelName + QStringLiteral(" Controller");
}

QByteArray CtrlFileBytes(const CtrlSettings& s, const QString& header) {
    QString text;
    auto line = [&text](const QString& v) {
        text += QLatin1Char('"');
        text += v;
        text += QStringLiteral("\"\r\n");
    };
    line(header);
    for (const QString* v : CtrlSettingsValues(s)) line(*v);
    return text.toUtf8();
}

CtrlFileStatus ParseCtrlFile(const QByteArray& bytes, const QString& header, CtrlSettings& out,
                             CtrlFileFault* fault, QList<int>* unknownValues) {
    QStringList fields;
    int damagedLine = 0;
    CtrlFileFault found = ReadFields(DecodeTextLines(bytes, &damagedLine), header, out, fields);
    // The first fault in file order; on its own line a damaged byte is what
    // is wrong, unless the line is no header at all.
    if (damagedLine && (found.status == CtrlFileStatus::Ok ||
                        (found.line >= damagedLine && found.status != CtrlFileStatus::BadHeader)))
        found = {CtrlFileStatus::DamagedText, damagedLine, 0};
    if (fault) *fault = found;
    if (found.status != CtrlFileStatus::Ok) return found.status;
    CtrlSettings copy = out;
    const std::vector<QString*> values = CtrlSettingsValues(copy);
    for (int k = 0; k < CtrlValueCount; ++k) *values[size_t(k)] = fields[k];
    // A file keeps the words of the language it was saved in. Values that
    // are none of their setting's choices, or that the upload cannot send
    // (a number without its unit, a source the instrument has not), are
    // kept and reported.
    QList<int> unknown = NormalizeSettingWords(copy, Shell().UILanguage);
    unknown += UnsendableCtrlValues(copy);  // of the words in the current language
    std::sort(unknown.begin(), unknown.end());
    unknown.erase(std::unique(unknown.begin(), unknown.end()), unknown.end());
    if (unknownValues) *unknownValues = unknown;
    out = std::move(copy);
    return CtrlFileStatus::Ok;
}

QString CtrlFileFaultText(const CtrlFileFault& fault) {
    const MessageTableData& m = MessageTable();
    const QString line = QString::number(fault.line);
    const QString name = CtrlValueName(fault.value);
    QString detail;
    switch (fault.status) {
    case CtrlFileStatus::Ok: return QString();
    case CtrlFileStatus::BadHeader: detail = m.MsgCtrlBadHeader.arg(CtrlFileHeader()); break;
    case CtrlFileStatus::Short: detail = m.MsgCtrlShort.arg(line, name); break;
    case CtrlFileStatus::Long: detail = m.MsgCtrlLong.arg(line, name); break;
    case CtrlFileStatus::SharedLine: detail = m.MsgCtrlSharedLine.arg(line, name); break;
    case CtrlFileStatus::Unclosed: detail = m.MsgCtrlUnclosed.arg(line, name); break;
    case CtrlFileStatus::BadValue: detail = m.MsgCtrlBadValue.arg(line, name); break;
    case CtrlFileStatus::TextAfterQuote: detail = m.MsgCtrlTextAfterQuote.arg(line, name); break;
    case CtrlFileStatus::Shifted:
        detail = (fault.lines > kFieldCount ? m.MsgCtrlLinesExtra : m.MsgCtrlLinesMissing)
                     .For(std::abs(fault.lines - kFieldCount))
                     .arg(QString::number(fault.lines), QString::number(kFieldCount), line, name);
        break;
    case CtrlFileStatus::DamagedText: detail = m.MsgTextDamaged.arg(line); break;
    }
    return m.MsgBadFileFormat + QLatin1Char('\n') + detail;
}

QStringList UnknownCtrlValueLines(const CtrlSettings& s, const QList<int>& unknownValues) {
    const std::vector<const QString*> values = CtrlSettingsValues(s);
    QStringList lines;
    for (int n : unknownValues)
        if (n >= 1 && n <= int(values.size()))
            lines << CtrlValueName(n) + " = \"" + *values[size_t(n - 1)] + "\"";
    return lines;
}

bool WriteCtrlFile(const QString& path) {
    QString error;
    if (!SaveFileWhole(path, CtrlFileBytes(DSOSettings(), CtrlFileHeader()), &error)) {
        MsgBox(error, vbCritical);
        return false;
    }
    return true;
}

bool ReadCtrlFile(const QString& path) {
    // A controller file is a few kilobytes; anything far larger is no such
    // file, and so is anything but a regular file (a device, a named pipe).
    constexpr qint64 kMaxBytes = 1 << 20;
    FileContents file;
    QString reason;
    if (!file.open(path, kMaxBytes, kMaxBytes, &reason)) {
        MsgBox(ReadRefusalText(ReadRefusal::Unopened(reason), MessageTable().MsgBadFileFormat), vbCritical);
        return false;
    }
    // Parsed into a copy: a file refused, or changed while it was read,
    // leaves the settings as they were.
    CtrlSettings read = DSOSettings();
    QList<int> unknown;
    CtrlFileFault fault;
    const bool parsed = ParseCtrlFile(file.bytes(), CtrlFileHeader(), read, &fault, &unknown) == CtrlFileStatus::Ok;
    if (file.changed()) {
        MsgBox(ReadRefusalText({ReadRefusal::Changed, {}}, MessageTable().MsgBadFileFormat), vbCritical);
        return false;
    }
    if (!parsed) {
        MsgBox(CtrlFileFaultText(fault), vbCritical);
        return false;
    }
    DSOSettings() = std::move(read);
    if (!unknown.isEmpty())
        MsgBox(MessageTable().MsgCtrlValuesUnknown.Naming(UnknownCtrlValueLines(DSOSettings(), unknown)),
               vbExclamation);
    const QList<int> notKnown = LevelRowsNotKnown(DSOSettings());
    CtrlState().CtrlFileLevelsNotKnown = notKnown;
    if (!notKnown.isEmpty()) MsgBox(MessageTable().MsgCtrlLevelsNotKnown.Naming(LevelRowNames(notKnown)), vbExclamation);
    return true;
}
