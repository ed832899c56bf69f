#include "platform/media/InfinitePinTee.h"

#include <string>

#include "platform/media/TransformFilter.h"
#include "platform/media/Vmr9Interfaces.h"

namespace media::detail {

InfinitePinTee::InfinitePinTee() : FilterBase(CLSID_InfTee, u"Velmorastine media layer")
{
    input_ = &AddPin(u"Input", PINDIR_INPUT);
    AddPin(u"Output1", PINDIR_OUTPUT);
}

HRESULT InfinitePinTee::Create(REFIID riid, void** object)
{
    return CreateFilter(u"InfTee", riid, object, [] { return static_cast<IBaseFilter*>(new InfinitePinTee()); });
}

HRESULT InfinitePinTee::CheckConnect(const Pin& pin)
{
    if (pin.Direction() == PINDIR_OUTPUT && !input_->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return S_OK;
}

std::vector<MediaTypeValue> InfinitePinTee::OfferedTypes(const Pin& pin)
{
    if (pin.Direction() != PINDIR_OUTPUT || !input_->IsConnected())
        return {};
    return {input_->Type()};
}

bool InfinitePinTee::Accepts(const Pin& pin, const MediaTypeValue&) { return &pin == input_; }

void InfinitePinTee::TypeChanged(Pin& pin)
{
    if (&pin != input_)
        return;
    for (const auto& p : Pins())
        if (p->Direction() == PINDIR_OUTPUT && p->IsConnected())
            p->ChangeType(input_->Type());
}

void InfinitePinTee::Connected(Pin& pin)
{
    if (&pin == input_) {
        TypeChanged(pin);
        return;
    }
    int outputs = 0;
    for (const auto& p : Pins()) {
        if (p->Direction() != PINDIR_OUTPUT)
            continue;
        ++outputs;
        if (!p->IsConnected())
            return; // a free output is there still
    }
    std::u16string name = u"Output";
    for (char c : std::to_string(outputs + 1))
        name.push_back(static_cast<char16_t>(c));
    AddPin(name, PINDIR_OUTPUT);
}

} // namespace media::detail
