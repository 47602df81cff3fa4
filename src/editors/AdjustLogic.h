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

// The text of the value box read whole as volts (probe included): a number
// with "." or the user's decimal mark, then nothing (volts) or "V" with an
// optional prefix k, m, u, n or p ("2", "2,5V" under a decimal comma,
// "500mV"). False for any other text (x then 0).
bool ReadBoxVolts(const QString& text, double& x);

// One step of the shown volts per division (probe included) of the channel
// of `mode` (0 CH1, 1 CH2), coarse or fine by its step choice; direction +1
// up, -1 down. An unknown probe steps as 1X.
QString AdjustStep(const QString& shown, int mode, int direction);

enum class AdjustEnd { Applied, LinkLost, NumberRefused };
// OK: the shown value in its display form ("2,5V" becomes "2.50V") goes to
// the scale field and node and, as that same value, to the instrument after
// the probe; the offset is read back, and the level rows that follow the
// channel (ReadBackChannelLevels); the controller is marked modified.
// Mirror and tree stay unchanged when the link drops meanwhile. A text
// ReadBoxVolts refuses, or a value that is not positive or has no display
// form, shows "Enter volts only, ..."; a value off the steppers' span for the
// channel's probe (VoltsPerDivInSpan; an unknown probe counts as 1X) shows
// the span (MsgVoltDivRange). Both give NumberRefused before anything is sent
// or stored.
AdjustEnd ApplyAdjust(const QString& shown, int mode);
