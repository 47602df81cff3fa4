#pragma once
// The live screen copy's flags and byte array. They belong to the virtual
// panel, which is not built yet, so nothing sets the flags today; the USB
// screen-copy read fills ScreenBytes and ends its loop when a flag drops.
// Whoever changes a flag calls NotifyWaiters() so a waiting loop notices.
#include <cstdint>
#include <vector>

struct ScreenCopyStateData {
    static constexpr int Width = 320;
    static constexpr int Height = 234;
    static constexpr int ImageBytes = Width * Height;  // 74,880

    bool ScreenCopyRunning = false;  // the live copy runs (Run .. Stop)
    bool ScreenCopyOpen = false;     // a panel with the live screen is open
    // One image, row by row from the top left, one colour-index byte per pixel
    // (indices 0 to 74,880).
    std::vector<uint8_t> ScreenBytes = std::vector<uint8_t>(ImageBytes + 1, 0);
};

ScreenCopyStateData& ScreenCopy();
