#pragma once
// The coarse/fine volts-per-division dialog without its window: the step
// choice per channel, one step of the shown text, and the apply of OK.
#include <QString>
#include <cstdint>

struct AdjustStateData {
    uint8_t CH1CoarseFine = 0;  // 0 coarse, 1 fine
    uint8_t CH2CoarseFine = 0;
    uint8_t AdjustMode = 0;     // 0 CH1 Volt/Div, 1 CH2 Volt/Div
};
// Lives as long as the process; saved nowhere.
AdjustStateData& AdjustState();

// The probe's attenuation ("10X" gives 10); 0 for a text outside 1X..1000X.
int GetCHProbeNum(const QString& probe);

// One step of the shown volts per division (probe included) of the channel
// of `mode` (0 CH1, 1 CH2), coarse or fine by its step choice; direction +1
// up, -1 down. An unknown probe steps as 1X.
QString AdjustStep(const QString& shown, int mode, int direction);

enum class AdjustEnd { Applied, LinkLost, NumberRefused };
// OK: the scale field and node take the shown text, the probe and the scale
// go to the instrument, the offset is read back; the controller is marked
// modified. Mirror and tree stay unchanged when the link drops meanwhile.
// A text that is not a positive volts value ("50.0mV", "2V") shows "Enter
// number only!" and gives NumberRefused before anything is sent or stored.
AdjustEnd ApplyAdjust(const QString& shown, int mode);
