#include <algorithm>

#include "app/Common.h"
#include "app/Globals.h"
#include "codec/CodecSupport.h"
#include "platform/media/ClassFactory.h"
#include "platform/media/DevEnum.h"
#include "platform/media/FilterInterfaces.h"
#include "platform/win/Clock.h"
#include "playback/VideoView.h"

namespace codec::detail {

namespace {

// The registration tool is a process of its own and takes a few
// milliseconds: a wait looks this often instead of sleeping it out.
constexpr DWORD kLookEveryMs = 5;

// The lookup's own answer, without its log line.
bool FilterListed(const char16_t* friendlyName)
{
    if (!IsDriveReady(ProgramDrive))
        return false;
    media::ComPtr<media::ICreateDevEnum> devices;
    media::ComPtr<media::IEnumMoniker> entries;
    if (media::FAILED(media::CoCreateInstance(media::CLSID_SystemDeviceEnum, nullptr, media::CLSCTX_INPROC_SERVER,
                                              media::IID_ICreateDevEnum, devices.PutVoid())) ||
        devices->CreateClassEnumerator(media::CLSID_LegacyAmFilterCategory, entries.Put(), 0) != media::S_OK)
        return false;
    const rtl::UnicodeString wanted(friendlyName);
    for (media::ComPtr<media::IMoniker> entry; entries->Next(1, entry.Put(), nullptr) == media::S_OK;) {
        media::ComPtr<media::IPropertyBag> properties;
        if (media::FAILED(entry->BindToStorage(nullptr, nullptr, media::IID_IPropertyBag, properties.PutVoid())))
            continue;
        media::VARIANT name;
        media::VariantInit(&name);
        const bool same = media::SUCCEEDED(properties->Read(u"FriendlyName", &name, nullptr)) &&
            name.vt == media::VT_BSTR && rtl::UnicodeString(name.bstrVal) == wanted;
        media::VariantClear(&name);
        if (same)
            return true;
    }
    return false;
}

} // namespace

bool VideoDecoderRegistered() { return TPlayControl::AddFilterFromFriendlyName(nullptr, nullptr, kVideoDecoderName); }

void WaitForVideoDecoder(bool registered, DWORD ms)
{
    const std::uint64_t end = win::GetTickCount64() + ms;
    for (;;) {
        bool listed = false;
        try {
            listed = FilterListed(kVideoDecoderName);
        } catch (rtl::Exception&) {
            // The lookup after the wait meets and logs the same fault.
        }
        const std::uint64_t now = win::GetTickCount64();
        if (listed == registered || now >= end)
            return;
        win::Sleep(static_cast<DWORD>(std::min<std::uint64_t>(kLookEveryMs, end - now)));
    }
}

} // namespace codec::detail
