#pragma once
// The stored options and the main window's rectangle (in twips), read once
// when the main window loads and written once when it unloads.
//
//   General_KV2200M      StartupCheckHardware, StartupLoadSheet, StartupLoadCtrl ("True"/"False")
//   IO Settings_KV2200M  ScopeIOType, COM_Port, BaudRate, GPIB_Addr
//   Refresh_KV2200M      Refresh Type, Refresh Interval (ms)
//   Settings_KV2200M     MainLeft, MainTop, MainWidth, MainHeight (twips, float text)
//
// An absent key, a stored text that does not convert, or a number outside its
// range gives the default: COM_Port 1..16, GPIB_Addr 0..30, Refresh Interval
// 100 ms..1 h; a BaudRate that is not a positive whole number in digits.
#include <QRectF>
#include <QString>
#include <optional>

struct MainRectTwips {
    float Left = 1000;
    float Top = 1000;
    float Width = 6500;
    float Height = 6500;
};

constexpr int MinRefreshIntervalMs = 100;
constexpr int MaxRefreshIntervalMs = 3600000;

// The stored rectangle brought onto the available screen area (both in
// twips): width and height at most the area's (and at least 200 pixels where
// the area allows), then moved so that the whole window lies inside it.
MainRectTwips FitMainRect(const MainRectTwips& rect, const QRectF& available);

// Puts Shell()'s stored settings at the defaults of a first run.
void SetDefaultSoftwareSetting();
// Fills Shell()'s stored settings and returns the stored window rectangle.
// Also clears the USB device choice (every run starts with none chosen).
MainRectTwips LoadSoftwareSetting();
// Writes Shell()'s stored settings, and the rectangle when one is given
// (none while the window is minimised). False when the store could not be written.
bool SaveSoftwareSetting(const std::optional<MainRectTwips>& rect);

// Conversions of stored texts; nullopt when the text does not convert.
std::optional<bool> StoredTextToBool(const QString& text);    // "True"/"False" any case, or a number
std::optional<int> StoredTextToInt(const QString& text);      // 32-bit, halves to even
std::optional<float> StoredTextToFloat(const QString& text);
QString FloatToStoredText(float value);
