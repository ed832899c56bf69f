#include "platform/media/InterfaceNames.h"

#include <optional>

#include "platform/media/ControlInterfaces.h"
#include "platform/media/Faults.h"
#include "platform/media/Vmr9Interfaces.h"

namespace media::detail {

std::u16string_view InterfaceName(REFIID riid)
{
    struct Name {
        const IID* iid;
        const char16_t* name;
    };
    static const Name names[] = {
        {&IID_IUnknown, u"IUnknown"},
        {&IID_IFilterGraph, u"IFilterGraph"},
        {&IID_IGraphBuilder, u"IGraphBuilder"},
        {&IID_IMediaControl, u"IMediaControl"},
        {&IID_IMediaSeeking, u"IMediaSeeking"},
        {&IID_IMediaEvent, u"IMediaEvent"},
        {&IID_IMediaEventEx, u"IMediaEventEx"},
        {&IID_IBasicAudio, u"IBasicAudio"},
        {&IID_IBasicVideo, u"IBasicVideo"},
        {&IID_IMediaPosition, u"IMediaPosition"},
        {&IID_IBaseFilter, u"IBaseFilter"},
        {&IID_IMediaFilter, u"IMediaFilter"},
        {&IID_IPin, u"IPin"},
        {&IID_IVMRFilterConfig9, u"IVMRFilterConfig9"},
        {&IID_IVMRWindowlessControl9, u"IVMRWindowlessControl9"},
    };
    for (const Name& n : names)
        if (*n.iid == riid)
            return n.name;
    return {};
}

std::optional<HRESULT> QueryInterfaceFault(REFIID riid, void** object)
{
    std::u16string_view name = InterfaceName(riid);
    if (name.empty())
        return std::nullopt;
    std::optional<HRESULT> f = Faults::Check(Fault::QueryInterface, name);
    if (f && object != nullptr)
        *object = nullptr;
    return f;
}

} // namespace media::detail
