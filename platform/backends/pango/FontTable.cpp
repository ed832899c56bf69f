#include "platform/backends/pango/FontTable.h"

#include <string_view>

namespace backends::pango {

namespace {

constexpr const char* kGothic = "IPAGothic";
constexpr const char* kPGothic = "IPAPGothic";
constexpr const char* kMincho = "IPAMincho";
constexpr const char* kPMincho = "IPAPMincho";

struct FontRow {
    std::u16string_view name; // folded: see Fold
    const char* family;
};

// Folded names (half-width, upper case, no blanks).
constexpr FontRow kFonts[] = {
    {u"MSゴシック", kGothic},    {u"MSGOTHIC", kGothic},        {u"MSPゴシック", kPGothic}, {u"MSPGOTHIC", kPGothic},
    {u"MSUIGOTHIC", kPGothic},   {u"MS明朝", kMincho},          {u"MSMINCHO", kMincho},     {u"MSP明朝", kPMincho},
    {u"MSPMINCHO", kPMincho},    {u"メイリオ", kPGothic},       {u"MEIRYO", kPGothic},      {u"COURIERNEW", kGothic},
    {u"TERMINAL", kGothic},      {u"ARIALUNICODEMS", kPGothic}, {u"ARIAL", kPGothic},       {u"TAHOMA", kPGothic},
    {u"MSSANSSERIF", kPGothic},  {u"SEGOEUI", kPGothic},        {u"IPAゴシック", kGothic},  {u"IPAGOTHIC", kGothic},
    {u"IPAPゴシック", kPGothic}, {u"IPAPGOTHIC", kPGothic},     {u"IPA明朝", kMincho},      {u"IPAMINCHO", kMincho},
    {u"IPAP明朝", kPMincho},     {u"IPAPMINCHO", kPMincho},
};

// Full-width ASCII to half-width, lower to upper case, blanks (both widths)
// and a leading "@" dropped.
std::u16string Fold(std::u16string_view name)
{
    if (!name.empty() && (name.front() == u'@' || name.front() == u'＠'))
        name.remove_prefix(1);
    std::u16string out;
    for (char16_t c : name) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = static_cast<char16_t>(c - 0xFF01 + 0x21);
        if (c == u' ' || c == 0x3000)
            continue;
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
        out += c;
    }
    return out;
}

} // namespace

std::string FamilyFor(const rtl::UnicodeString& windowsName)
{
    const std::u16string folded = Fold(windowsName.view());
    for (const FontRow& row : kFonts)
        if (row.name == folded)
            return row.family;
    return kPGothic;
}

} // namespace backends::pango
