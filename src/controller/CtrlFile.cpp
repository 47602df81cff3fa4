#include "controller/CtrlFile.h"

#include <QFile>
#include <algorithm>
#include <QStringDecoder>

#include "common/ReadFile.h"
#include "common/SaveFile.h"
#include "common/ShellState.h"
#include "controller/SettingsTransfer.h"
#include "link/Messages.h"
#include "link/Vocabulary.h"
#include "platform/dialogs/MsgBox.h"

namespace {

constexpr int kFieldCount = 1 + CtrlValueCount;

QString DecodeFileText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb("GB18030");
    if (gb.isValid()) {
        text = gb.decode(bytes);
        if (!gb.hasError()) return text;
    }
    return QString::fromLatin1(bytes);
}

// Splits the text into fields the way the classic delimited input reads them:
// leading blanks are skipped; a field that begins with a double quote is the
// text up to the next double quote, and the rest up to the next comma or line
// end is skipped; any other field is the text up to the next comma or line end
// (trailing blanks dropped). Stops after `limit` fields.
QStringList ReadFields(const QString& text, int limit) {
    QStringList fields;
    const int n = text.size();
    int i = 0;
    auto isLineEnd = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    auto skipDelimiter = [&] {
        if (i >= n) return;
        if (text[i] == QLatin1Char(',')) {
            ++i;
        } else if (text[i] == QLatin1Char('\r')) {
            ++i;
            if (i < n && text[i] == QLatin1Char('\n')) ++i;
        } else if (text[i] == QLatin1Char('\n')) {
            ++i;
        }
    };
    while (i < n && fields.size() < limit) {
        while (i < n && text[i] == QLatin1Char(' ')) ++i;
        if (i < n && text[i] == QLatin1Char('"')) {
            const int end = text.indexOf(QLatin1Char('"'), i + 1);
            const int stop = end < 0 ? n : end;
            fields << text.mid(i + 1, stop - i - 1);
            i = end < 0 ? n : end + 1;
            while (i < n && text[i] != QLatin1Char(',') && !isLineEnd(text[i])) ++i;
        } else {
            const int start = i;
            while (i < n && text[i] != QLatin1Char(',') && !isLineEnd(text[i])) ++i;
            QString f = text.mid(start, i - start);
            while (f.endsWith(QLatin1Char(' '))) f.chop(1);
            fields << f;
        }
        skipDelimiter();
    }
    return fields;
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
                             int* badValue, QList<int>* unknownValues) {
    const QStringList fields = ReadFields(DecodeFileText(bytes), kFieldCount);
    if (fields.isEmpty() || fields[0] != header) return CtrlFileStatus::BadHeader;
    if (fields.size() < kFieldCount) return CtrlFileStatus::Short;
    for (int k = 1; k < kFieldCount; ++k) {
        if (!IsCtrlValueText(fields[k])) {
            if (badValue) *badValue = k;
            return CtrlFileStatus::BadValue;
        }
    }
    CtrlSettings copy = out;
    const std::vector<QString*> values = CtrlSettingsValues(copy);
    for (int k = 1; k < kFieldCount; ++k) *values[size_t(k - 1)] = fields[k];
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

QString UnknownCtrlValuesText(const CtrlSettings& s, const QList<int>& unknownValues) {
    const QStringList names = CtrlSettingsNames();
    const std::vector<const QString*> values = CtrlSettingsValues(s);
    QStringList lines;
    for (int n : unknownValues)
        if (n >= 1 && n <= int(values.size()))
            lines << names.value(n - 1) + " = \"" + *values[size_t(n - 1)] + "\"";
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
    QFile f(path);
    QString reason;
    if (!OpenRegularFile(f, kMaxBytes, &reason)) {
        MsgBox(reason.isEmpty() ? MessageTable().MsgBadFileFormat : reason, vbCritical);
        return false;
    }
    const QByteArray bytes = f.read(kMaxBytes);
    QList<int> unknown;
    const CtrlFileStatus status = ParseCtrlFile(bytes, CtrlFileHeader(), DSOSettings(), nullptr, &unknown);
    if (status != CtrlFileStatus::Ok) {
        MsgBox(MessageTable().MsgBadFileFormat, vbCritical);
        return false;
    }
    if (!unknown.isEmpty())
        MsgBox(MessageTable().MsgCtrlValuesUnknown.arg(UnknownCtrlValuesText(DSOSettings(), unknown)),
               vbExclamation);
    return true;
}
