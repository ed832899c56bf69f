// Failure switches of the media layer, for tests.
//
// Each creation and each call that the program tests for failure asks
// Faults::Check at its start; a matching rule makes it return the rule's
// result instead of doing its work (an out-argument is left as the call
// would leave it on that failure). A rule matches a point and, when it has a
// qualifier, only calls with that qualifier:
//   Create            the class: "FilterGraph", "VideoMixingRenderer9",
//                     "DSoundRender", "InfTee", "AVIDec", "Colour",
//                     "ffdshow Video Decoder", "ffdshow Audio Decoder"
//   QueryInterface    the interface, as "IMediaControl", "IVMRFilterConfig9"
//                     (asked of the graph or of the video renderer)
//   AddFilter         the name the filter is added under
//   AddSourceFilter   the name the source is added under (the path when none)
//   RemoveFilter, EnumPins, QueryFilterInfo   the filter's name in its graph
//   FindFilterByName  the name asked for;  FindPin  the pin id asked for
//   ConnectDirect     the output pin's name
//   Disconnect, ConnectedTo, QueryPinInfo, EnumMediaTypes   the pin's name
//   the others        no qualifier
// A success code as the result (VFW_S_STATE_INTERMEDIATE for GetState) makes
// GetState answer the state with that code; elsewhere results are failures.
// Rules are global and thread-safe; Clear() removes them all (tests do it in
// their fixture). With no rule every call does its real work.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win/Types.h"

namespace media {

enum class Fault {
    Create,
    QueryInterface,
    // graph manager
    AddFilter,
    RemoveFilter,
    AddSourceFilter,
    ConnectDirect,
    Disconnect,
    EnumFilters,
    FindFilterByName,
    // filters and pins
    EnumPins,
    FindPin,
    QueryFilterInfo,
    QueryPinInfo,
    ConnectedTo,
    EnumMediaTypes,
    // IMediaControl
    Run,
    Pause,
    Stop,
    StopWhenReady,
    GetState,
    // IMediaSeeking
    SetPositions,
    GetCurrentPosition,
    GetDuration,
    SetRate,
    // IMediaEventEx
    SetNotifyWindow,
    GetEvent,
    // IBasicAudio
    PutVolume,
    GetVolume,
    // the video renderer
    SetRenderingMode,
    SetVideoClippingWindow,
    SetBorderColor,
    SetAspectRatioMode,
    SetVideoPosition,
    GetVideoPosition,
    GetNativeVideoSize,
    RepaintVideo,
    GetCurrentImage,
};

// Name of a point, as the tests print it ("AddFilter").
const char* FaultName(Fault f);

class Faults {
public:
    // From now on calls of `point` (with `qualifier`, when it is not empty)
    // fail with `result`: after `skip` calls that still succeed, `times`
    // failures (negative: every call from then on).
    static void Fail(Fault point, win::HRESULT result, std::u16string_view qualifier = {}, int skip = 0,
                     int times = -1);
    static void Clear();

    // Used by the layer: the result to fail with, or nullopt to go on.
    // Every check is counted, whether or not it fails.
    static std::optional<win::HRESULT> Check(Fault point, std::u16string_view qualifier = {});

    // How often `point` was checked (with that qualifier, when not empty)
    // since the last Clear().
    static int Calls(Fault point, std::u16string_view qualifier = {});
};

} // namespace media
