#include "platform/rtl/IniFile.h"

#include "platform/rtl/Encoding.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/MemoryStream.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/detail/Hex.h"
#include "platform/rtl/detail/HostPath.h"
#include "platform/rtl/detail/StringOps.h"
#include "platform/host/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace rtl {
namespace {

// Settings files beyond this size are treated as unreadable.
constexpr std::size_t kMaxIniFile = 64 * 1024 * 1024;

// One line of the file:
//   [SYSTEM]          a section header (name between "[" and the last "]")
//   screen = 2        a key (name before the first "=", value after it)
// anything else (blank lines, comments, text without "=") is kept as it is.
struct Line {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::u16string name; // trimmed section or key name
    std::u16string value; // raw text after "=" (keys)
    std::string raw; // the line's bytes in the file's encoding, without its end
    std::string end; // its line end bytes ("" for a last line without one)
};

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view TrimBlanks(std::u16string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool SameName(std::u16string_view a, std::u16string_view b) { return detail::CompareOrdinal(a, b, true) == 0; }

void Classify(Line& line, std::u16string_view text)
{
    std::u16string_view t = TrimBlanks(text);
    if (!t.empty() && t.front() == u'[') {
        std::size_t close = t.find_last_of(u']');
        if (close != std::u16string_view::npos && close > 0) {
            line.kind = Line::Kind::Section;
            line.name = TrimBlanks(t.substr(1, close - 1));
        }
        return;
    }
    if (t.empty() || t.front() == u';')
        return;
    std::size_t eq = t.find(u'=');
    if (eq == std::u16string_view::npos)
        return;
    line.kind = Line::Kind::Key;
    line.name = TrimBlanks(t.substr(0, eq));
    line.value = t.substr(eq + 1);
}

struct Document {
    const TEncoding* encoding = TEncoding::Default;
    std::vector<Line> lines;

    std::string Encode(std::u16string_view text) const { return encoding->GetBytes(UnicodeString(text)); }
    std::string Crlf() const { return Encode(u"\r\n"); }
    // The bytes of a key line's name: before its first "=", without the
    // blanks around it (no trail byte of code page 932 or UTF-8 is "=", a
    // blank or a tab).
    std::string NameBytes(const std::string& raw) const
    {
        const std::size_t unit = encoding == TEncoding::Unicode ? 2 : 1;
        auto is = [&](std::size_t i, char c) { return raw[i] == c && (unit == 1 || raw[i + 1] == 0); };
        std::size_t eq = 0;
        while (eq + unit <= raw.size() && !is(eq, '='))
            eq += unit;
        std::size_t b = 0, e = eq;
        while (b < e && (is(b, ' ') || is(b, '\t')))
            b += unit;
        while (e > b && (is(e - unit, ' ') || is(e - unit, '\t')))
            e -= unit;
        return raw.substr(b, e - b);
    }

    // Splits into lines at CR LF, LF or a lone CR. Byte encodings are split on
    // bytes (no trail byte of code page 932 or UTF-8 is CR or LF), so lines
    // that are not edited are written back unchanged.
    void Parse(std::string_view bytes)
    {
        int skip = 0;
        encoding = TEncoding::Detect(bytes, skip);
        if (encoding == TEncoding::BigEndianUnicode)
            encoding = TEncoding::Default, skip = 0;
        preamble.assign(bytes.substr(0, static_cast<std::size_t>(skip)));
        bytes.remove_prefix(static_cast<std::size_t>(skip));
        const bool wide = encoding == TEncoding::Unicode;
        const std::size_t unit = wide ? 2 : 1;
        auto codeAt = [&](std::size_t i) -> unsigned {
            return wide ? (static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8))
                        : static_cast<unsigned char>(bytes[i]);
        };
        std::size_t n = wide ? bytes.size() & ~std::size_t(1) : bytes.size();
        std::size_t start = 0, i = 0;
        while (i < n) {
            unsigned c = codeAt(i);
            if (c != '\r' && c != '\n') {
                i += unit;
                continue;
            }
            std::size_t lineEnd = i;
            i += unit;
            if (c == '\r' && i < n && codeAt(i) == '\n')
                i += unit;
            Add(bytes.substr(start, lineEnd - start), bytes.substr(lineEnd, i - lineEnd));
            start = i;
        }
        // (An odd last byte of UTF-16 is no character: it is dropped.)
        if (start < n)
            Add(bytes.substr(start, n - start), {});
    }

    void Add(std::string_view raw, std::string_view end)
    {
        Line line;
        line.raw.assign(raw);
        line.end.assign(end);
        // Only a line with "[" or "=" can be a header or a key ("=" is never a
        // trail byte; "[" may be one, so such lines are decoded and looked at).
        if (encoding == TEncoding::Unicode || raw.find_first_of("[=") != std::string_view::npos)
            Classify(line, encoding->GetString(raw).view());
        lines.push_back(std::move(line));
    }

    Line MakeLine(std::u16string_view text) const
    {
        Line line;
        line.raw = Encode(text);
        line.end = Crlf();
        Classify(line, text);
        return line;
    }

    std::string Bytes() const
    {
        std::string out = preamble;
        for (const Line& l : lines) {
            out += l.raw;
            out += l.end;
        }
        return out;
    }

    // Index of the first header of the section, or -1.
    long FindSection(std::u16string_view section) const
    {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].kind == Line::Kind::Section && SameName(lines[i].name, section))
                return static_cast<long>(i);
        return -1;
    }
    // One past the section's last line (the next header or the end).
    std::size_t SectionEnd(long header) const
    {
        std::size_t i = static_cast<std::size_t>(header) + 1;
        while (i < lines.size() && lines[i].kind != Line::Kind::Section)
            ++i;
        return i;
    }
    long FindKey(long header, std::u16string_view key) const
    {
        if (header < 0)
            return -1;
        for (std::size_t i = static_cast<std::size_t>(header) + 1, e = SectionEnd(header); i < e; ++i)
            if (lines[i].kind == Line::Kind::Key && SameName(lines[i].name, key))
                return static_cast<long>(i);
        return -1;
    }

    std::string preamble;
};

