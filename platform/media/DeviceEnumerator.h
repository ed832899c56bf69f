// The system device enumerator (CLSID_SystemDeviceEnum). It knows the legacy
// filter category and lists the entries that the classes root holds under
// "CLSID\{083863F1-70DE-11D0-BD40-00A0C911CE86}\Instance", read afresh at every
// CreateClassEnumerator; any other category is empty (S_FALSE).
#pragma once

#include "platform/media/DevEnum.h"

namespace media {

class TDeviceEnumerator : public TComObject<ICreateDevEnum> {
public:
    // The class creator that CoCreateInstance uses.
    static HRESULT Create(REFIID riid, void** object);

    HRESULT CreateClassEnumerator(REFCLSID category, IEnumMoniker** enumerator, DWORD flags) override;
};

} // namespace media
