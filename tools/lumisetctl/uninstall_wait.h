// The uninstaller's wait for Lumiset to end: lumiset.msi runs `lumisetctl --uninstall-wait` after
// it has removed the setting's key and before it removes the files. Windows only.
#pragma once

namespace lumisetctl {

// Whether the stored setting can be read; while it can, every Lumiset runs on (an upgrade keeps
// it), so there is nothing to wait for.
bool SettingReadable();

// Waits up to `milliseconds` for every Lumiset.exe process, of any user, to end; each ends itself
// within a second of the setting's removal. False when one still runs at the deadline.
bool WaitForNoLumiset(unsigned milliseconds);

}  // namespace lumisetctl
