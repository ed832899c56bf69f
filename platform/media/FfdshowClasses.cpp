#include "platform/media/FfdshowClasses.h"

#include "platform/rtl/detail/StringOps.h"

namespace media {

std::span<const ModuleFilter> FiltersOfModule(std::u16string_view fileName)
{
    if (rtl::detail::SameAsciiNoCase(fileName, u"ffdshow.ax"))
        return kFfdshowFilters;
    return {};
}

} // namespace media
