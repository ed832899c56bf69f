#include "platform/media/Pin.h"

#include <cstring>

#include "platform/media/Enumerator.h"
#include "platform/media/Faults.h"

namespace media::detail {

void CopyName(char16_t* dst, std::size_t capacity, const std::u16string& text)
{
    std::size_t n = text.size() < capacity ? text.size() : capacity - 1;
    std::memcpy(dst, text.data(), n * sizeof(char16_t));
    dst[n] = 0;
}

char16_t* TaskMemString(const std::u16string& text)
{
    auto* s = static_cast<char16_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(char16_t)));
    if (s == nullptr)
        return nullptr;
    std::memcpy(s, text.data(), text.size() * sizeof(char16_t));
    s[text.size()] = 0;
    return s;
}

Pin::Pin(PinHost& host, std::u16string name, PIN_DIRECTION direction)
    : host_(host), name_(std::move(name)), direction_(direction)
{
}

Pin::~Pin() { ReleasePeerSilently(); }

ULONG Pin::AddRef() { return host_.HostFilter()->AddRef(); }
ULONG Pin::Release() { return host_.HostFilter()->Release(); }

Pin* Pin::From(IPin* pin) { return dynamic_cast<Pin*>(pin); }

void Pin::SetPeer(Pin* peer, const MediaTypeValue& type)
{
    peer->AddRef();
    peer_ = peer;
    type_ = type;
    host_.Connected(*this);
}

bool Pin::ChangeType(const MediaTypeValue& type)
{
    if (peer_ == nullptr || direction_ != PINDIR_OUTPUT || type == type_)
        return true;
    if (!peer_->host_.Accepts(*peer_, type))
        return false;
    type_ = type;
    if (peer_->peer_ == this) {
        peer_->type_ = type;
        peer_->host_.TypeChanged(*peer_);
    }
    return true;
}

void Pin::Break()
{
    if (peer_ == nullptr)
        return;
    Pin* old = peer_;
    peer_ = nullptr;
    type_ = MediaTypeValue{};
    // Keep the filter alive while the host reacts, then let the peer go
    // (which may end the peer's filter).
    host_.Disconnected(*this);
    old->Release();
}

void Pin::ReleasePeerSilently()
{
    if (Pin* old = peer_) {
        peer_ = nullptr;
        old->Release();
    }
}

HRESULT Pin::Connect(IPin* receiver, const AM_MEDIA_TYPE* mt)
{
    if (direction_ != PINDIR_OUTPUT)
        return E_UNEXPECTED;
    if (receiver == nullptr)
        return E_POINTER;
    if (peer_ != nullptr)
        return VFW_E_ALREADY_CONNECTED;
    if (host_.HostState() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    Pin* in = From(receiver);
    if (in == nullptr)
        return E_INVALIDARG;
    if (in->peer_ != nullptr)
        return VFW_E_ALREADY_CONNECTED;
    if (in->direction_ != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (&in->host_ == &host_)
        return VFW_E_CIRCULAR_GRAPH;
    HRESULT hr = host_.CheckConnect(*this);
    if (FAILED(hr))
        return hr;

    MediaTypeValue wanted;
    if (mt != nullptr && !MediaTypeValue::From(mt, wanted))
        return E_POINTER;
    for (const MediaTypeValue& offered : host_.OfferedTypes(*this)) {
        if (mt != nullptr && !offered.Matches(wanted))
            continue;
        AM_MEDIA_TYPE am;
        if (FAILED(offered.To(am))) {
            FreeMediaType(am);
            return E_OUTOFMEMORY;
        }
        hr = in->ReceiveConnection(this, &am);
        FreeMediaType(am);
        if (hr == S_OK) {
            SetPeer(in, offered);
            return S_OK;
        }
    }
    return mt != nullptr ? VFW_E_TYPE_NOT_ACCEPTED : VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT Pin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt)
{
    if (direction_ != PINDIR_INPUT)
        return E_UNEXPECTED;
    if (connector == nullptr || mt == nullptr)
        return E_POINTER;
    if (peer_ != nullptr)
        return VFW_E_ALREADY_CONNECTED;
    if (host_.HostState() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    Pin* out = From(connector);
    if (out == nullptr)
        return E_INVALIDARG;
    MediaTypeValue type;
    if (!MediaTypeValue::From(mt, type))
        return E_POINTER;
    if (!host_.Accepts(*this, type))
        return VFW_E_TYPE_NOT_ACCEPTED;
    SetPeer(out, type);
    return S_OK;
}

HRESULT Pin::Disconnect()
{
    if (auto f = Faults::Check(Fault::Disconnect, name_))
        return *f;
    if (peer_ == nullptr)
        return S_FALSE;
    if (host_.HostState() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    Break();
    return S_OK;
}

HRESULT Pin::ConnectedTo(IPin** peer)
{
    if (peer == nullptr)
        return E_POINTER;
    *peer = nullptr;
    if (auto f = Faults::Check(Fault::ConnectedTo, name_))
        return *f;
    if (peer_ == nullptr)
        return VFW_E_NOT_CONNECTED;
    peer_->AddRef();
    *peer = peer_;
    return S_OK;
}

HRESULT Pin::ConnectionMediaType(AM_MEDIA_TYPE* mt)
{
    if (mt == nullptr)
        return E_POINTER;
    std::memset(mt, 0, sizeof *mt);
    if (peer_ == nullptr)
        return VFW_E_NOT_CONNECTED;
    HRESULT hr = type_.To(*mt);
    if (FAILED(hr))
        FreeMediaType(*mt);
    return hr;
}

HRESULT Pin::QueryPinInfo(PIN_INFO* info)
{
    if (info == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::QueryPinInfo, name_))
        return *f;
    info->pFilter = host_.HostFilter();
    info->pFilter->AddRef();
    info->dir = direction_;
    CopyName(info->achName, MAX_PIN_NAME, name_);
    return S_OK;
}

HRESULT Pin::QueryDirection(PIN_DIRECTION* dir)
{
    if (dir == nullptr)
        return E_POINTER;
    *dir = direction_;
    return S_OK;
}

HRESULT Pin::QueryId(char16_t** id)
{
    if (id == nullptr)
        return E_POINTER;
    *id = TaskMemString(name_);
    return *id != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Pin::QueryAccept(const AM_MEDIA_TYPE* mt)
{
    MediaTypeValue type;
    if (!MediaTypeValue::From(mt, type))
        return E_POINTER;
    if (direction_ == PINDIR_INPUT)
        return host_.Accepts(*this, type) ? S_OK : S_FALSE;
    for (const MediaTypeValue& offered : host_.OfferedTypes(*this))
        if (offered == type)
            return S_OK;
    return S_FALSE;
}

HRESULT Pin::EnumMediaTypes(IEnumMediaTypes** e)
{
    if (e == nullptr)
        return E_POINTER;
    *e = nullptr;
    if (auto f = Faults::Check(Fault::EnumMediaTypes, name_))
        return *f;
    std::vector<MediaTypeValue> types;
    if (direction_ == PINDIR_OUTPUT)
        types = host_.OfferedTypes(*this);
    *e = MediaTypeEnumerator::Make(std::move(types));
    return S_OK;
}

} // namespace media::detail
