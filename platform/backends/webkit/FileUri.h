// The file:// address of a host path, for the web view.
#pragma once

#include <string>
#include <string_view>

namespace backends::webkit {

// "file://" and the absolute path with every byte but the unreserved ones
// and "/" percent-encoded ("#", "?", "%", blanks and UTF-8 alike), so that
// the path comes back unchanged. Empty for a path that is not absolute or
// holds a NUL (nothing to load).
std::string FileUriOf(std::string_view hostPath);

} // namespace backends::webkit
