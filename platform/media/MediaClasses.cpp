#include "platform/media/MediaClasses.h"

#include "platform/media/ClassFactory.h"
#include "platform/media/FfdshowClasses.h"
#include "platform/media/FilterGraph.h"
#include "platform/media/InfinitePinTee.h"
#include "platform/media/SoundRenderer.h"
#include "platform/media/TransformFilter.h"
#include "platform/media/VideoRenderer.h"

namespace media {

bool RegisterMediaClasses()
{
    RegisterClassCreator(CLSID_FilterGraph, &detail::FilterGraph::Create);
    RegisterClassCreator(CLSID_VideoMixingRenderer9, &detail::VideoRenderer::Create);
    RegisterClassCreator(CLSID_DSoundRender, &detail::SoundRenderer::Create);
    RegisterClassCreator(CLSID_InfTee, &detail::InfinitePinTee::Create);
    RegisterClassCreator(CLSID_AVIDec, &detail::TransformFilter::CreateAviDecompressor);
    RegisterClassCreator(CLSID_Colour, &detail::TransformFilter::CreateColourConverter);
    RegisterClassCreator(CLSID_FfdshowVideoDecoder, &detail::TransformFilter::CreateFfdshowVideo);
    RegisterClassCreator(CLSID_FfdshowAudioDecoder, &detail::TransformFilter::CreateFfdshowAudio);
    return true;
}

} // namespace media
