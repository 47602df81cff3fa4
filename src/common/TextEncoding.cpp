#include "common/TextEncoding.h"

#include <QStringDecoder>
#include <algorithm>

namespace {
// The bytes as UTF-8 / as GB18030; false when a byte or a sequence is none
// of its characters (each such reads as U+FFFD).
bool DecodeUtf8(QByteArrayView bytes, QString& text) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = dec(bytes);
    return !dec.hasError();
}

bool DecodeGb18030(QByteArrayView bytes, QString& text) {
    QStringDecoder dec("GB18030", QStringDecoder::Flag::Stateless);
    if (!dec.isValid()) {
        text = QString::fromLatin1(bytes.data(), bytes.size());
        return true;
    }
    text = dec(bytes);
    return !dec.hasError();
}

// Valid UTF-8 with a character of three or four bytes: a byte from 0xE0 up
// is such a character's first.
bool HoldsWideUtf8(QByteArrayView bytes) {
    for (char b : bytes)
        if (static_cast<unsigned char>(b) >= 0xE0) return bytes.isValidUtf8();
    return false;
}
}  // namespace

bool DecodeText(QByteArrayView bytes, TextEncoding encoding, QString& text) {
    if (encoding == TextEncoding::Utf8) return DecodeUtf8(bytes, text);
    return DecodeGb18030(bytes, text) && !HoldsWideUtf8(bytes);
}

bool HoldsControlChar(QStringView text) {
    for (QChar c : text)
        if (IsControlChar(c.unicode())) return true;
    return false;
}

TextEncodingChoice ChooseTextEncoding(const TextReading& utf8, const TextReading& gb18030) {
    if (utf8.damaged == 0) return {TextEncoding::Utf8, -1};
    if (gb18030.damaged == 0) return {TextEncoding::Gb18030, -1};
    if (gb18030.damaged < utf8.damaged) return {TextEncoding::Gb18030, gb18030.firstDamaged};
    return {TextEncoding::Utf8, utf8.firstDamaged};
}

namespace {
// Calls each(line, bytes) for every line of the file.
template <typename Each>
void ForEachLine(QByteArrayView bytes, Each each) {
    qsizetype start = 0;
    int line = 1;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') continue;
        if (!each(line, bytes.sliced(start, i - start))) return;
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') ++i;
        start = i + 1;
        ++line;
    }
}
}  // namespace

int LineOf(QByteArrayView bytes, qsizetype at) {
    int found = 1;
    ForEachLine(bytes, [&](int line, QByteArrayView text) {
        found = line;
        return text.data() + text.size() - bytes.data() < at;  // on while the line ends before it
    });
    return found;
}

QString DecodeTextLines(QByteArrayView bytes, int* damagedLine) {
    QString scratch;
    // One reading of the lines that hold bytes above 0x7F.
    auto read = [&](TextEncoding encoding) {
        TextReading reading;
        ForEachLine(bytes, [&](int line, QByteArrayView text) {
            if (HoldsNonAscii(text)) reading.Count(DecodeText(text, encoding, scratch), line);
            return true;
        });
        return reading;
    };
    const TextReading utf8 = read(TextEncoding::Utf8);
    const TextEncodingChoice choice =
        ChooseTextEncoding(utf8, utf8.damaged ? read(TextEncoding::Gb18030) : TextReading());
    if (damagedLine) *damagedLine = int(std::max<qsizetype>(choice.damagedAt, 0));
    QString whole;
    if (choice.encoding == TextEncoding::Gb18030) DecodeGb18030(bytes, whole);
    else DecodeUtf8(bytes, whole);
    return whole;
}
