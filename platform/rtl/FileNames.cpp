#include "platform/rtl/FileNames.h"

namespace rtl {
namespace {
// 0-based index just after the last "\" or ":", 0 when none.
std::size_t NameStart(std::u16string_view p)
{
    std::size_t at = p.find_last_of(u"\\:");
    return at == std::u16string_view::npos ? 0 : at + 1;
}
} // namespace

UnicodeString ExtractFilePath(const UnicodeString& path) { return path.view().substr(0, NameStart(path.view())); }

UnicodeString ExtractFileDir(const UnicodeString& path)
{
    std::u16string_view p = path.view();
    std::size_t start = NameStart(p);
    // Drop the last backslash unless it follows a drive or another one ("E:\", "\\").
    if (start > 1 && p[start - 1] == u'\\' && p[start - 2] != u'\\' && p[start - 2] != u':')
        --start;
    return p.substr(0, start);
}

UnicodeString ExtractFileName(const UnicodeString& path) { return path.view().substr(NameStart(path.view())); }

UnicodeString ExtractFileExt(const UnicodeString& path)
{
    std::u16string_view p = path.view();
    std::size_t start = NameStart(p);
    std::size_t dot = p.find_last_of(u'.');
    if (dot == std::u16string_view::npos || dot < start)
        return UnicodeString();
    return p.substr(dot);
}

UnicodeString ExtractFileDrive(const UnicodeString& path)
{
    std::u16string_view p = path.view();
    if (p.size() >= 2 && p[1] == u':')
        return p.substr(0, 2);
    if (p.size() >= 2 && p[0] == u'\\' && p[1] == u'\\') {
        // "\\server\share"
        std::size_t server = p.find(u'\\', 2);
        if (server == std::u16string_view::npos || server == 2)
            return UnicodeString();
        std::size_t share = p.find(u'\\', server + 1);
        return p.substr(0, share == std::u16string_view::npos ? p.size() : share);
    }
    return UnicodeString();
}

UnicodeString ChangeFileExt(const UnicodeString& path, const UnicodeString& extension)
{
    std::u16string_view p = path.view();
    std::size_t start = NameStart(p);
    std::size_t dot = p.find_last_of(u'.');
    std::u16string out(dot == std::u16string_view::npos || dot < start ? p : p.substr(0, dot));
    out += extension.view();
    return UnicodeString(std::move(out));
}

UnicodeString IncludeTrailingPathDelimiter(const UnicodeString& path)
{
    if (!path.IsEmpty() && path.view().back() == u'\\')
        return path;
    return path + u"\\";
}
UnicodeString ExcludeTrailingPathDelimiter(const UnicodeString& path)
{
    if (!path.IsEmpty() && path.view().back() == u'\\')
        return path.SubString(1, path.Length() - 1);
    return path;
}
UnicodeString IncludeTrailingBackslash(const UnicodeString& path) { return IncludeTrailingPathDelimiter(path); }
UnicodeString ExcludeTrailingBackslash(const UnicodeString& path) { return ExcludeTrailingPathDelimiter(path); }

} // namespace rtl
