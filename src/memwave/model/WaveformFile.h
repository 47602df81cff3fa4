#pragma once
// The deep-memory waveform file (".wfm", binary, little-endian, read only)
// and its reader.
//
// A file is a header (0xA5A5: 272 bytes; 0xA5A1: the 252-byte short variant
// without the logic block, whose sample codes are stored less 25), 4 skipped
// bytes, then the sample blocks back to back: CH1, CH2 (n bytes each, or c
// for CH2 in ALTERNATION mode) and, in normal mode, the logic block (n bytes
// below 524288 points, else 2n), each present only when its "on" byte is 1.
//
// Reading is all or nothing: ParseWaveformFile checks every block against
// the bytes really there and fills a WaveformFileData; only a complete,
// valid file reaches CommitWaveformFile, which cannot fail. A header shorter
// than its size reads as zero-filled (a file of just the magic is valid and
// holds no block); a block that is not wholly inside the file is refused.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

struct MemWaveInfo;

// At most this many bytes of a file are read.
constexpr int WaveformReadLimit = 2100001;
constexpr int WaveformLongHeaderSize = 272, WaveformShortHeaderSize = 252;
constexpr uint16_t WaveformLongMagic = 0xA5A5, WaveformShortMagic = 0xA5A1;
// Below this point count a logic block holds n bytes, from it 2n.
constexpr int32_t WaveformLaFullFrom = 524288;

// The fields of the (long) header that the view uses, as stored.
struct WaveformFileHeader {
    uint16_t Magic = 0;
    int32_t PointCount = 0;          // 28; CH1's in ALTERNATION mode
    int32_t Ch1VoltsDivUv = 0;       // 36
    int16_t Ch1OffsetRaw = 0;        // 40, screen units
    uint8_t Ch1On = 0;               // 49
    int32_t Ch1AcqVoltsDivUv = 0;    // 52
    int16_t Ch1AcqOffsetRaw = 0;     // 56
    int32_t Ch2VoltsDivUv = 0;       // 60
    int16_t Ch2OffsetRaw = 0;        // 64
    uint8_t Ch2On = 0;               // 73
    int32_t Ch2AcqVoltsDivUv = 0;    // 76
    int16_t Ch2AcqOffsetRaw = 0;     // 80
    int64_t TimeDivPs = 0;           // 84
    int64_t DelayPs = 0;             // 92
    float SampleRate = 0;            // 100
    int64_t LaTimePs = 0;            // 104
    int64_t AcqDelayPs = 0;          // 112
    uint8_t LaOn = 0;                // 120
    uint8_t LaCurrent = 0;           // 121
    int16_t LaMask = 0;              // 122
    std::array<uint8_t, 16> LaRows{};  // 124
    uint8_t LaAux2 = 0;              // 140
    uint8_t LaAux1 = 0;              // 141
    uint8_t TriggerByte = 0;         // 142; 4 = ALTERNATION
    int32_t Ch2PointCount = 0;       // 232 (ALTERNATION)
    int64_t Ch2TimeDivPs = 0;        // 236
    int64_t Ch2DelayPs = 0;          // 244
    float Ch2SampleRate = 0;         // 252
    int64_t Ch2AcqDelayPs = 0;       // 264

    bool IsShort() const { return Magic == WaveformShortMagic; }
    bool IsAlternation() const { return TriggerByte == 4; }
};

// Reads the header from the first bytes of a file (missing bytes read as 0);
// a short header is mapped onto the long layout with a zero logic block.
WaveformFileHeader ReadWaveformHeader(const QByteArray& bytes);

// A file read and checked, ready to be committed.
struct WaveformFileData {
    WaveformFileHeader Header;
    bool Ch1Present = false, Ch2Present = false, LaPresent = false;
    std::vector<int16_t> Ch1Memory, Ch2Memory, LaMemory;  // as the view record holds them
};

// Only Ok changes anything. FormatError and Damaged are both shown as "The
// file format is error!"; Unreadable with the system's reason.
enum class WaveformReadStatus {
    Ok,           // the data may be committed
    FormatError,  // not a waveform file: wrong magic, or a folder, device or named pipe
    Damaged,      // a negative count, or a block not wholly in the bytes read
    Unreadable,   // the file could not be opened or read
    ChangedWhileRead,  // another program changed the file while it was read
};

// Checks and converts the bytes of a file (only the first WaveformReadLimit
// bytes count).
WaveformReadStatus ParseWaveformFile(const QByteArray& bytes, WaveformFileData& out);
// Reads at most WaveformReadLimit bytes of the file and parses them. Only a
// regular file is opened (OpenRegularFile): a folder, a device or a named
// pipe is FormatError without being opened. Unreadable sets `reason` to the
// system's reason. A file whose stamp changed during the read (another
// program writing it, FileContents) is ChangedWhileRead whatever its bytes
// gave, and `out` is left alone.
WaveformReadStatus ReadWaveformFile(const QString& path, WaveformFileData& out,
                                    QString* reason = nullptr);

// Puts a parsed file into the view record, field by field: what the file
// does not give keeps its value (the other mode's fields, an absent channel's
// memory, the logic fields in ALTERNATION mode). Sets Loaded when a block is
// present (FilePath then becomes path), ScreenPointCount 600, and takes the
// reset copy. The caller redraws; it also rescales the cursors from the old
// SplitDisplay to the new one, so it reads that before committing.
void CommitWaveformFile(MemWaveInfo& rec, WaveformFileData&& data, const QString& path);

// The reset copy: the display values as loaded (offsets, volts/div, the time
// values, the logic rows and the current logic channel).
void SaveLoadedView(MemWaveInfo& rec);
void RestoreLoadedView(MemWaveInfo& rec);

// The selected logic channel, 0 to 15, or -1 when the record's byte (read
// from a file or a sheet as it stands, 0 to 255) names none. Use it, not the
// byte, to index the 16 rows or to shift the 16-bit mask.
int LaCurrentChannel(const MemWaveInfo& rec);
