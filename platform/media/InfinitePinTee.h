// The Infinite Pin Tee: one input ("Input") taking any type, and outputs
// "Output1", "Output2", ... that offer the input's type. A new free output
// appears whenever the last free one connects; outputs refuse to connect
// while the input is free (VFW_E_NOT_CONNECTED).
#pragma once

#include "platform/media/FilterBase.h"

namespace media::detail {

class InfinitePinTee final : public FilterBase {
public:
    static HRESULT Create(REFIID riid, void** object);
    InfinitePinTee();

    HRESULT CheckConnect(const Pin& pin) override;
    std::vector<MediaTypeValue> OfferedTypes(const Pin& pin) override;
    bool Accepts(const Pin& pin, const MediaTypeValue& type) override;
    void Connected(Pin& pin) override;
    void TypeChanged(Pin& pin) override;

private:
    ~InfinitePinTee() override = default;
    Pin* input_;
};

} // namespace media::detail
