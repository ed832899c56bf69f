#include "platform/media/FilterBase.h"

#include "platform/media/Enumerator.h"
#include "platform/media/Faults.h"
#include "platform/media/FilterGraph.h"

namespace media::detail {

FilterBase::FilterBase(const CLSID& clsid, std::u16string vendorName) : clsid_(clsid), vendor_(std::move(vendorName)) {}

FilterBase::~FilterBase()
{
    for (auto& pin : pins_)
        pin->ReleasePeerSilently();
}

void* FilterBase::FindInterface(REFIID riid)
{
    if (riid == IID_IMediaFilter)
        return static_cast<IMediaFilter*>(this);
    if (void* extra = ExtraInterface(riid))
        return extra;
    return TComObject<IBaseFilter>::FindInterface(riid);
}

FilterBase* FilterBase::From(IUnknown* filter) { return dynamic_cast<FilterBase*>(filter); }

Pin& FilterBase::AddPin(std::u16string name, PIN_DIRECTION direction)
{
    pins_.push_back(std::make_unique<Pin>(*this, std::move(name), direction));
    return *pins_.back();
}

Pin* FilterBase::PinByName(std::u16string_view name) const
{
    for (const auto& pin : pins_)
        if (pin->Name() == name)
            return pin.get();
    return nullptr;
}

void FilterBase::BreakAllConnections()
{
    for (std::size_t i = 0; i < pins_.size(); ++i) {
        Pin* pin = pins_[i].get();
        if (Pin* peer = pin->Peer())
            if (peer->Peer() == pin)
                peer->Break();
        pin->Break();
    }
}

const SourceStream* FilterBase::StreamAt(const Pin&, int depth) const
{
    for (const auto& pin : pins_)
        if (pin->Direction() == PINDIR_INPUT)
            return StreamReaching(*pin, depth + 1);
    return nullptr;
}

const SourceStream* FilterBase::StreamReaching(const Pin& input, int depth)
{
    if (depth > 64)
        return nullptr;
    Pin* peer = input.Peer();
    if (peer == nullptr)
        return nullptr;
    FilterBase* upstream = From(peer->Host().HostFilter());
    return upstream != nullptr ? upstream->StreamAt(*peer, depth) : nullptr;
}

HRESULT FilterBase::GetClassID(CLSID* clsid)
{
    if (clsid == nullptr)
        return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT FilterBase::Stop()
{
    state_ = State_Stopped;
    StateChanged(state_);
    return S_OK;
}

HRESULT FilterBase::Pause()
{
    state_ = State_Paused;
    StateChanged(state_);
    return S_OK;
}

HRESULT FilterBase::Run(REFERENCE_TIME)
{
    state_ = State_Running;
    StateChanged(state_);
    return S_OK;
}

HRESULT FilterBase::GetState(DWORD, FILTER_STATE* state)
{
    if (state == nullptr)
        return E_POINTER;
    *state = state_;
    return S_OK;
}

HRESULT FilterBase::EnumPins(IEnumPins** e)
{
    if (e == nullptr)
        return E_POINTER;
    *e = nullptr;
    if (auto f = Faults::Check(Fault::EnumPins, name_))
        return *f;
    std::vector<ComPtr<IPin>> pins;
    pins.reserve(pins_.size());
    for (const auto& pin : pins_)
        pins.push_back(ComPtr<IPin>::Copy(pin.get()));
    *e = PinEnumerator::Make(std::move(pins));
    return S_OK;
}

HRESULT FilterBase::FindPin(const char16_t* id, IPin** pin)
{
    if (id == nullptr || pin == nullptr)
        return E_POINTER;
    *pin = nullptr;
    if (auto f = Faults::Check(Fault::FindPin, id))
        return *f;
    Pin* found = PinByName(id);
    if (found == nullptr)
        return VFW_E_NOT_FOUND;
    found->AddRef();
    *pin = found;
    return S_OK;
}

HRESULT FilterBase::QueryFilterInfo(FILTER_INFO* info)
{
    if (info == nullptr)
        return E_POINTER;
    if (auto f = Faults::Check(Fault::QueryFilterInfo, name_))
        return *f;
    CopyName(info->achName, MAX_FILTER_NAME, name_);
    info->pGraph = graphInterface_;
    if (info->pGraph != nullptr)
        info->pGraph->AddRef();
    return S_OK;
}

HRESULT FilterBase::JoinFilterGraph(IFilterGraph* graph, const char16_t* name)
{
    if (graph != nullptr) {
        FilterGraph* ours = FilterGraph::From(graph);
        if (ours == nullptr)
            return E_INVALIDARG;
        if (graph_ != nullptr && graph_ != ours)
            return VFW_E_WRONG_STATE;
        graph_ = ours;
        graphInterface_ = graph;
        name_ = name != nullptr ? name : u"";
    } else {
        graph_ = nullptr;
        graphInterface_ = nullptr;
        name_.clear();
    }
    return S_OK;
}

HRESULT FilterBase::QueryVendorInfo(char16_t** info)
{
    if (info == nullptr)
        return E_POINTER;
    *info = TaskMemString(vendor_);
    return *info != nullptr ? S_OK : E_OUTOFMEMORY;
}

} // namespace media::detail
