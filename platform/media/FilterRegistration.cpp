#include "platform/media/FilterRegistration.h"

#include "platform/media/DevEnum.h"
#include "platform/rtl/Exception.h"
#include "platform/win/Registry.h"

namespace media {

namespace {

using rtl::UnicodeString;

std::u16string_view FileNameOf(std::u16string_view path)
{
    std::size_t cut = path.find_last_of(u"\\/:");
    return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

// The filter's merit and no pins: version 2, merit, pin count 0, reserved 0.
void FilterData(DWORD merit, std::uint8_t (&out)[16])
{
    for (auto& b : out)
        b = 0;
    out[0] = 2;
    for (int i = 0; i < 4; ++i)
        out[4 + i] = static_cast<std::uint8_t>(merit >> (8 * i));
}

void CreateKey(win::TRegistry& reg, const UnicodeString& key)
{
    if (!reg.OpenKey(key, true))
        throw rtl::ERegistryException(UnicodeString(u"Cannot create ") + key);
}

} // namespace

UnicodeString FilterCategoryInstanceKey()
{
    return UnicodeString(u"\\CLSID\\") + UnicodeString(GuidToString(CLSID_LegacyAmFilterCategory)) + u"\\Instance";
}

bool RegisterModuleFilters(const UnicodeString& modulePath)
{
    auto filters = FiltersOfModule(FileNameOf(modulePath.view()));
    if (filters.empty())
        return false;
    win::TRegistry reg;
    reg.RootKey = win::HKEY_CLASSES_ROOT;
    for (const ModuleFilter& f : filters) {
        UnicodeString clsid(GuidToString(f.clsid));
        UnicodeString classKey = UnicodeString(u"\\CLSID\\") + clsid;
        CreateKey(reg, classKey);
        reg.WriteString(u"", f.friendlyName);
        CreateKey(reg, classKey + u"\\InprocServer32");
        reg.WriteString(u"", modulePath);
        reg.WriteString(u"ThreadingModel", u"Both");
        UnicodeString instanceKey = FilterCategoryInstanceKey() + u"\\" + clsid;
        CreateKey(reg, instanceKey);
        reg.WriteString(u"FriendlyName", f.friendlyName);
        reg.WriteString(u"CLSID", clsid);
        std::uint8_t data[16];
        FilterData(f.merit, data);
        reg.WriteBinaryData(u"FilterData", data, sizeof data);
        reg.CloseKey();
    }
    return true;
}

bool UnregisterModuleFilters(const UnicodeString& modulePath)
{
    auto filters = FiltersOfModule(FileNameOf(modulePath.view()));
    if (filters.empty())
        return false;
    win::TRegistry reg;
    reg.RootKey = win::HKEY_CLASSES_ROOT;
    for (const ModuleFilter& f : filters) {
        UnicodeString clsid(GuidToString(f.clsid));
        reg.DeleteKey(FilterCategoryInstanceKey() + u"\\" + clsid);
        reg.DeleteKey(UnicodeString(u"\\CLSID\\") + clsid);
    }
    return true;
}

} // namespace media