// Reads the whole file; nothing when it is missing, unreadable or too large.
std::optional<std::string> ReadFile(const std::string& path)
{
    int fd = host::OpenRegularFile(path, O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) > kMaxIniFile) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxIniFile) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return bytes;
}

std::optional<Document> Load(const UnicodeString& fileName)
{
    detail::HostFile host = detail::HostPath(fileName);
    if (!host.ok)
        return std::nullopt;
    std::optional<std::string> bytes = ReadFile(host.path);
    if (!bytes)
        return std::nullopt;
    Document doc;
    doc.Parse(*bytes);
    return doc;
}

// The value as read: trimmed, one pair of enclosing quotes removed.
std::u16string Unquote(std::u16string_view raw)
{
    std::u16string_view v = TrimBlanks(raw);
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::u16string(v);
}

} // namespace

// Applies one edit to the file (read afresh), or raises.
class IniEditor {
public:
    explicit IniEditor(const UnicodeString& fileName) : fileName_(fileName)
    {
        host_ = detail::HostPath(fileName);
        if (!host_.ok)
            Fail();
        struct stat st {};
        if (stat(host_.path.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode))
                Fail();
            std::optional<std::string> bytes = ReadFile(host_.path);
            if (!bytes)
                Fail();
            doc_.Parse(*bytes);
            exists_ = true;
        }
    }

    Document& doc() { return doc_; }

    // Writes the whole file to a temporary file beside it, flushed to the
    // disk, and renames that over it, so a full card, a failed write, a kill
    // or a power loss keeps the old settings or the new ones.
    void Save()
    {
        if (host_.writeProtected || !detail::HostFileWritable(host_.path))
            Fail();
        const std::size_t slash = host_.path.rfind('/');
        if (slash != std::string::npos)
            host::RemoveStaleTemporaries(slash == 0 ? "/" : host_.path.substr(0, slash), host_.path.substr(slash + 1));
        struct stat st {};
        const int keepMode = stat(host_.path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
        // (In a missing folder the temporary cannot be made: the write fails.)
        if (!host::ReplaceFileDurably(host_.path, doc_.Bytes(), 0666, keepMode))
            Fail();
    }

    bool exists() const { return exists_; }

private:
    [[noreturn]] void Fail() { throw EIniFileException(u"Unable to write to " + fileName_); }

    UnicodeString fileName_;
    detail::HostFile host_;
    Document doc_;
    bool exists_ = false;
};

