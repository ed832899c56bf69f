#include "platform/rtl/AnsiString.h"

#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/UnicodeString.h"
#include "platform/rtl/detail/StringOps.h"

#include <ostream>

namespace rtl {

namespace {
std::string_view ViewOf(const char* text) { return text ? std::string_view(text) : std::string_view(); }
[[noreturn]] void RangeError() { throw ERangeError(u"Range check error"); }
} // namespace

AnsiString::AnsiString(const char* bytes) : s_(ViewOf(bytes)) {}
AnsiString::AnsiString(const char* bytes, int length)
{
    if (bytes && length > 0)
        s_.assign(bytes, static_cast<std::size_t>(length));
}
AnsiString::AnsiString(const UnicodeString& text) : s_(Utf16ToCp932(text.view())) {}
AnsiString::AnsiString(const char16_t* text) : AnsiString(UnicodeString(text)) {}
AnsiString::AnsiString(int value) : AnsiString(IntToStr(value)) {}
AnsiString::AnsiString(unsigned value) : AnsiString(IntToStr(value)) {}
AnsiString::AnsiString(long value) : AnsiString(IntToStr(value)) {}
AnsiString::AnsiString(long long value) : AnsiString(IntToStr(value)) {}
AnsiString::AnsiString(unsigned long value) : AnsiString(IntToStr(value)) {}
AnsiString::AnsiString(unsigned long long value) : AnsiString(IntToStr(value)) {}
AnsiString::AnsiString(double value) : AnsiString(FloatToStr(value)) {}

char AnsiString::operator[](int index) const
{
    if (index < 1 || index > Length())
        RangeError();
    return s_[static_cast<std::size_t>(index - 1)];
}
char& AnsiString::operator[](int index)
{
    if (index < 1 || index > Length())
        RangeError();
    return s_[static_cast<std::size_t>(index - 1)];
}

AnsiString AnsiString::SubString(int start, int count) const { return AnsiString(detail::Sub(s_, start, count)); }
int AnsiString::Pos(const AnsiString& sub) const { return detail::Find(view(), sub.view()); }
int AnsiString::LastDelimiter(const AnsiString& delimiters) const
{
    int last = 0;
    for (std::size_t i = 0; i < s_.size(); ++i) {
        const auto b = static_cast<unsigned char>(s_[i]);
        if (delimiters.view().find(s_[i]) != std::string_view::npos)
            last = static_cast<int>(i) + 1;
        if (IsDBCSLeadByte(b) && i + 1 < s_.size())
            ++i; // skip the trail byte
    }
    return last;
}
AnsiString& AnsiString::Delete(int index, int count)
{
    detail::Erase(s_, index, count);
    return *this;
}
AnsiString& AnsiString::Insert(const AnsiString& text, int index)
{
    detail::InsertAt(s_, text.view(), index);
    return *this;
}
AnsiString& AnsiString::SetLength(int length)
{
    s_.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return *this;
}

AnsiString AnsiString::UpperCase() const { return AnsiString(detail::Upper(view())); }
AnsiString AnsiString::LowerCase() const { return AnsiString(detail::Lower(view())); }
AnsiString AnsiString::Trim() const { return AnsiString(detail::TrimView(view(), true, true)); }
AnsiString AnsiString::TrimLeft() const { return AnsiString(detail::TrimView(view(), true, false)); }
AnsiString AnsiString::TrimRight() const { return AnsiString(detail::TrimView(view(), false, true)); }

int AnsiString::ToInt() const { return StrToInt(UnicodeString(*this)); }
int AnsiString::ToIntDef(int defaultValue) const { return StrToIntDef(UnicodeString(*this), defaultValue); }
double AnsiString::ToDouble() const { return StrToFloat(UnicodeString(*this)); }

AnsiString& AnsiString::vprintf(const char* format, const FormatArg* args, int count)
{
    s_ = FormatBytes(ViewOf(format), args, count);
    return *this;
}
AnsiString& AnsiString::cat_vprintf(const char* format, const FormatArg* args, int count)
{
    s_ += FormatBytes(ViewOf(format), args, count);
    return *this;
}

AnsiString& AnsiString::operator+=(const char* other)
{
    s_ += ViewOf(other);
    return *this;
}
AnsiString AnsiString::operator+(const char* other) const
{
    std::string r = s_;
    r += ViewOf(other);
    return AnsiString(std::move(r));
}
AnsiString operator+(const char* left, const AnsiString& right)
{
    std::string r(ViewOf(left));
    r += right.s_;
    return AnsiString(std::move(r));
}

bool AnsiString::operator==(const char* other) const { return view() == ViewOf(other); }
std::strong_ordering AnsiString::operator<=>(const AnsiString& other) const
{
    return detail::CompareOrdinal(view(), other.view(), false) <=> 0;
}
std::strong_ordering AnsiString::operator<=>(const char* other) const
{
    return detail::CompareOrdinal(view(), ViewOf(other), false) <=> 0;
}
int AnsiString::Compare(const AnsiString& other) const { return detail::CompareOrdinal(view(), other.view(), false); }
int AnsiString::CompareIC(const AnsiString& other) const { return detail::CompareOrdinal(view(), other.view(), true); }

std::ostream& operator<<(std::ostream& out, const AnsiString& text) { return out << ToUtf8(UnicodeString(text)); }

} // namespace rtl
