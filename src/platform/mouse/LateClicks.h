#pragma once
// Clicks the window system handed to a menu that had already closed.
//
// While a menu is open the X server gives every click to the menu (its
// pointer grab). A click made after the user chose an item, but before the
// program had taken that choice (a busy program, a quick hand), still goes
// to the menu, which is closed by the time the click is read, and Qt drops
// it. Installed once, such a click is delivered where it was aimed: to the
// window under the pointer, as a click outside an open menu is. A click
// inside the closed menu's own rectangle (a second click on the item) is
// left dropped, and so is one a modal window blocks.
void InstallLateClickDelivery();
