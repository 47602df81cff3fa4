#pragma once
// Module-level values of the application shell that lower layers read:
// the UI language and the stored settings (written by the shell's settings
// loader, read by the link, the views and the dialogs).
#include <QColor>
#include <QString>

#include "common/LanguageId.h"

struct ShellStateData {
    int UILanguage = LangEnglish;

    // Stored settings (the shell's settings loader gives them their stored values).
    bool StartupCheckHardware = false;
    bool StartupLoadSheet = false;
    bool StartupLoadCtrl = false;
    int ScopeIOType = 0;          // 0 USB through VISA, 2 RS-232
    int COM_Port = 1;
    QString BaudRate = "9600";
    int GPIB_Addr = 0;
    QString RefreshType = "Single";  // "Single" or "Auto"
    int RefreshInterval = 1000;      // ms

    // Set when the main window loads.
    QColor Ch1Color, Ch2Color, MathColor, LaColor1, LaColor2;
    QString MakerName = "Tarvo Technologies,Inc.";
    QString ModelName = "KV2200M";
};

ShellStateData& Shell();
