#include "platform/backends/webkit/FileUri.h"

namespace backends::webkit {

namespace {

bool KeptAsIs(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~' || c == '/';
}

} // namespace

std::string FileUriOf(std::string_view hostPath)
{
    if (hostPath.empty() || hostPath.front() != '/' || hostPath.find('\0') != std::string_view::npos)
        return {};
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    uri.reserve(uri.size() + hostPath.size() * 3);
    for (const char ch : hostPath) {
        const auto c = static_cast<unsigned char>(ch);
        if (KeptAsIs(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0x0F];
        }
    }
    return uri;
}

} // namespace backends::webkit
