#pragma once
// The text of a measurement export: a title line, the settings line of the
// fetch, a header and the 18 measurements in display order, fields joined by
// TAB, lines ended by CR LF, UTF-8. The same bytes whatever the file's
// extension (".xls" or ".txt").
#include <QByteArray>
#include <QString>

#include "common/SheetModel.h"

// Reads the record only: the values of the last fetch and the verdicts its
// display last stored. Limits are written only for an enabled item.
QByteArray MeasureExportText(const MeasureInfo& record, const QString& makerName, int language);
