#pragma once
// The comma-separated text of a memory waveform: two header lines, then one
// line per memory point with its time and voltage; CR LF after every line;
// numbers always with ".".
//
// The export works on its own copy of the record (MemoryWaveCsvSource): it
// yields to the event loop while it writes, and the view it came from may
// change or be removed meanwhile.
//
// In ALTERNATION mode each channel has its own count, middle index, rate and
// delay; there is one line per index up to the longer channel, and the
// shorter channel's fields are empty past its end.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;
struct MemWaveInfo;

struct MemoryWaveCsvChannel {
    bool Shown = false;       // the channel's voltage column is written
    int64_t Count = 0;        // points of the channel (its time column's lines)
    int64_t Middle = 0;       // index whose time is the acquisition delay
    double AcqDelay = 0;      // seconds
    float Period = 0;         // 1 / rate, single precision
    float VoltsDiv = 0;       // as loaded
    int32_t Ground = 100;     // 100 - the as-loaded offset in points
    std::vector<int16_t> Memory;
    // The voltage text of each code from TextFirst on: length, then up to
    // 16 characters (made with the copy when the codes span a small range).
    int TextFirst = 0;
    std::vector<std::array<char, 17>> Texts;
};

struct MemoryWaveCsvSource {
    bool Alternation = false;
    MemoryWaveCsvChannel Ch1, Ch2;  // in normal mode both use CH1's time column
    int64_t Lines = 0;              // data lines
};

enum class MemoryWaveCsvStatus {
    Ok,
    NoChannel,  // neither channel shown: "Invalid waveform data!"
    BadData,    // a rate or volts/div that gives no number, or a memory shorter than its count
};

// Takes the copy the export writes from.
MemoryWaveCsvStatus MakeMemoryWaveCsvSource(const MemWaveInfo& rec, MemoryWaveCsvSource& out);

// "X,CH1,CH2\r\nSecond,Voltage,Voltage\r\n" and its variants.
QByteArray MemoryWaveCsvHeader(const MemoryWaveCsvSource& src);
// Appends data line i (0 .. Lines - 1) with its CR LF.
void AppendMemoryWaveCsvLine(QByteArray& out, const MemoryWaveCsvSource& src, int64_t i);
// The whole text at once (small records, tests).
QByteArray MemoryWaveCsvText(const MemoryWaveCsvSource& src);

// A number as the file writes it: three significant digits, halves away from
// zero; "0.00E+00" from 1 up, "0.00E-00" below 1 (the exponent's sign only
// when it is negative): 2.50E+00, 4.00E-03, 0.00E00, -2.50E00.
QByteArray CsvNumberText(float value);
// The same through an exact decimal expansion (slow; the reference).
QByteArray CsvNumberTextExact(float value);

// Progress while writing: percent moves in tens, after every tenth of the
// lines (every line when there are 5 or fewer); yield is called now and then
// so the windows stay usable.
struct MemoryWaveCsvProgress {
    std::function<void(int percent)> SetPercent;
    std::function<void()> Yield;
};

// Writes the header and every line to the device; false when a write fails.
bool WriteMemoryWaveCsv(QIODevice& device, const MemoryWaveCsvSource& src,
                        const MemoryWaveCsvProgress& progress = {});
// Writes the file whole or not at all; on failure *error holds the reason.
bool SaveMemoryWaveCsv(const QString& path, const MemoryWaveCsvSource& src, QString* error,
                       const MemoryWaveCsvProgress& progress = {});
