// Branches of the acquire and display settings.
#include "editors/ApplyCore.h"
#include "link/Converters.h"
#include "link/SettingCatalog.h"

namespace {
using S = CtrlSettings;

// The command goes first, then field and node.
Row row(QString S::*field) {
    Row r = SettingRow(field);
    r.sendFirst = true;
    return r;
}
}  // namespace

void AddAcquireRows(std::vector<Row>& rows) {
    // The instrument decides: the field holds only what it reports.
    Row sampling = row(&S::AcquireSampling);
    sampling.storeChoice = false;
    sampling.pause = 50;
    sampling.readBack = true;
    rows.push_back(sampling);

    // The Averages row exists only under AVERAGE: the tree is rebuilt.
    Row type = row(&S::AcquireType);
    type.also = [](Applier& a, const QString&) {
        const SettingDesc& d = SettingOf(&S::AcquireType);
        a.rebuild();
        a.select(d.treeGroup, d.treeItem);
    };
    rows.push_back(type);
    rows.push_back(row(&S::AcquireAverages));

    Row display = row(&S::DisplayType);
    display.storeChoice = false;
    display.readBack = true;
    rows.push_back(display);
    rows.push_back(row(&S::DisplayPersist));
    rows.push_back(row(&S::DisplayGrid));
}
