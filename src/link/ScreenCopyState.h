#pragma once
// The live screen copy: its flags and byte array (kept by the virtual panel)
// and the screen-copy read through the command port. The read ends its loop
// when a flag drops; whoever changes a flag calls NotifyWaiters() so that a
// waiting loop notices.
#include <cstdint>
#include <vector>

struct ScreenCopyStateData {
    static constexpr int Width = 320;
    static constexpr int Height = 234;
    static constexpr int ImageBytes = Width * Height;  // 74,880
    // The reply to ":HARDCOPY": a 2,998-byte header, then the screen.
    static constexpr int HeaderBytes = 2998;
    static constexpr int ReplyBytes = HeaderBytes + ImageBytes;  // 77,878
    // Largest count of one screen-copy read.
    static constexpr int ReadMax = 100000;

    bool ScreenCopyRunning = false;  // the live copy runs (Run .. Stop)
    bool ScreenCopyOpen = false;     // a panel with the live screen is open
    // One image, row by row from the top left, one colour-index byte per pixel
    // (indices 0 to 74,880).
    std::vector<uint8_t> ScreenBytes = std::vector<uint8_t>(ImageBytes + 1, 0);
};

ScreenCopyStateData& ScreenCopy();

// What became of one screen-copy read.
enum class HardcopyChunk {
    Image,      // a whole screen was stored; CommandSent is cleared
    ReadAgain,  // nothing usable yet (a part of the reply, or no reply over a
                // dropped link): the loop reads again
    Ended,      // the read failed, or brought more than a screen, after a
                // command went out during it (a key press): the reply is given
                // up without an image, and not reported
    Failed,     // the read failed, or brought more than a screen, with no
                // command sent during it: reported, the link dropped
    NoCopy      // not connected, or the transport has no screen copy
};

// One read through the command port. A read of exactly one reply's bytes
// (ReplyBytes) stores its last 74,880 bytes but one in dest(0..74,878)
// (element 74,879 keeps its value). Only the bytes really received count: a
// failed, short or oversize read never passes for an image, and leaves dest
// alone. `received` (optional) gets the bytes of this read.
HardcopyChunk ReadHardcopyChunk(std::vector<uint8_t>& dest, int* received = nullptr);

// One screen image: sends ":HARDCOPY" (when connected or connecting, and the
// transport copies the screen; CommandSent is cleared first, so that only a
// command sent during this read excuses its failure) and reads, yielding to the event loop after
// each read, until an image is stored, a read ends or fails, or
// ScreenCopyRunning or ScreenCopyOpen is False after a yield. After a failed
// read it waits, yielding, until the panel stops or closes. True only when
// dest holds a new whole image.
bool GetHardcopyVisa(std::vector<uint8_t>& dest);
