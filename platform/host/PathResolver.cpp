#include "platform/host/PathResolver.h"

#include <cerrno>
#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <vector>

#include "platform/host/CurrentDirectory.h"
#include "platform/host/DriveTable.h"
#include "platform/host/ErrorCodes.h"

namespace host {

char16_t UpperCaseForNames(char16_t c)
{
    if (c < 0x80)
        return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || // Latin-1
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || // Greek
        (c >= 0x430 && c <= 0x44F) || // Cyrillic
        (c >= 0xFF41 && c <= 0xFF5A)) // full-width Latin
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F)
        return static_cast<char16_t>(c - 0x50);
    if (c == 0xFF)
        return 0x178;
    return c;
}

bool NamesEqualIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperCaseForNames(a[i]) != UpperCaseForNames(b[i]))
            return false;
    return true;
}

bool Utf8ToUtf16(std::string_view in, std::u16string& out)
{
    out.clear();
    out.reserve(in.size());
    const auto* s = reinterpret_cast<const unsigned char*>(in.data());
    const size_t n = in.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        char32_t cp = 0;
        size_t len = 0;
        if (b < 0x80) {
            cp = b;
            len = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            cp = b & 0x1F;
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            cp = b & 0x0F;
            len = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            cp = b & 0x07;
            len = 4;
        } else {
            return false;
        }
        if (n - i < len)
            return false;
        for (size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return true;
}

bool Utf16ToUtf8(std::u16string_view in, std::string& out)
{
    out.clear();
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= in.size() || in[i + 1] < 0xDC00 || in[i + 1] > 0xDFFF)
                return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return false;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return true;
}

namespace {

struct IconvHandle {
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    IconvHandle() { cd = iconv_open("UTF-16LE", "CP932"); }
    ~IconvHandle()
    {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

} // namespace

std::u16string AnsiPathToWide(std::string_view ansi)
{
    std::u16string out;
    out.reserve(ansi.size());
    thread_local IconvHandle conv;
    size_t i = 0;
    while (i < ansi.size()) {
        const auto b = static_cast<unsigned char>(ansi[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        // One character at a time (one or two bytes), so a bad byte costs only
        // itself.
        const size_t len = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) ? 2 : 1;
        bool done = false;
        if (conv.cd != reinterpret_cast<iconv_t>(-1) && i + len <= ansi.size()) {
            char inBuf[2] = {ansi[i], len == 2 ? ansi[i + 1] : '\0'};
            char outBuf[8];
            char* inPtr = inBuf;
            char* outPtr = outBuf;
            size_t inLeft = len;
            size_t outLeft = sizeof outBuf;
            iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(conv.cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && inLeft == 0 &&
                outPtr - outBuf == 2) {
                out.push_back(static_cast<char16_t>(static_cast<unsigned char>(outBuf[0]) |
                                                    (static_cast<unsigned char>(outBuf[1]) << 8)));
                done = true;
            }
        }
        if (!done)
            out.push_back(u'?');
        i += done ? len : 1;
    }
    return out;
}

bool IsWindowsName(std::u16string_view name)
{
    if (name.empty() || name.size() > 255)
        return false;
    if (name == u"." || name == u"..")
        return true;
    for (char16_t c : name) {
        if (c < 0x20)
            return false;
        switch (c) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'/':
        case u'\\':
        case u'|':
        case u'?':
        case u'*':
            return false;
        default:
            break;
        }
    }
    if (name.back() == u' ' || name.back() == u'.')
        return false;
    // Device names, also with an extension ("NUL.txt"); only a stem of
    // three or four characters can be one (no copy for the others).
    const std::u16string_view stem = name.substr(0, name.find(u'.'));
    std::size_t length = stem.size();
    while (length > 0 && stem[length - 1] == u' ')
        --length;
    if (length != 3 && length != 4)
        return true;
    char16_t upper[4];
    for (std::size_t i = 0; i < length; ++i)
        upper[i] = UpperCaseForNames(stem[i]);
    const std::u16string_view base(upper, length);
    if (base == u"CON" || base == u"PRN" || base == u"AUX" || base == u"NUL")
        return false;
    if (base.size() == 4 && (base.starts_with(u"COM") || base.starts_with(u"LPT")) && base[3] >= u'1' &&
        base[3] <= u'9')
        return false;
    return true;
}

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

struct SplitPath {
    std::uint32_t error = 0;
    char16_t driveAsGiven = 0;
    std::vector<std::u16string> components;
};

// Splits into drive and components, applying ".", ".." and the trailing-dot
// rule; relative forms are joined to the current directory.
SplitPath Split(std::u16string_view path, bool allowRelative)
{
    SplitPath out;
    if (path.empty()) {
        out.error = ERROR_PATH_NOT_FOUND;
        return out;
    }
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        out.error = ERROR_BAD_NETPATH;
        return out;
    }
    std::u16string_view rest = path;
    bool absolute = false;
    if (path.size() >= 2 && path[1] == u':' && IsLetter(path[0])) {
        out.driveAsGiven = path[0];
        rest = path.substr(2);
        absolute = !rest.empty() && IsSeparator(rest[0]);
    } else if (IsSeparator(path[0])) {
        absolute = true;
    }
    if (!absolute || out.driveAsGiven == 0) {
        if (!allowRelative) {
            out.error = ERROR_PATH_NOT_FOUND;
            return out;
        }
        SplitPath cwd = Split(CurrentDirectory(), false);
        if (cwd.error != 0) {
            out.error = cwd.error;
            return out;
        }
        const bool sameDrive =
            out.driveAsGiven == 0 || UpperCaseForNames(out.driveAsGiven) == UpperCaseForNames(cwd.driveAsGiven);
        if (out.driveAsGiven == 0)
            out.driveAsGiven = cwd.driveAsGiven;
        if (!absolute && sameDrive)
            out.components = std::move(cwd.components);
    }
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsSeparator(rest[i]))
            ++i;
        size_t j = i;
        while (j < rest.size() && !IsSeparator(rest[j]))
            ++j;
        if (j == i)
            break;
        std::u16string comp(rest.substr(i, j - i));
        i = j;
        if (comp == u".")
            continue;
        if (comp == u"..") {
            if (!out.components.empty())
                out.components.pop_back();
            continue;
        }
        while (!comp.empty() && (comp.back() == u'.' || comp.back() == u' '))
            comp.pop_back();
        if (comp.empty())
            continue;
        if (comp.size() > 255) {
            out.error = ERROR_FILENAME_EXCED_RANGE;
            return out;
        }
        if (!IsWindowsName(comp)) {
            out.error = ERROR_INVALID_NAME;
            return out;
        }
        out.components.push_back(std::move(comp));
    }
    return out;
}

