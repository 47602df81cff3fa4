// Branches of the acquire and display settings.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/CtrlPlaces.h"

namespace {
using Conv = QString (*)(const QString&);

Row row(int group, int label, QString CtrlSettings::*field, int g, int item,
        const QString& header, Conv conv) {
    Row r;
    r.key = {group, label};
    r.target = {field, g, item, label};
    r.header = header;
    if (conv) r.arg = [conv](const QString& v, const QString&) { return conv(v); };
    r.sendFirst = true;  // the command goes first, then field and node
    return r;
}
}  // namespace

void AddAcquireRows(std::vector<Row>& rows) {
    using S = CtrlSettings;
    // The instrument decides: the field holds only what it reports.
    Row sampling = row(lbAcquire, lbSamplingMode, &S::AcquireSampling, 7, 3, ":ACQUIRE:MODE ",
                       AcqModeToKeyword);
    sampling.storeChoice = false;
    sampling.pause = 50;
    sampling.query = ":ACQUIRE:MODE?";
    sampling.back = AcqModeToText;
    rows.push_back(sampling);

    // The Averages row exists only under AVERAGE: the tree is rebuilt.
    Row type = row(lbAcquire, lbAcquisition, &S::AcquireType, 7, 2, ":ACQUIRE:TYPE ",
                   AcqTypeToKeyword);
    type.also = [](Applier& a, const QString&) {
        a.rebuild();
        a.select(7, 2);
    };
    rows.push_back(type);
    rows.push_back(row(lbAcquire, lbAverages, &S::AcquireAverages, 7, 5, ":ACQUIRE:AVERAGES ",
                       nullptr));

    Row display = row(lbDisplayGroup, lbType, &S::DisplayType, 8, 2, ":DISPLAY:TYPE ",
                      DisplayTypeToKeyword);
    display.storeChoice = false;
    display.query = ":DISPLAY:TYPE?";
    display.back = DisplayTypeToText;
    rows.push_back(display);
    rows.push_back(row(lbDisplayGroup, lbPersist, &S::DisplayPersist, 8, 3, ":DISPLAY:PERSIST ",
                       OnOffToKeyword));
    rows.push_back(row(lbDisplayGroup, lbGrid, &S::DisplayGrid, 8, 5, ":DISPLAY:GRID ",
                       GridToKeyword));
}
