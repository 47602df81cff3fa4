#include "controller/CtrlFile.h"

#include <QFile>
#include <algorithm>

#include "common/ReadFile.h"
#include "common/SaveFile.h"
#include "common/TextEncoding.h"
#include "common/ShellState.h"
#include "controller/CtrlValueNames.h"
#include "controller/SettingsTransfer.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

constexpr int kFieldCount = 1 + CtrlValueCount;  // the header and the values

// One field of the file, read the way the classic delimited input reads
// them: leading blanks are skipped; a field that begins with a double quote
// is the text up to the next double quote, and the rest up to the next comma
// or line end is skipped; any other field is the text up to the next comma or
// line end (trailing blanks dropped).
struct Field {
    QString text;
    int line = 0;              // where it begins, from 1
    bool firstOnLine = false;  // no field before it on its line
    bool quoted = false;
    bool closedOnLine = true;  // quoted: its closing quote is on its first line
    bool byComma = false;      // ended by a comma (not by a line end or the end)
    // A line of nothing but blanks.
    bool Blank() const { return !quoted && text.isEmpty() && firstOnLine && !byComma; }
};

class FieldReader {
public:
    explicit FieldReader(const QString& text) : text_(text) {}

    bool Next(Field& f) {
        const int n = text_.size();
        while (i_ < n && text_[i_] == QLatin1Char(' ')) ++i_;
        if (i_ >= n) return false;
        f = Field();
        f.line = line_;
        f.firstOnLine = lineStart_;
        if (text_[i_] == QLatin1Char('"')) {
            f.quoted = true;
            const int end = text_.indexOf(QLatin1Char('"'), i_ + 1);
            const int stop = end < 0 ? n : end;
            f.text = text_.mid(i_ + 1, stop - i_ - 1);
            f.closedOnLine = end >= 0 && !f.text.contains(QLatin1Char('\r')) && !f.text.contains(QLatin1Char('\n'));
            for (int k = i_; k < stop; ++k) CountLineEnd(k);
            i_ = end < 0 ? n : end + 1;
            while (i_ < n && text_[i_] != QLatin1Char(',') && !IsLineEnd(text_[i_])) ++i_;
        } else {
            const int start = i_;
            while (i_ < n && text_[i_] != QLatin1Char(',') && !IsLineEnd(text_[i_])) ++i_;
            f.text = text_.mid(start, i_ - start);
            while (f.text.endsWith(QLatin1Char(' '))) f.text.chop(1);
        }
        // The delimiter.
        lineStart_ = false;
        if (i_ < n && text_[i_] == QLatin1Char(',')) {
            ++i_;
            f.byComma = true;
        } else if (i_ < n) {
            if (text_[i_] == QLatin1Char('\r') && i_ + 1 < n && text_[i_ + 1] == QLatin1Char('\n')) ++i_;
            ++i_;
            ++line_;
            lineStart_ = true;
        }
        return true;
    }

private:
    static bool IsLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }
    // A line end inside a quoted field: CR LF, CR or LF each end one line.
    void CountLineEnd(int k) {
        if (text_[k] == QLatin1Char('\n') ||
            (text_[k] == QLatin1Char('\r') && (k + 1 >= text_.size() || text_[k + 1] != QLatin1Char('\n'))))
            ++line_;
    }

    const QString& text_;
    int i_ = 0;
    int line_ = 1;
    bool lineStart_ = true;
};

// Reads the header and the 193 values, or says where the file is not the
// format's. Blank lines after the last value are no field.
CtrlFileFault ReadFields(const QString& text, const QString& header, QStringList& values) {
    FieldReader reader(text);
    // Blank lines not yet known to be inside the file: one after another.
    int blanks = 0, firstBlank = 0;
    int count = 0;              // fields taken, the header included
    int lastLine = 0;
    auto take = [&](const Field& f) -> CtrlFileFault {
        const int k = count++;
        lastLine = f.line;
        if (k == 0 || f.line == 1) {
            if (f.text != header || !f.firstOnLine || !f.closedOnLine)
                return {CtrlFileStatus::BadHeader, 1, 0};
            return {};
        }
        if (!f.firstOnLine) return {CtrlFileStatus::SharedLine, f.line, k - 1};
        if (k >= kFieldCount) return {CtrlFileStatus::Long, f.line, CtrlValueCount};
        if (!f.closedOnLine) return {CtrlFileStatus::Unclosed, f.line, k};
        if (!IsCtrlValueText(f.text)) return {CtrlFileStatus::BadValue, f.line, k};
        values << f.text;
        return {};
    };
    Field f;
    while (reader.Next(f)) {
        if (f.Blank()) {
            if (blanks++ == 0) firstBlank = f.line;
            continue;
        }
        // Blank lines before a value are empty values; past the last setting
        // the value that follows them is the one to name.
        for (int b = 0; b < blanks; ++b) {
            Field blank;
            blank.line = firstBlank + b;
            blank.firstOnLine = true;
            CtrlFileFault fault = take(blank);
            if (fault.status == CtrlFileStatus::Long) fault.line = f.line;
            if (fault.status != CtrlFileStatus::Ok) return fault;
        }
        blanks = 0;
        if (const CtrlFileFault fault = take(f); fault.status != CtrlFileStatus::Ok) return fault;
    }
    if (count == 0) return {CtrlFileStatus::BadHeader, 1, 0};
    if (count < kFieldCount) return {CtrlFileStatus::Short, lastLine + 1, count};
    return {};
}

}  // namespace

bool IsCtrlValueText(const QString& v) {
    for (QChar c : v) {
        if (c == QLatin1Char(';') || c == QLatin1Char('"')) return false;
        switch (c.category()) {
        case QChar::Other_Control:        // U+0000..U+001F, U+007F..U+009F (NEL, CSI ...)
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
    CtrlFileFault found = ReadFields(DecodeTextLines(bytes, &damagedLine), header, fields);
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
    case CtrlFileStatus::DamagedText: detail = m.MsgTextDamaged.arg(line); break;
    }
    return m.MsgBadFileFormat + QLatin1Char('\n') + detail;
}

QString UnknownCtrlValuesText(const CtrlSettings& s, const QList<int>& unknownValues) {
    const std::vector<const QString*> values = CtrlSettingsValues(s);
    QStringList lines;
    for (int n : unknownValues)
        if (n >= 1 && n <= int(values.size()))
            lines << CtrlValueName(n) + " = \"" + *values[size_t(n - 1)] + "\"";
    return lines.join('\n');
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
        MsgBox(MessageTable().MsgCtrlValuesUnknown.arg(UnknownCtrlValuesText(DSOSettings(), unknown)),
               vbExclamation);
    return true;
}
