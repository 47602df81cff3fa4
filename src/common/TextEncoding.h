#pragma once
// The texts of a file saved as UTF-8 (as this program writes) or as GB18030
// (as a Chinese Windows system saves them), told apart text by text so that
// one damaged byte never changes how the other texts read.
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <cstring>

// True when the bytes hold one above 0x7F (ASCII reads alike in both). Read
// eight bytes at a time: the sheet reader asks it of every text item.
inline bool HoldsNonAscii(QByteArrayView bytes) {
    const char* q = bytes.data();
    const char* const e = q + bytes.size();
    for (; e - q >= 8; q += 8) {
        uint64_t word;
        std::memcpy(&word, q, 8);
        if (word & 0x8080808080808080ull) return true;
    }
    for (; q < e; ++q)
        if (static_cast<unsigned char>(*q) & 0x80) return true;
    return false;
}

// The bytes as UTF-8 / as GB18030; false when they are not (a byte or a
// sequence no character of that encoding has). Where the system has no
// GB18030 converter the bytes are taken as Latin-1.
bool DecodeUtf8Text(QByteArrayView bytes, QString& text);
bool DecodeGb18030Text(QByteArrayView bytes, QString& text);

// The file's encoding, from its texts that hold a byte above 0x7F: GB18030
// only when more of them are not UTF-8 than are. A text saved as GB18030
// reads as UTF-8 only by chance (a few in a hundred, mostly one or two
// characters long), and a damaged byte spoils only its own text; so a file
// whose other texts read as UTF-8 is UTF-8, and its text that does not is
// damage, never a reason to read every text another way.
class TextEncodingVote {
public:
    void Count(bool utf8) { (utf8 ? utf8_ : other_) += 1; }
    bool AllUtf8() const { return other_ == 0; }
    bool Gb18030() const { return other_ > utf8_; }

private:
    int utf8_ = 0;
    int other_ = 0;
};

// The line (from 1) that holds the byte at offset `at` of a file's bytes.
// Lines end in CR LF, LF or CR.
int LineOf(QByteArrayView bytes, qsizetype at);

// A file of text lines (a controller file) decoded by the vote of its lines:
// as UTF-8, or as GB18030 when more of its lines holding bytes above 0x7F
// are not UTF-8 than are. `damagedLine` (from 1) names the first line that
// is not of the file's encoding (a damaged byte), 0 when none is; such a line
// reads with U+FFFD in place of its damaged bytes. Lines end in CR LF, LF or
// CR.
QString DecodeTextLines(QByteArrayView bytes, int* damagedLine);
