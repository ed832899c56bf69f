// A host folder as the program sees it, through the drive table. Pure: no
// GTK (the folder picker uses it; the tests compile it on its own).
#pragma once

#include <string>

namespace backends::gtk {

// The Windows form of a host folder through the drive table (the drive whose
// folder holds it, the longest one first): "E:\DATA", "E:\" for a drive's
// own folder; empty when no drive holds it.
std::u16string WindowsFolderOf(const std::string& hostFolder);

// As WindowsFolderOf, but a host folder no drive shows is first given a
// drive of its own (DriveTable::AddDriveFor): empty only when the folder
// cannot be used at all (no folder, no free letter).
std::u16string UsableWindowsFolderOf(const std::string& hostFolder);

// A file the user named on the host ("/tmp/x/still.jpg") as the program's
// Windows path, its folder (which must exist) through UsableWindowsFolderOf.
enum class HostFileVerdict { ok, badName, missingFolder, unusableFolder };
HostFileVerdict WindowsFileOf(const std::string& hostFile, std::u16string& windowsFile);

} // namespace backends::gtk
