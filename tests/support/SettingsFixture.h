#pragma once
// The controller window's Upload and Download as a test runs them.
namespace SettingsFixture {
// Upload to the instrument; true when it was complete.
bool Upload();
// Download into the mirror; true when it was committed.
bool Download();
}  // namespace SettingsFixture
