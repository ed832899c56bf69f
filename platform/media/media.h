// The media layer: the filter graph and its filters, the filter registry and
// the device enumerator, the frame source and presenter seams, and the
// failure switches for tests.
#pragma once

#include "platform/media/Unknown.h"
#include "platform/media/ClassFactory.h"
#include "platform/media/DevEnum.h"
#include "platform/media/FfdshowClasses.h"
#include "platform/media/Vfw.h"
#include "platform/media/MediaType.h"
#include "platform/media/FilterClasses.h"
#include "platform/media/FilterInterfaces.h"
#include "platform/media/ControlInterfaces.h"
#include "platform/media/Vmr9Interfaces.h"
#include "platform/media/AsfHeader.h"
#include "platform/media/SourceStream.h"
#include "platform/media/FrameSource.h"
#include "platform/media/SoundOutput.h"
#include "platform/media/VideoPresenter.h"
#include "platform/media/VideoRendererState.h"
#include "platform/media/MediaClasses.h"
#include "platform/media/Faults.h"

namespace media::detail {
// Every program that includes the layer has its classes registered before
// main runs.
inline const bool kMediaClassesRegistered = RegisterMediaClasses();
} // namespace media::detail

using namespace media;
