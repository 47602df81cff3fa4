#pragma once
// One progress step of the upload or download: the bar of the transfer window
// moves by `step` (single precision; a value above the maximum is refused),
// is redrawn, and the event loop runs once.
void SettingsProgressStep(double step);
