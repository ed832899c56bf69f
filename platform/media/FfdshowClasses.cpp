#include "platform/media/FfdshowClasses.h"

namespace media {

namespace {
bool SameAsciiNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 32);
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 32);
        if (x != y) return false;
    }
    return true;
}
} // namespace

std::span<const ModuleFilter> FiltersOfModule(std::u16string_view fileName) {
    if (SameAsciiNoCase(fileName, u"ffdshow.ax")) return kFfdshowFilters;
    return {};
}

} // namespace media
