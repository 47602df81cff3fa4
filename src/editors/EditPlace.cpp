#include "editors/EditPlace.h"

#include "link/CtrlPlaces.h"
#include "link/SettingCatalog.h"

EditPlace EditPlaceOf(int treeGroup) {
    namespace G = CtrlGroup;
    const int group = CtrlGroupLabel(CtrlParentGroup(treeGroup));
    const int sub = CtrlGroupLabel(treeGroup);
    switch (treeGroup) {
    case G::RunningControl: return {group, PathMatch::Item, -1, 0, KeyRule::Item};
    case G::CH1:
    case G::CH2:
    case G::LA:
    case G::TimeBase:
    case G::Trigger:
    case G::Acquire:
    case G::Display: return {group, PathMatch::Item, -1, 0, KeyRule::GroupItem};
    case G::LADisplayGroup:
    case G::LAPosition: return {group, PathMatch::SubItem, sub, 0, KeyRule::GroupSub};
    case G::AltCH1TimeBase:
    case G::AltCH1Trigger: return {group, PathMatch::AltItem, -1, 1, KeyRule::GroupChItem};
    case G::AltCH2TimeBase:
    case G::AltCH2Trigger: return {group, PathMatch::AltItem, -1, 2, KeyRule::GroupChItem};
    case G::TriggerCode: return {group, PathMatch::SubItem, sub, 0, KeyRule::GroupSubBit};
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
