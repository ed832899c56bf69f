#include "tracks/TrackFields.h"

#include "platform/rtl/Numbers.h"

using rtl::UnicodeString;

namespace {

bool IsSeparatorBlank(char16_t c) { return c >= 1 && c <= 32; }

} // namespace

std::vector<UnicodeString> SplitTrackFields(std::u16string_view text)
{
    const std::size_t zero = text.find(u'\0');
    if (zero != std::u16string_view::npos)
        text = text.substr(0, zero);

    std::vector<UnicodeString> fields;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n && IsSeparatorBlank(text[p]))
        ++p;
    while (p < n) {
        if (text[p] == u'"') {
            std::u16string field;
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    ++p;
                    if (p >= n || text[p] != u'"')
                        break;
                }
                field += text[p++];
            }
            fields.emplace_back(std::u16string_view(field));
        } else {
            const std::size_t start = p;
            while (p < n && text[p] != u',' && !IsSeparatorBlank(text[p]))
                ++p;
            fields.emplace_back(text.substr(start, p - start));
        }
        while (p < n && IsSeparatorBlank(text[p]))
            ++p;
        if (p < n && text[p] == u',') {
            if (p + 1 == n)
                fields.emplace_back();
            do
                ++p;
            while (p < n && IsSeparatorBlank(text[p]));
        }
    }
    return fields;
}

rtl::AnsiString TrackNumberText(double value)
{
    if (value == 0.0)
        value = 0.0; // no "-0"
    return rtl::AnsiString(rtl::FloatToStr(value));
}
