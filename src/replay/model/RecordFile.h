#pragma once
// The waveform record file (".rcd"): a 56-byte little-endian header that names
// the recorded channel, its volts/div and offset, the time base and delay and
// the numbers of the first and last frame, then one zlib stream that inflates
// to the frames, 1024 raw sample bytes each. The program only reads these.
//
// ParseRecordFile checks and inflates a file's bytes into a scratch
// RecordContent; CommitRecordContent puts a good one into a view's record.
// A refused file changes nothing.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

struct RecordInfo;

constexpr int RecordHeaderSize = 56;
constexpr uint16_t RecordMagic = 0xBABA;
// At most this many bytes of a file are read (header included), and a
// payload may inflate to at most this many bytes (1953 whole frames).
constexpr int RecordReadLimit = 2000001;

struct RecordFileHeader {
    uint16_t Magic = 0;
    int32_t Source = 0;         // 0 CH1, 1 CH2, 2 chosen by SourceChannel
    int32_t SourceChannel = 0;  // 0 CH1, else CH2 (read only for Source 2)
    int16_t FirstFrameNumber = 0;
    int16_t LastFrameNumber = 0;
    uint8_t Ch1On = 0;
    int32_t Ch1VoltsDivMicro = 0;
    int16_t Ch1OffsetRaw = 0;  // 25 per division
    uint8_t Ch2On = 0;
    int32_t Ch2VoltsDivMicro = 0;
    int16_t Ch2OffsetRaw = 0;
    int64_t TimeDivPs = 0;
    int64_t DelayPs = 0;
};

// The header at the start of bytes (which must hold RecordHeaderSize bytes).
RecordFileHeader ReadRecordHeader(const char* bytes);

// Why a file was refused; each has its message (MsgFileFormatError,
// MsgFileFail, MsgBadChannelData; Unreadable the system's reason).
enum class RecordError {
    None,
    FormatError,     // wrong magic, no channel, a frame range the payload does not hold,
                     // or a folder, device or named pipe given as the file
    InflateFailed,   // a damaged, cut or oversized zlib stream
    ChannelOff,      // the recorded channel was switched off
    Unreadable,      // the file could not be opened or read
    ChangedWhileRead,  // another program changed the file while it was read
                       // (MsgFileChangedWhileRead)
};

// What a good file puts into a view's record.
struct RecordContent {
    std::vector<int16_t> Samples;  // the inflated bytes as codes 0..199, then one 0
    QString Channel;               // "CH1" or "CH2"
    QString TimeScaleText, DelayText, VoltScaleText, OffsetText;
    int16_t FrameCount = 0;
};

// Checks and inflates the bytes of a record file (at most RecordReadLimit of
// them are looked at). A file is refused when its magic is wrong, its stream
// does not inflate within the limit, its source names no channel, the
// channel was off, or its frame count is below 1 or more than the payload
// holds.
RecordError ParseRecordFile(const QByteArray& file, RecordContent& out);

// Reads the file at path (at most RecordReadLimit bytes) and parses it as
// above. Only a regular file is opened (OpenRegularFile): a folder, a device
// or a named pipe is a FormatError without being opened. A file that cannot
// be opened or read is Unreadable, with the system's reason in `reason`. A
// file whose size or modification time changed during the read (another
// program writing it) is ChangedWhileRead, whatever its bytes gave. A cut
// file needs no check of its own: its zlib stream ends with a checksum of
// what it inflates to, so a stream that is cut does not inflate.
RecordError ReadRecordFile(const QString& path, RecordContent& out, QString* reason = nullptr);

// A good file's content into the record: samples, channel, texts, frame
// range (start and current frame 1), Loaded, and the path.
void CommitRecordContent(RecordInfo& r, RecordContent&& c, const QString& path);

// The number of whole frames the record's samples hold.
int RecordFramesHeld(const RecordInfo& r);
