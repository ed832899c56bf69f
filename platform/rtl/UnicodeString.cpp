#include "platform/rtl/UnicodeString.h"

#include "platform/rtl/AnsiString.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/detail/StringOps.h"

#include <ostream>

namespace rtl {

namespace {
std::u16string_view ViewOf(const char16_t* text) { return text ? std::u16string_view(text) : std::u16string_view(); }
[[noreturn]] void RangeError() { throw ERangeError(u"Range check error"); }
} // namespace

UnicodeString::UnicodeString(const char16_t* text) : s_(ViewOf(text)) {}
UnicodeString::UnicodeString(const char16_t* text, int length)
{
    if (text && length > 0)
        s_.assign(text, static_cast<std::size_t>(length));
}
UnicodeString::UnicodeString(const AnsiString& text) : s_(Cp932ToUtf16(text.view())) {}
UnicodeString::UnicodeString(int value) : UnicodeString(IntToStr(value)) {}
UnicodeString::UnicodeString(unsigned value) : UnicodeString(IntToStr(value)) {}
UnicodeString::UnicodeString(long value) : UnicodeString(IntToStr(value)) {}
UnicodeString::UnicodeString(long long value) : UnicodeString(IntToStr(value)) {}
UnicodeString::UnicodeString(unsigned long value) : UnicodeString(IntToStr(value)) {}
UnicodeString::UnicodeString(unsigned long long value) : UnicodeString(IntToStr(value)) {}
UnicodeString::UnicodeString(double value) : UnicodeString(FloatToStr(value)) {}

char16_t UnicodeString::operator[](int index) const
{
    if (index < 1 || index > Length())
        RangeError();
    return s_[static_cast<std::size_t>(index - 1)];
}
char16_t& UnicodeString::operator[](int index)
{
    if (index < 1 || index > Length())
        RangeError();
    return s_[static_cast<std::size_t>(index - 1)];
}

UnicodeString UnicodeString::SubString(int start, int count) const { return detail::Sub(s_, start, count); }
int UnicodeString::Pos(const UnicodeString& sub) const { return detail::Find(view(), sub.view()); }
int UnicodeString::LastDelimiter(const UnicodeString& delimiters) const
{
    return detail::LastOf(view(), delimiters.view());
}
UnicodeString& UnicodeString::Delete(int index, int count)
{
    detail::Erase(s_, index, count);
    return *this;
}
UnicodeString& UnicodeString::Insert(const UnicodeString& text, int index)
{
    detail::InsertAt(s_, text.view(), index);
    return *this;
}
UnicodeString& UnicodeString::SetLength(int length)
{
    s_.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return *this;
}

UnicodeString UnicodeString::UpperCase() const { return detail::Upper(view()); }
UnicodeString UnicodeString::LowerCase() const { return detail::Lower(view()); }
UnicodeString UnicodeString::Trim() const { return detail::TrimView(view(), true, true); }
UnicodeString UnicodeString::TrimLeft() const { return detail::TrimView(view(), true, false); }
UnicodeString UnicodeString::TrimRight() const { return detail::TrimView(view(), false, true); }

int UnicodeString::ToInt() const { return StrToInt(*this); }
int UnicodeString::ToIntDef(int defaultValue) const { return StrToIntDef(*this, defaultValue); }
double UnicodeString::ToDouble() const { return StrToFloat(*this); }

UnicodeString& UnicodeString::vprintf(const char16_t* format, const FormatArg* args, int count)
{
    s_ = FormatUtf16(ViewOf(format), args, count);
    return *this;
}
UnicodeString& UnicodeString::cat_vprintf(const char16_t* format, const FormatArg* args, int count)
{
    s_ += FormatUtf16(ViewOf(format), args, count);
    return *this;
}

UnicodeString& UnicodeString::operator+=(const char16_t* other)
{
    s_ += ViewOf(other);
    return *this;
}
UnicodeString UnicodeString::operator+(const char16_t* other) const
{
    std::u16string r = s_;
    r += ViewOf(other);
    return UnicodeString(std::move(r));
}
UnicodeString operator+(const char16_t* left, const UnicodeString& right)
{
    std::u16string r(ViewOf(left));
    r += right.s_;
    return UnicodeString(std::move(r));
}

bool UnicodeString::operator==(const char16_t* other) const { return view() == ViewOf(other); }
std::strong_ordering UnicodeString::operator<=>(const char16_t* other) const { return view() <=> ViewOf(other); }
bool UnicodeString::operator==(const AnsiString& other) const { return *this == UnicodeString(other); }
std::strong_ordering UnicodeString::operator<=>(const AnsiString& other) const
{
    return *this <=> UnicodeString(other);
}
int UnicodeString::Compare(const UnicodeString& other) const
{
    return detail::CompareOrdinal(view(), other.view(), false);
}
int UnicodeString::CompareIC(const UnicodeString& other) const
{
    return detail::CompareOrdinal(view(), other.view(), true);
}

std::ostream& operator<<(std::ostream& out, const UnicodeString& text) { return out << ToUtf8(text); }

} // namespace rtl
