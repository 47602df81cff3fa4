#pragma once
// Where the setting dialog meets a setting: the tree place of its entry in
// the settings catalog (its group, link/CtrlPlaces.h) read as a node path
// names it, and the edit key formed from it. The dispatcher matches paths and
// forms keys by it; the apply finds a setting's branch by the same key.
#include <QList>
#include <QString>

struct SettingDesc;

// How a path reaches a row of a group.
enum class PathMatch {
    Item,     // the third level is the row's label (a row directly under the group)
    SubItem,  // the third level is the sub-group's label, the fourth any text but " "
    AltItem,  // the third level lies in "CH1".."CH2", the fourth is the row's label
};

// How the edit key is formed from labels (and, for a code bit, the path).
enum class KeyRule {
    None,
    Item,         // the row's label alone
    GroupItem,    // group label, row label
    GroupSub,     // group label, sub-group label
    GroupSubBit,  // group label, sub-group label, the bit's label (the path's fourth level)
    GroupChItem,  // group label, channel label, row label
};

struct EditPlace {
    int group = -1;   // label of the group the path's second level names; -1: no place
    PathMatch match = PathMatch::Item;
    int sub = -1;     // SubItem: the sub-group's label
    int channel = 0;  // AltItem: the alternation channel (1 or 2)
    KeyRule key = KeyRule::GroupItem;
};

// The place of the rows of a tree group (CtrlGroup); group -1 for none.
EditPlace EditPlaceOf(int treeGroup);
// The labels the edit key of a setting's row is made of, in order (empty:
// the row has no key, as the coarse/fine edit).
QList<int> EditKeyLabels(const SettingDesc& d);