TIniFile::TIniFile(const UnicodeString& fileName) : fileName_(fileName) {}
TIniFile::~TIniFile() = default;

UnicodeString TIniFile::ReadString(const UnicodeString& section, const UnicodeString& ident,
                                   const UnicodeString& defaultValue) const
{
    try {
        std::optional<Document> doc = Load(fileName_);
        if (!doc)
            return defaultValue;
        long key = doc->FindKey(doc->FindSection(TrimBlanks(section.view())), TrimBlanks(ident.view()));
        if (key < 0)
            return defaultValue;
        return UnicodeString(Unquote(doc->lines[static_cast<std::size_t>(key)].value));
    } catch (...) {
        return defaultValue;
    }
}

int TIniFile::ReadInteger(const UnicodeString& section, const UnicodeString& ident, int defaultValue) const
{
    return StrToIntDef(ReadString(section, ident, UnicodeString()), defaultValue);
}

bool TIniFile::ReadBool(const UnicodeString& section, const UnicodeString& ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

int TIniFile::ReadBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream& value) const
{
    try {
        UnicodeString text = ReadString(section, name, UnicodeString());
        std::u16string_view t = text.view();
        std::string bytes;
        for (std::size_t i = 0; i + 1 < t.size(); i += 2) {
            int hi = detail::HexDigitValue(t[i]), lo = detail::HexDigitValue(t[i + 1]);
            if (hi < 0 || lo < 0)
                break;
            bytes += static_cast<char>((hi << 4) | lo);
        }
        if (bytes.empty())
            return 0;
        std::int64_t start = value.Position();
        std::int32_t written = value.Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        if (dynamic_cast<TMemoryStream*>(&value))
            value.SetPosition(start);
        return written;
    } catch (...) {
        return 0;
    }
}

int TIniFile::ReadBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream* value) const
{
    return value ? ReadBinaryStream(section, name, *value) : 0;
}

void TIniFile::WriteString(const UnicodeString& section, const UnicodeString& ident, const UnicodeString& value)
{
    std::u16string_view sectionName = TrimBlanks(section.view());
    std::u16string_view key = TrimBlanks(ident.view());
    IniEditor editor(fileName_);
    Document& doc = editor.doc();
    long header = doc.FindSection(sectionName);
    if (header < 0) {
        // A new section at the end, after a line end for a last line without one.
        if (!doc.lines.empty() && doc.lines.back().end.empty())
            doc.lines.back().end = doc.Crlf();
        doc.lines.push_back(doc.MakeLine(u"[" + std::u16string(sectionName) + u"]"));
        doc.lines.push_back(doc.MakeLine(std::u16string(key) + u"=" + std::u16string(value.view())));
        editor.Save();
        return;
    }
    long at = doc.FindKey(header, key);
    if (at >= 0) {
        Line& line = doc.lines[static_cast<std::size_t>(at)];
        if (TrimBlanks(line.value) == value.view())
            return; // unchanged: the file is not touched
        // The name keeps its bytes, so one the encoding does not hold exactly
        // (a stray byte) is not respelled.
        line.raw = doc.NameBytes(line.raw) + doc.Encode(u"=" + std::u16string(value.view()));
        line.value = value.view();
        editor.Save();
        return;
    }
    // After the section's last key (blank lines and comments after it stay
    // where they are), or right after the header.
    std::size_t insertAt = static_cast<std::size_t>(header) + 1;
    for (std::size_t i = insertAt, e = doc.SectionEnd(header); i < e; ++i)
        if (doc.lines[i].kind == Line::Kind::Key)
            insertAt = i + 1;
    if (doc.lines[insertAt - 1].end.empty())
        doc.lines[insertAt - 1].end = doc.Crlf();
    doc.lines.insert(doc.lines.begin() + static_cast<long>(insertAt),
                     doc.MakeLine(std::u16string(key) + u"=" + std::u16string(value.view())));
    editor.Save();
}

