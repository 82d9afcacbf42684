// The uninstaller's wait for Lumiset to end: lumiset.msi runs `lumisetctl --uninstall-wait` after
// it has removed the setting's key and before it removes the files. Windows only.
#pragma once

#include <string>
#include <vector>

namespace lumisetctl {

// `--uninstall-wait SECONDS`: when the stored setting can no longer be read, waits up to SECONDS
// for every Lumiset.exe process, of any user, to end; each ends itself within a second of that.
// Returns true when `args` is this command, with `status` 0 when none runs (any more), 1 when one
// still runs at the deadline and 2 for a bad SECONDS; false for any other command line.
bool RunUninstallWait(const std::vector<std::string>& args, int& status);

}  // namespace lumisetctl
