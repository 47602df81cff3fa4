#pragma once
// Small helpers shared by the link tests.
#include <QStringList>

namespace LinkFixture {
// Opens the first USB instrument the search finds (as a connect does, with no
// device chosen) and marks the link connected when the session opened.
// Returns the connected state.
bool OpenUsbAsConnected();
// The messages shown since the message log was cleared, as "text / title".
QStringList ShownTexts();
}  // namespace LinkFixture
