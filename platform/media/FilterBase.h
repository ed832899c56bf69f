// The shared core of the layer's filters: name and graph, run state, pins,
// IBaseFilter. A filter adds its pins in its constructor and answers the
// PinHost questions (offered and accepted types) for them. Extra interfaces
// are facets (ComFacet) whose references are the filter's.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/ControlInterfaces.h"
#include "platform/media/FilterInterfaces.h"
#include "platform/media/Pin.h"
#include "platform/media/SourceStream.h"

namespace media::detail {

class FilterGraph;

// An interface implemented by a member object whose references and
// QueryInterface are its owner's.
template <class I>
class ComFacet : public I {
public:
    explicit ComFacet(IUnknown& owner) : owner_(owner) {}
    ComFacet(const ComFacet&) = delete;
    ComFacet& operator=(const ComFacet&) = delete;
    HRESULT QueryInterface(REFIID riid, void** object) override { return owner_.QueryInterface(riid, object); }
    ULONG AddRef() override { return owner_.AddRef(); }
    ULONG Release() override { return owner_.Release(); }

protected:
    IUnknown& owner_;
};

class FilterBase : public TComObject<IBaseFilter>, public PinHost {
public:
    FilterBase(const CLSID& clsid, std::u16string vendorName);

    // IMediaFilter
    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD msTimeout, FILTER_STATE* state) override;
    // IBaseFilter
    HRESULT EnumPins(IEnumPins** e) override;
    HRESULT FindPin(const char16_t* id, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, const char16_t* name) override;
    HRESULT QueryVendorInfo(char16_t** info) override;

    // PinHost
    IBaseFilter* HostFilter() override { return this; }
    FILTER_STATE HostState() const override { return state_; }
    FilterGraph* HostGraph() const override { return graph_; }

    // One of ours, or null for a foreign filter.
    static FilterBase* From(IUnknown* filter);

    const std::vector<std::unique_ptr<Pin>>& Pins() const { return pins_; }
    Pin* PinByName(std::u16string_view name) const;
    const std::u16string& Name() const { return name_; }
    const CLSID& ClassId() const { return clsid_; }

    // Breaks the connections of every pin on both ends (graph manager use).
    void BreakAllConnections();

    // The recording's stream that reaches `output` through the filters
    // upstream, or null. Sources answer for their own pins; the others ask
    // upstream of their first input pin. `depth` stops a looped graph.
    virtual const SourceStream* StreamAt(const Pin& output, int depth) const;
    // A source with a connected output: its duration (100 ns). The graph
    // seeks only when some source answers.
    virtual bool SourceDuration(REFERENCE_TIME&) const { return false; }
    virtual bool IsSource() const { return false; }
    // Renderers: the native video size, or false without connected video.
    virtual bool NativeVideoSize(LONG&, LONG&) const { return false; }
    // Sound renderers: their IBasicAudio (no new reference), or null.
    virtual IBasicAudio* Audio() { return nullptr; }
    // The graph shows the frame at `position` (renderers draw it).
    virtual void Present(REFERENCE_TIME) {}
    // Renderers that show each frame as it comes: the time between frames
    // (100 ns), for which a running graph ticks; 0 for none.
    virtual REFERENCE_TIME FrameTick() const { return 0; }

protected:
    ~FilterBase() override;
    void* FindInterface(REFIID riid) override;
    // Interfaces a filter adds (its facets); null when it has none for riid.
    virtual void* ExtraInterface(REFIID) { return nullptr; }
    // The state changes, after the state is set.
    virtual void StateChanged(FILTER_STATE) {}

    Pin& AddPin(std::u16string name, PIN_DIRECTION direction);
    // The stream reaching an input pin, from its upstream peer.
    static const SourceStream* StreamReaching(const Pin& input, int depth);

private:
    CLSID clsid_;
    std::u16string vendor_;
    std::u16string name_;
    FilterGraph* graph_ = nullptr; // not referenced, as the platform does it
    IFilterGraph* graphInterface_ = nullptr;
    FILTER_STATE state_ = State_Stopped;
    std::vector<std::unique_ptr<Pin>> pins_;
};

} // namespace media::detail
