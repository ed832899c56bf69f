// Finding a registered filter by its friendly name in the legacy filter
// category, and adding it to a graph.
#include "playback/VideoView.h"

#include "app/Common.h"
#include "app/Globals.h"
#include "app/MyLog.h"
#include "platform/media/ClassFactory.h"
#include "platform/media/DevEnum.h"
#include "platform/media/FilterInterfaces.h"

namespace {

// The entry's "FriendlyName", or false when its property bag or name cannot be read.
bool ReadFriendlyName(media::IMoniker* moniker, rtl::UnicodeString& name)
{
    media::ComPtr<media::IPropertyBag> bag;
    if (media::FAILED(moniker->BindToStorage(nullptr, nullptr, media::IID_IPropertyBag, bag.PutVoid())))
        return false;
    media::VARIANT value;
    media::VariantInit(&value);
    bool ok = media::SUCCEEDED(bag->Read(u"FriendlyName", &value, nullptr)) && value.vt == media::VT_BSTR;
    if (ok)
        name = rtl::UnicodeString(value.bstrVal);
    media::VariantClear(&value);
    return ok;
}

} // namespace

bool TPlayControl::AddFilterFromFriendlyName(media::IGraphBuilder* graph, media::IBaseFilter** filter,
                                             const rtl::UnicodeString& friendlyName)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return false;
        media::ComPtr<media::ICreateDevEnum> devices;
        if (media::FAILED(media::CoCreateInstance(media::CLSID_SystemDeviceEnum, nullptr, media::CLSCTX_INPROC_SERVER,
                                                  media::IID_ICreateDevEnum, devices.PutVoid())))
            return false;
        media::ComPtr<media::IEnumMoniker> entries;
        if (devices->CreateClassEnumerator(media::CLSID_LegacyAmFilterCategory, entries.Put(), 0) == media::S_OK) {
            media::ComPtr<media::IMoniker> moniker;
            while (entries->Next(1, moniker.Put(), nullptr) == media::S_OK) {
                rtl::UnicodeString name;
                if (!ReadFriendlyName(moniker.Get(), name) || name != friendlyName)
                    continue;
                if (graph == nullptr)
                    return true;
                // Bound into a holder first: a null out-pointer still gets the filter into the graph.
                media::ComPtr<media::IBaseFilter> found;
                if (media::FAILED(moniker->BindToObject(nullptr, nullptr, media::IID_IBaseFilter, found.PutVoid())))
                    return false;
                bool added = media::SUCCEEDED(graph->AddFilter(found.Get(), friendlyName.c_str()));
                if (filter != nullptr)
                    *filter = found.Detach();
                return added;
            }
        }
        MyLogModule->LogInfo(rtl::AnsiString(rtl::UnicodeString(u"Filter is not registing : ") + friendlyName));
        return false;
    } catch (rtl::Exception& e) {
        MyLogModule->LogError(
            rtl::AnsiString(rtl::UnicodeString(u"TPlayControl::AddFilterFromFriendlyName ERROR:") + e.Message));
        return false;
    }
}
