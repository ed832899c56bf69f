// The file dialogs' filter text ("Pictures|*.jpg;*.jpeg|All|*.*") as the
// named pattern lists a GTK file chooser takes. Pure: no GTK (the tests
// compile it on its own).
#pragma once

#include <string>
#include <vector>

namespace backends::gtk {

struct NamedFilter {
    std::string name; // UTF-8
    std::vector<std::string> patterns; // globs matching without regard to letter case
};

// Pairs of name and patterns separated by "|", the patterns by ";". A text
// without "|" ("jpg") names an extension: "*.jpg". A pattern is made to match
// without regard to letter case as Windows does ("*.jpg" -> "*.[jJ][pP][gG]").
std::vector<NamedFilter> ParseFileFilter(const std::u16string& filter);

} // namespace backends::gtk
