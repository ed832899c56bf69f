// A pin of one of the layer's filters. Its references are its filter's: a
// pin handed out keeps the filter alive, as in the real platform. A
// connected pin holds one reference to its peer (so to the peer's filter);
// the graph manager breaks connections when a filter leaves the graph or
// the graph goes, which ends those cycles.
#pragma once

#include <string>
#include <vector>

#include "platform/media/FilterInterfaces.h"
#include "platform/media/MediaTypeValue.h"

namespace media::detail {

class Pin;
class FilterGraph;

// What the filter tells its pins; implemented by FilterBase.
class PinHost {
public:
    virtual IBaseFilter* HostFilter() = 0; // no new reference
    virtual FILTER_STATE HostState() const = 0;
    virtual FilterGraph* HostGraph() const = 0;
    // Before an output connects: a transform refuses while its input is free.
    virtual HRESULT CheckConnect(const Pin&) { return S_OK; }
    // The types an output pin offers now, best first.
    virtual std::vector<MediaTypeValue> OfferedTypes(const Pin&) { return {}; }
    // Whether an input pin takes `type` now.
    virtual bool Accepts(const Pin&, const MediaTypeValue&) { return false; }
    virtual void Connected(Pin&) {}
    virtual void Disconnected(Pin&) {}
    // An input's connection type was changed from upstream (a new source
    // of another picture size behind a kept chain).
    virtual void TypeChanged(Pin&) {}

protected:
    ~PinHost() = default;
};

class Pin final : public TComObject<IPin> {
public:
    Pin(PinHost& host, std::u16string name, PIN_DIRECTION direction);
    ~Pin() override;

    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** peer) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* dir) override;
    HRESULT QueryId(char16_t** id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* mt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** e) override;
    HRESULT EndOfStream() override { return S_OK; }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }
    HRESULT NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    // One of ours, or null for a foreign pin.
    static Pin* From(IPin* pin);

    const std::u16string& Name() const { return name_; }
    PIN_DIRECTION Direction() const { return direction_; }
    PinHost& Host() const { return host_; }
    Pin* Peer() const { return peer_; }
    bool IsConnected() const { return peer_ != nullptr; }
    const MediaTypeValue& Type() const { return type_; }

    // Gives both ends of this output's connection a new type, if the peer
    // takes it, and tells the peer's filter. False when it refuses.
    bool ChangeType(const MediaTypeValue& type);

    // Drops this side's connection whatever the state (graph manager use).
    void Break();
    // Drops the peer without telling the host (the host is going).
    void ReleasePeerSilently();

private:
    void SetPeer(Pin* peer, const MediaTypeValue& type);

    PinHost& host_;
    std::u16string name_;
    PIN_DIRECTION direction_;
    Pin* peer_ = nullptr; // one reference
    MediaTypeValue type_;
};

// Copies `text` into a fixed array, cut to fit, always terminated.
void CopyName(char16_t* dst, std::size_t capacity, const std::u16string& text);
// A copy of `text` in task memory (null on failure).
char16_t* TaskMemString(const std::u16string& text);

} // namespace media::detail
