#pragma once
// The memory-waveform window's text export (its CSV button).
#include <QString>

class QWidget;

// Dialog title and filter of the text export in the UI language.
QString CsvExportDialogTitle(int language);
QString CsvExportDialogFilter(int language);

// Exports the record of the window's view as comma-separated text: a view
// holding no channel gets "Invalid waveform data!" and no dialog; a chosen
// file is written whole (or not at all, with the reason shown, critical
// icon) from a copy of the record, with the progress window shown meanwhile.
// A second export asked for while one writes is ignored.
void ExportMemoryWaveCsv(QWidget* form);
