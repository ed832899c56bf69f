// The interfaces of filters, pins and the filter graph manager, with the
// records they fill. Every interface pointer an operation hands out carries
// one reference for the caller (also PIN_INFO::pFilter and
// FILTER_INFO::pGraph); every text it hands out is task memory.
#pragma once

#include "platform/media/MediaType.h"
#include "platform/media/Unknown.h"
#include "platform/media/Vfw.h"

namespace media {

struct IBaseFilter;
struct IFilterGraph;
struct IEnumMediaTypes;

inline constexpr std::size_t MAX_PIN_NAME = 128;
inline constexpr std::size_t MAX_FILTER_NAME = 128;

struct PIN_INFO {
    IBaseFilter* pFilter; // one reference for the caller
    PIN_DIRECTION dir;
    char16_t achName[MAX_PIN_NAME];
};

struct FILTER_INFO {
    char16_t achName[MAX_FILTER_NAME];
    IFilterGraph* pGraph; // one reference for the caller, null outside a graph
};

constexpr GUID QuartzIid(std::uint32_t d1)
{
    return GUID{d1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}

struct IPin : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A86891);
    // Output pins: connect to `receiver`, with `mt` or with the first type
    // both accept. Input pins answer E_UNEXPECTED.
    virtual HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) = 0;
    // Input pins: accept a connection from `connector` with `mt`.
    virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) = 0;
    // This side only: S_OK, S_FALSE when not connected, VFW_E_NOT_STOPPED
    // while the filter is not stopped.
    virtual HRESULT Disconnect() = 0;
    // S_OK and the peer (one reference), or VFW_E_NOT_CONNECTED and null.
    virtual HRESULT ConnectedTo(IPin** peer) = 0;
    // The connection's type (deep copy), or VFW_E_NOT_CONNECTED.
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO* info) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* dir) = 0;
    virtual HRESULT QueryId(char16_t** id) = 0; // task memory
    // S_OK when the pin would accept the type now, S_FALSE otherwise.
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes** e) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;
};

struct IEnumPins : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A86892);
    // S_OK when `count` pins were given, S_FALSE when fewer (the end).
    virtual HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumPins** copy) = 0;
};

struct IEnumMediaTypes : IUnknown {
    static constexpr IID iid{0x89C31040, 0x846B, 0x11CE, {0x97, 0xD3, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
    // Each type is a new record in task memory: free it with DeleteMediaType.
    virtual HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMediaTypes** copy) = 0;
};

struct IMediaFilter : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A86899);
    virtual HRESULT GetClassID(CLSID* clsid) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    virtual HRESULT GetState(DWORD msTimeout, FILTER_STATE* state) = 0;
};

struct IEnumPins;

struct IBaseFilter : IMediaFilter {
    static constexpr IID iid = QuartzIid(0x56A86895);
    virtual HRESULT EnumPins(IEnumPins** e) = 0;
    // The pin whose id (its name) is `id`: S_OK and one reference, or
    // VFW_E_NOT_FOUND and null.
    virtual HRESULT FindPin(const char16_t* id, IPin** pin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* info) = 0;
    // Called by the graph manager: the graph is not referenced by the filter.
    virtual HRESULT JoinFilterGraph(IFilterGraph* graph, const char16_t* name) = 0;
    virtual HRESULT QueryVendorInfo(char16_t** info) = 0;
};

struct IEnumFilters : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A86893);
    virtual HRESULT Next(ULONG count, IBaseFilter** filters, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFilters** copy) = 0;
};

struct IFilterGraph : IUnknown {
    static constexpr IID iid = QuartzIid(0x56A8689F);
    // E_POINTER for a null filter; a name taken already is changed (" 0001"
    // appended) and gives VFW_S_DUPLICATE_NAME, a success; a null or empty
    // name becomes "0001", "0002"... (S_OK). E_INVALIDARG for a filter that
    // is in the graph already or is not one of the layer's.
    virtual HRESULT AddFilter(IBaseFilter* filter, const char16_t* name) = 0;
    // Breaks every connection of the filter on both ends, then lets it go.
    // VFW_E_NOT_FOUND when it is not in the graph.
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    virtual HRESULT EnumFilters(IEnumFilters** e) = 0;
    virtual HRESULT FindFilterByName(const char16_t* name, IBaseFilter** filter) = 0;
    // Fails (and changes nothing) when a pin is null (E_POINTER), a pin's
    // filter is not in this graph (VFW_E_NOT_IN_GRAPH), the graph is not
    // stopped (VFW_E_NOT_STOPPED), a pin is connected
    // (VFW_E_ALREADY_CONNECTED), the directions are wrong
    // (VFW_E_INVALID_DIRECTION), both are of one filter
    // (VFW_E_CIRCULAR_GRAPH), a transform's output is asked while its input
    // is free (E_UNEXPECTED), or no type fits (VFW_E_NO_ACCEPTABLE_TYPES;
    // VFW_E_TYPE_NOT_ACCEPTED for a given type).
    virtual HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT Reconnect(IPin* pin) = 0;
    // One side only, as IPin::Disconnect; E_POINTER for null.
    virtual HRESULT Disconnect(IPin* pin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;
};

struct IGraphBuilder : IFilterGraph {
    static constexpr IID iid = QuartzIid(0x56A868A9);
    // Direct connection only (no filters are inserted).
    virtual HRESULT Connect(IPin* out, IPin* in) = 0;
    virtual HRESULT Render(IPin* out) = 0; // E_NOTIMPL
    virtual HRESULT RenderFile(const char16_t* file, const char16_t* list) = 0; // E_NOTIMPL
    // Adds a source for a Windows path under `name` (the path when null):
    // S_OK and one reference in *filter; HRESULT_FILE_NOT_FOUND for a
    // missing file, VFW_E_UNKNOWN_FILE_TYPE for a file that is not ASF,
    // VFW_E_INVALID_FILE_FORMAT for an ASF file whose header is damaged.
    virtual HRESULT AddSourceFilter(const char16_t* file, const char16_t* name, IBaseFilter** filter) = 0;
    virtual HRESULT SetLogFile(std::uintptr_t file) = 0;
    virtual HRESULT Abort() = 0;
    virtual HRESULT ShouldOperationContinue() = 0;
};

inline constexpr IID IID_IPin = IPin::iid;
inline constexpr IID IID_IEnumPins = IEnumPins::iid;
inline constexpr IID IID_IEnumMediaTypes = IEnumMediaTypes::iid;
inline constexpr IID IID_IMediaFilter = IMediaFilter::iid;
inline constexpr IID IID_IBaseFilter = IBaseFilter::iid;
inline constexpr IID IID_IEnumFilters = IEnumFilters::iid;
inline constexpr IID IID_IFilterGraph = IFilterGraph::iid;
inline constexpr IID IID_IGraphBuilder = IGraphBuilder::iid;

} // namespace media
