#include "platform/rtl/Strings.h"

#include "platform/rtl/Exception.h"
#include "platform/rtl/FileStream.h"
#include "platform/rtl/detail/StringOps.h"

#include <vector>

namespace rtl {
namespace {
// Text files larger than this are refused rather than exhausting memory.
constexpr std::int64_t kMaxTextFile = 256 * 1024 * 1024;

std::string ReadAll(TStream& stream)
{
    std::int64_t size = stream.Size() - stream.Position();
    if (size < 0)
        size = 0;
    if (size > kMaxTextFile)
        throw EReadError(u"Stream read error");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0)
        stream.ReadBuffer(bytes.data(), static_cast<std::int32_t>(size));
    return bytes;
}
} // namespace

TStrings::~TStrings() = default;

[[noreturn]] void TStrings::IndexError(int index) { throw EListError(u"List index out of bounds (%d)", index); }

int TStrings::CompareStrings(const UnicodeString& a, const UnicodeString& b) const
{
    return detail::CompareOrdinal(a.view(), b.view(), !caseSensitive_);
}

int TStrings::Add(const UnicodeString& text)
{
    int index = Count();
    Insert(index, text);
    return index;
}

void TStrings::AddStrings(const TStrings& other)
{
    const int n = other.Count();
    for (int i = 0; i < n; ++i)
        Add(other.Strings(i));
}

void TStrings::Assign(const TStrings& other)
{
    if (&other == this)
        return;
    std::vector<UnicodeString> copy;
    for (int i = 0; i < other.Count(); ++i)
        copy.push_back(other.Strings(i));
    Clear();
    for (const UnicodeString& s : copy)
        Add(s);
}

int TStrings::IndexOf(const UnicodeString& text) const
{
    const int n = Count();
    for (int i = 0; i < n; ++i)
        if (CompareStrings(Strings(i), text) == 0)
            return i;
    return -1;
}

void TStrings::Exchange(int index1, int index2)
{
    if (index1 < 0 || index1 >= Count())
        IndexError(index1);
    if (index2 < 0 || index2 >= Count())
        IndexError(index2);
    UnicodeString a = Strings(index1);
    SetStrings(index1, Strings(index2));
    SetStrings(index2, a);
}

void TStrings::Move(int currentIndex, int newIndex)
{
    if (currentIndex == newIndex)
        return;
    if (currentIndex < 0 || currentIndex >= Count())
        IndexError(currentIndex);
    if (newIndex < 0 || newIndex >= Count())
        IndexError(newIndex);
    UnicodeString s = Strings(currentIndex);
    Delete(currentIndex);
    Insert(newIndex, s);
}

UnicodeString TStrings::Text() const
{
    std::u16string out;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        out += Strings(i).view();
        out += u"\r\n";
    }
    return UnicodeString(std::move(out));
}

void TStrings::SetText(const UnicodeString& text)
{
    std::u16string_view t = text.view();
    BeginUpdate();
    try {
        Clear();
        std::size_t start = 0, i = 0;
        while (i < t.size()) {
            if (t[i] == u'\r' || t[i] == u'\n') {
                Add(UnicodeString(t.substr(start, i - start)));
                if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
                    ++i;
                start = ++i;
            } else {
                ++i;
            }
        }
        if (start < t.size())
            Add(UnicodeString(t.substr(start)));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

UnicodeString TStrings::Names(int index) const
{
    UnicodeString s = Strings(index);
    std::size_t eq = s.view().find(u'=');
    return eq == std::u16string_view::npos ? UnicodeString() : UnicodeString(s.view().substr(0, eq));
}

UnicodeString TStrings::ValueFromIndex(int index) const
{
    UnicodeString s = Strings(index);
    std::size_t eq = s.view().find(u'=');
    return eq == std::u16string_view::npos ? UnicodeString() : UnicodeString(s.view().substr(eq + 1));
}

int TStrings::IndexOfName(const UnicodeString& name) const
{
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        UnicodeString s = Strings(i);
        std::size_t eq = s.view().find(u'=');
        if (eq != std::u16string_view::npos &&
            detail::CompareOrdinal(s.view().substr(0, eq), name.view(), !caseSensitive_) == 0)
            return i;
    }
    return -1;
}

UnicodeString TStrings::Values(const UnicodeString& name) const
{
    int i = IndexOfName(name);
    return i < 0 ? UnicodeString() : ValueFromIndex(i);
}

void TStrings::SetValues(const UnicodeString& name, const UnicodeString& value)
{
    int i = IndexOfName(name);
    if (value.IsEmpty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0)
        Add(name + u"=" + value);
    else
        SetStrings(i, name + u"=" + value);
}

void TStrings::SetFromBytes(std::string_view bytes, const TEncoding* forced)
{
    const TEncoding* encoding = forced;
    int skip = 0;
    if (!encoding) {
        encoding = TEncoding::Detect(bytes, skip);
    } else {
        std::string_view p = encoding->GetPreamble();
        if (!p.empty() && bytes.substr(0, p.size()) == p)
            skip = static_cast<int>(p.size());
    }
    UnicodeString text = encoding->GetString(bytes.substr(static_cast<std::size_t>(skip)));
    SetText(text);
    encoding_ = encoding;
}

void TStrings::LoadFromStream(TStream& stream) { SetFromBytes(ReadAll(stream), nullptr); }
void TStrings::LoadFromStream(TStream& stream, const TEncoding* encoding) { SetFromBytes(ReadAll(stream), encoding); }

void TStrings::LoadFromFile(const UnicodeString& fileName) { LoadFromFile(fileName, nullptr); }

void TStrings::LoadFromFile(const UnicodeString& fileName, const TEncoding* encoding)
{
    std::string bytes;
    {
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        bytes = ReadAll(file);
    }
    SetFromBytes(bytes, encoding);
}

void TStrings::SaveToStream(TStream& stream) const { SaveToStream(stream, encoding_); }

void TStrings::SaveToStream(TStream& stream, const TEncoding* encoding) const
{
    if (!encoding)
        encoding = TEncoding::Default;
    std::string bytes(encoding->GetPreamble());
    bytes += encoding->GetBytes(Text());
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t chunk = bytes.size() - at > 0x40000000 ? 0x40000000 : bytes.size() - at;
        stream.WriteBuffer(bytes.data() + at, static_cast<std::int32_t>(chunk));
        at += chunk;
    }
}

void TStrings::SaveToFile(const UnicodeString& fileName) const { SaveToFile(fileName, encoding_); }

void TStrings::SaveToFile(const UnicodeString& fileName, const TEncoding* encoding) const
{
    TFileStream file(fileName, fmCreate);
    SaveToStream(file, encoding);
}

} // namespace rtl