void TIniFile::WriteInteger(const UnicodeString& section, const UnicodeString& ident, int value)
{
    WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const UnicodeString& section, const UnicodeString& ident, bool value)
{
    WriteString(section, ident, value ? u"1" : u"0");
}

void TIniFile::WriteBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream& value)
{
    static const char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string text;
    unsigned char buffer[4096];
    while (true) {
        std::int32_t n = value.Read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (std::int32_t i = 0; i < n; ++i) {
            text += kHex[buffer[i] >> 4];
            text += kHex[buffer[i] & 0xF];
        }
    }
    WriteString(section, name, UnicodeString(std::move(text)));
}

void TIniFile::WriteBinaryStream(const UnicodeString& section, const UnicodeString& name, TStream* value)
{
    if (!value)
        throw EInvalidPointer(u"Invalid pointer operation");
    WriteBinaryStream(section, name, *value);
}

bool TIniFile::SectionExists(const UnicodeString& section) const
{
    try {
        std::optional<Document> doc = Load(fileName_);
        return doc && doc->FindSection(TrimBlanks(section.view())) >= 0;
    } catch (...) {
        return false;
    }
}

bool TIniFile::ValueExists(const UnicodeString& section, const UnicodeString& ident) const
{
    try {
        std::optional<Document> doc = Load(fileName_);
        return doc && doc->FindKey(doc->FindSection(TrimBlanks(section.view())), TrimBlanks(ident.view())) >= 0;
    } catch (...) {
        return false;
    }
}

void TIniFile::ReadSections(TStrings& sections) const
{
    sections.Clear();
    std::optional<Document> doc;
    try {
        doc = Load(fileName_);
    } catch (...) {
    }
    if (!doc)
        return;
    std::vector<std::u16string> seen;
    for (const Line& line : doc->lines) {
        if (line.kind != Line::Kind::Section)
            continue;
        bool dup = false;
        for (const auto& s : seen)
            dup |= SameName(s, line.name);
        if (dup)
            continue;
        seen.push_back(line.name);
        sections.Add(UnicodeString(line.name));
    }
}

void TIniFile::ReadSection(const UnicodeString& section, TStrings& idents) const
{
    idents.Clear();
    std::optional<Document> doc;
    try {
        doc = Load(fileName_);
    } catch (...) {
    }
    if (!doc)
        return;
    long header = doc->FindSection(TrimBlanks(section.view()));
    if (header < 0)
        return;
    std::vector<std::u16string> seen;
    for (std::size_t i = static_cast<std::size_t>(header) + 1, e = doc->SectionEnd(header); i < e; ++i) {
        const Line& line = doc->lines[i];
        if (line.kind != Line::Kind::Key)
            continue;
        bool dup = false;
        for (const auto& s : seen)
            dup |= SameName(s, line.name);
        if (dup)
            continue;
        seen.push_back(line.name);
        idents.Add(UnicodeString(line.name));
    }
}

void TIniFile::DeleteKey(const UnicodeString& section, const UnicodeString& ident)
{
    IniEditor editor(fileName_);
    if (!editor.exists())
        return;
    Document& doc = editor.doc();
    long key = doc.FindKey(doc.FindSection(TrimBlanks(section.view())), TrimBlanks(ident.view()));
    if (key < 0)
        return;
    doc.lines.erase(doc.lines.begin() + key);
    editor.Save();
}

void TIniFile::EraseSection(const UnicodeString& section)
{
    IniEditor editor(fileName_);
    if (!editor.exists())
        return;
    Document& doc = editor.doc();
    long header = doc.FindSection(TrimBlanks(section.view()));
    if (header < 0)
        return;
    doc.lines.erase(doc.lines.begin() + header, doc.lines.begin() + static_cast<long>(doc.SectionEnd(header)));
    editor.Save();
}

} // namespace rtl
