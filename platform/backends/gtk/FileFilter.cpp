#include "platform/backends/gtk/FileFilter.h"

#include "platform/win/PathResolver.h"

namespace backends::gtk {

namespace {

std::vector<std::u16string> Split(const std::u16string& text, char16_t separator)
{
    std::vector<std::u16string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start));
        if (end == std::u16string::npos)
            return parts;
        start = end + 1;
    }
}

std::u16string Trimmed(const std::u16string& text)
{
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

std::string Utf8(const std::u16string& text)
{
    std::string out;
    return win::Utf16ToUtf8(text, out) ? out : std::string();
}

// A glob that matches the pattern's letters in either case; the glob's own
// characters and brackets stay as they are.
std::string WithoutCase(const std::u16string& pattern)
{
    std::u16string out;
    bool inBrackets = false;
    for (char16_t c : pattern) {
        const bool lower = c >= u'a' && c <= u'z', upper = c >= u'A' && c <= u'Z';
        if (c == u'[' || c == u']')
            inBrackets = c == u'[';
        if (inBrackets || (!lower && !upper)) {
            out += c;
            continue;
        }
        const char16_t other = lower ? char16_t(c - u'a' + u'A') : char16_t(c - u'A' + u'a');
        out += {u'[', c, other, u']'};
    }
    return Utf8(out);
}

} // namespace

std::vector<NamedFilter> ParseFileFilter(const std::u16string& filter)
{
    std::vector<NamedFilter> out;
    const std::vector<std::u16string> parts = Split(filter, u'|');
    if (parts.size() == 1) {
        std::u16string extension = Trimmed(parts[0]);
        while (!extension.empty() && (extension[0] == u'.' || extension[0] == u'*'))
            extension.erase(0, 1);
        if (extension.empty())
            return out;
        out.push_back({Utf8(extension), {WithoutCase(u"*." + extension)}});
        return out;
    }
    // A name without its patterns (an odd count) is left out.
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        NamedFilter f{Utf8(Trimmed(parts[i])), {}};
        for (const std::u16string& p : Split(parts[i + 1], u';'))
            if (const std::u16string pattern = Trimmed(p); !pattern.empty())
                f.patterns.push_back(WithoutCase(pattern));
        if (!f.patterns.empty())
            out.push_back(std::move(f));
    }
    return out;
}

} // namespace backends::gtk
