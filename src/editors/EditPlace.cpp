#include "editors/EditPlace.h"

#include "link/CtrlPlaces.h"
#include "link/SettingCatalog.h"

EditPlace EditPlaceOf(int treeGroup) {
    namespace G = CtrlGroup;
    using M = PathMatch;
    using K = KeyRule;
    switch (treeGroup) {
    case G::RunningControl: return {lbRunningControl, M::Item, -1, 0, K::Item};
    case G::CH1: return {lbCH1, M::Item, -1, 0, K::GroupItem};
    case G::CH2: return {lbCH2, M::Item, -1, 0, K::GroupItem};
    case G::LA: return {lbLA, M::Item, -1, 0, K::GroupItem};
    case G::TimeBase: return {lbTimeBase, M::Item, -1, 0, K::GroupItem};
    case G::Trigger: return {lbTrigger, M::Item, -1, 0, K::GroupItem};
    case G::Acquire: return {lbAcquire, M::Item, -1, 0, K::GroupItem};
    case G::Display: return {lbDisplayGroup, M::Item, -1, 0, K::GroupItem};
    case G::LADisplayGroup: return {lbLA, M::SubItem, lbChannelDisplay, 0, K::GroupSub};
    case G::LAPosition: return {lbLA, M::SubItem, lbPosition, 0, K::GroupSub};
    case G::AltCH1TimeBase: return {lbTimeBase, M::AltItem, -1, 1, K::GroupChItem};
    case G::AltCH2TimeBase: return {lbTimeBase, M::AltItem, -1, 2, K::GroupChItem};
    case G::AltCH1Trigger: return {lbTrigger, M::AltItem, -1, 1, K::GroupChItem};
    case G::AltCH2Trigger: return {lbTrigger, M::AltItem, -1, 2, K::GroupChItem};
    case G::TriggerCode: return {lbTrigger, M::SubItem, lbCode, 0, K::GroupSubBit};
    default: return {};
    }
}

QList<int> EditKeyLabels(const SettingDesc& d) {
    const EditPlace p = EditPlaceOf(d.treeGroup);
    if (p.group < 0 || d.editor == SettingEditor::Adjust || d.editor == SettingEditor::None) return {};
    switch (p.key) {
    case KeyRule::None: return {};
    case KeyRule::Item: return {d.label};
    case KeyRule::GroupItem: return {p.group, d.label};
    case KeyRule::GroupSub: return {p.group, p.sub};
    case KeyRule::GroupSubBit: return {p.group, p.sub, d.label};
    case KeyRule::GroupChItem: return {p.group, p.channel == 1 ? lbCH1 : lbCH2, d.label};
    }
    return {};
}
