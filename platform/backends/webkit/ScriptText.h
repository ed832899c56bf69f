// Script texts the web view builds around the program's own scripts.
#pragma once

#include <string>
#include <string_view>

namespace backends::webkit {

// A JavaScript string literal ("...") holding the UTF-8 text unchanged:
// quotes, backslashes, control characters and the two line separators that
// end a line in a script are escaped.
std::string JsStringLiteral(std::string_view utf8);

// For the smoke test: runs `script` and puts the number and the script's
// value (or the error it threw) into the page title, "<number> <value>",
// where the view can read it without a script context of its own.
std::string TitleProbe(int number, std::string_view script);

} // namespace backends::webkit
