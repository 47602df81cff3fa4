#pragma once
// The texts of a file saved as UTF-8 (as this program writes) or as GB18030
// (as a Chinese Windows system saves them): the file's encoding is the one
// every text reads in, so one damaged byte never changes how the other
// texts read; it is named, by the line of its text.
#include <QByteArrayView>
#include <QString>
#include <QStringView>
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

// A control character (U+0000..U+001F, U+007F..U+009F): no text of a file
// holds one. Names refuse them where they are entered, and a controller
// value is none; a zero byte or a line end inside a text is damage.
inline bool IsControlChar(char16_t c) { return (c < 0x20) | (unsigned(c) - 0x7Fu <= 0x20u); }
bool HoldsControlChar(QStringView text);

// The two encodings a file's texts are read in.
enum class TextEncoding { Utf8, Gb18030 };

// The bytes of one text as `encoding`; false when they are no text of it: a
// byte or a sequence none of its characters has, or, for GB18030, bytes that
// read as UTF-8 holding a character of three or four bytes, as a Chinese
// text saved as UTF-8 does. A text saved as GB18030 reads as UTF-8 only by
// chance, and then as characters of two bytes ("前" C7 B0 reads as U+01F0,
// "一" D2 BB as U+04BB): its characters of four bytes hold ASCII digits, and
// those of two line up with a UTF-8 sequence of three only in rare runs.
// Where the system has no GB18030 converter the bytes are taken as Latin-1.
bool DecodeText(QByteArrayView bytes, TextEncoding encoding, QString& text);

// One reading of a file's texts: how many are no text of its encoding (a
// reader counts what it reads as damage: DecodeText's refusals, and the
// sheet reader also a text holding a control character), and where the
// first of them is (an offset or a line; -1 for none).
struct TextReading {
    int damaged = 0;
    qsizetype firstDamaged = -1;

    void Count(bool fits, qsizetype at) {
        if (fits) return;
        if (damaged++ == 0) firstDamaged = at;
    }
};

// The encoding of a file, from its readings, and where its damage is.
struct TextEncodingChoice {
    TextEncoding encoding = TextEncoding::Utf8;
    qsizetype damagedAt = -1;  // the first text that is not of `encoding`; -1: the file reads whole
};

// A file is UTF-8 when every text reads as UTF-8: every file this program
// writes reads as written, whatever else its bytes could be (a sheet of a
// Chinese Windows system whose every text happens to read as UTF-8 reads
// so). Otherwise it is GB18030 when every text reads as GB18030 (DecodeText:
// none reads as UTF-8 with a character of three bytes or more, as a Chinese
// text saved as UTF-8 would). The GB18030 reading is needed only when the
// UTF-8 one has damage. A file that reads whole in neither is damaged; its
// damage is named in the reading with fewer damaged texts (UTF-8 on a tie):
// a damaged byte spoils one text of the encoding the file was saved in,
// where the other encoding spoils each of its Chinese texts.
TextEncodingChoice ChooseTextEncoding(const TextReading& utf8, const TextReading& gb18030);

// The line (from 1) that holds the byte at offset `at` of a file's bytes.
// Lines end in CR LF, LF or CR.
int LineOf(QByteArrayView bytes, qsizetype at);

// A file of text lines (a controller file) decoded in the encoding its lines
// choose (ChooseTextEncoding, a line being one text). `damagedLine` (from 1)
// names the first line that is not of the file's encoding (a damaged byte),
// 0 when none is; such a line reads with U+FFFD in place of its damaged
// bytes. Lines end in CR LF, LF or CR.
QString DecodeTextLines(QByteArrayView bytes, int* damagedLine);