// The host spelling of an existing entry that matches name without regard
// to case, or empty.
std::string FindEntryIgnoringCase(const std::string& folder, const std::u16string& name)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return {};
    std::string best;
    std::u16string wide;
    while (const dirent* e = readdir(dir)) {
        const std::string_view host(e->d_name);
        if (host == "." || host == "..")
            continue;
        if (!Utf8ToUtf16(host, wide) || !IsWindowsName(wide) || !NamesEqualIgnoringCase(wide, name))
            continue;
        if (best.empty() || host < best)
            best = host;
    }
    closedir(dir);
    return best;
}

std::string JoinHost(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

} // namespace

std::u16string AbsoluteWindowsPath(std::u16string_view windowsPath)
{
    SplitPath split = Split(windowsPath, true);
    if (split.error != 0)
        return {};
    std::u16string out;
    out.push_back(split.driveAsGiven);
    out += u":\\";
    for (size_t k = 0; k < split.components.size(); ++k) {
        if (k > 0)
            out.push_back(u'\\');
        out += split.components[k];
    }
    return out;
}

ResolvedPath ResolvePath(std::u16string_view windowsPath)
{
    ResolvedPath out;
    SplitPath split = Split(windowsPath, true);
    if (split.error != 0) {
        out.error = split.error;
        return out;
    }
    out.drive = UpperCaseForNames(split.driveAsGiven);
    const std::optional<DriveEntry> drive = DriveTable::Instance().Find(out.drive);
    if (!drive) {
        out.error = ERROR_PATH_NOT_FOUND;
        return out;
    }
    if (!drive->present) {
        out.error = ERROR_NOT_READY;
        return out;
    }
    out.writeProtected = drive->writeProtected;
    out.removable = drive->removable;
    out.isRoot = split.components.empty();
    out.host = drive->root;
    out.windows.push_back(out.drive);
    out.windows += u":\\";

    bool existing = true; // every component so far names an existing folder
    std::string name;
    for (size_t k = 0; k < split.components.size(); ++k) {
        const std::u16string& comp = split.components[k];
        const bool last = k + 1 == split.components.size();
        if (last)
            out.parentExists = existing;
        std::u16string spelled = comp;
        if (!Utf16ToUtf8(comp, name)) {
            out.error = ERROR_INVALID_NAME;
            return out;
        }
        if (existing) {
            struct stat st {};
            std::string candidate = JoinHost(out.host, name);
            if (stat(candidate.c_str(), &st) != 0) {
                const std::string found = FindEntryIgnoringCase(out.host, comp);
                if (!found.empty()) {
                    name = found;
                    Utf8ToUtf16(found, spelled);
                    candidate = JoinHost(out.host, name);
                    if (stat(candidate.c_str(), &st) != 0)
                        existing = false;
                } else {
                    existing = false;
                }
            }
            if (existing && !last && !S_ISDIR(st.st_mode))
                existing = false;
        }
        out.host = JoinHost(out.host, name);
        if (k > 0)
            out.windows.push_back(u'\\');
        out.windows += spelled;
    }
    if (out.isRoot)
        out.parentExists = true;
    return out;
}

} // namespace host
