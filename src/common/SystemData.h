#pragma once
// The instrument's 116-byte screen description (reply to ":SYSTEM:DATA?"),
// little-endian. Positions are graticule units (300 x 200, 25 per division).
#include <QByteArray>
#include <array>
#include <cstdint>

struct SystemDataRecord {
    static constexpr int Size = 116;

    int16_t TraceFirstX = 0;   // 0
    int16_t TraceLastX = 0;    // 2
    int16_t UpperFirstX = 0;   // 4
    int16_t UpperLastX = 0;    // 6
    int16_t LowerFirstX = 0;   // 8
    int16_t LowerLastX = 0;    // 10
    uint8_t ScanFlag = 0;      // 12
    uint8_t CH1Shown = 0;      // 13
    uint8_t CH2Shown = 0;      // 14
    uint8_t MathShown = 0;     // 15
    uint8_t MathOperation = 0; // 16
    uint8_t Reserved17[3] = {0, 0, 0};
    float Stored20 = 0;        // 20, stored only
    int16_t MathPosition = 0;  // 24
    uint8_t Reserved26[2] = {0, 0};
    float MathScale = 0;       // 28
    int16_t Stored32 = 0;      // 32, stored only
    uint8_t FFTShown = 0;      // 34
    uint8_t FFTLowerHalf = 0;  // 35
    uint8_t Stored36 = 0;      // 36, stored only
    uint8_t FFTFullScreen = 0; // 37
    uint8_t FFTScaleDb = 0;    // 38
    uint8_t Reserved39 = 0;
    float FFTVrmsPerDiv = 0;   // 40
    int16_t Stored44 = 0;      // 44, stored only
    int16_t FFTDbPerDiv = 0;   // 46
    float Stored48 = 0;        // 48, stored only
    int16_t FFTPosition = 0;   // 52
    uint8_t Reserved54[2] = {0, 0};
    float FFTHzPerDiv = 0;     // 56
    int16_t FFTZoom = 0;       // 60
    uint8_t Reserved62[2] = {0, 0};
    float Stored64 = 0;        // 64, stored only
    int16_t FFTHorizPos = 0;   // 68
    uint8_t LAShown = 0;       // 70
    uint8_t Reserved71 = 0;
    int16_t LADisplayState = 0;      // 72, memory-waveform view only
    int16_t LARowY[16] = {};         // 74
    uint8_t LAState106 = 0;          // 106, memory-waveform view only
    uint8_t LAState107 = 0;          // 107
    uint8_t LAState108 = 0;          // 108
    uint8_t Reserved109 = 0;
    int16_t LAFirstX = 0;            // 110
    int16_t LALastX = 0;             // 112
    uint8_t Reserved114[2] = {0, 0};

    // Reads the fields from up to Size bytes; bytes beyond the data keep
    // their current values (a short block overwrites only its length).
    void OverlayBytes(const uint8_t* data, int n);
    static SystemDataRecord FromBytes(const QByteArray& bytes);
    QByteArray ToBytes() const;

    bool operator==(const SystemDataRecord& o) const { return ToBytes() == o.ToBytes(); }
};
