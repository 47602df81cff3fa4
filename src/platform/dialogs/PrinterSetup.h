#pragma once
// The printer setting shared by every print and preview of the application,
// chosen in File > Page Setup.
class QPrinter;
class QWidget;

QPrinter& SharedPrinter();
// The platform's page-setup dialog on the shared printer. Cancel changes nothing.
void ShowPageSetup(QWidget* parent);
