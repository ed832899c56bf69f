#include "platform/backends/webkit/ScriptText.h"

#include <cstdio>

namespace backends::webkit {

std::string JsStringLiteral(std::string_view utf8)
{
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", c);
            out += escaped;
        } else if (c == 0xE2 && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(utf8[i + 2]) == 0xA9)) {
            // U+2028 and U+2029 end a line inside a script.
            out += static_cast<unsigned char>(utf8[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

std::string TitleProbe(int number, std::string_view script)
{
    const std::string n = std::to_string(number);
    return "try { document.title = '" + n + " ' + String((0, eval)(" + JsStringLiteral(script) +
        ")); } catch (e) { document.title = '" + n + " error ' + e; }";
}

} // namespace backends::webkit
