#include "common/TextEncoding.h"

#include <QStringDecoder>

bool DecodeUtf8Text(QByteArrayView bytes, QString& text) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = dec(bytes);
    return !dec.hasError();
}

bool DecodeGb18030Text(QByteArrayView bytes, QString& text) {
    QStringDecoder dec("GB18030", QStringDecoder::Flag::Stateless);
    if (!dec.isValid()) {
        text = QString::fromLatin1(bytes.data(), bytes.size());
        return true;
    }
    text = dec(bytes);
    return !dec.hasError();
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
    TextEncodingVote vote;
    int firstNotUtf8 = 0;
    QString scratch;
    ForEachLine(bytes, [&](int line, QByteArrayView text) {
        if (!HoldsNonAscii(text)) return true;
        const bool utf8 = DecodeUtf8Text(text, scratch);
        vote.Count(utf8);
        if (!utf8 && !firstNotUtf8) firstNotUtf8 = line;
        return true;
    });
    const bool gb18030 = vote.Gb18030();
    int damaged = gb18030 ? 0 : firstNotUtf8;
    if (gb18030) {
        ForEachLine(bytes, [&](int line, QByteArrayView text) {
            if (DecodeGb18030Text(text, scratch)) return true;
            damaged = line;
            return false;
        });
    }
    if (damagedLine) *damagedLine = damaged;
    QString whole;
    if (gb18030) DecodeGb18030Text(bytes, whole);
    else DecodeUtf8Text(bytes, whole);
    return whole;
}
