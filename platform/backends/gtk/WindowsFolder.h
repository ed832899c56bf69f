// A host folder as the program sees it, through the drive table. Pure: no
// GTK (the folder picker uses it; the tests compile it on its own).
#pragma once

#include <string>

namespace backends::gtk {

// The Windows form of a host folder through the drive table (the drive whose
// folder holds it, the longest one first): "E:\DATA", "E:\" for a drive's
// own folder; empty when no drive holds it.
std::u16string WindowsFolderOf(const std::string& hostFolder);

} // namespace backends::gtk
