// Putting one file at a time into the graph, the fixed filter chain, and the
// graph's run state with the play-state message to the main window.
#include "playback/VideoView.h"

#include "app/Common.h"
#include "app/Globals.h"
#include "playback/PlayLog.h"
#include "platform/win/Files.h"
#include "tracks/GPSData.h"

#include <cstdio>
#include <cstdlib>

using namespace playback;
using media::HRESULT;

std::int32_t PlayState = 0;
std::int64_t MediaDuration = 0;

namespace {

// One link of the chain: which filter's pin to which, and the log text when
// it cannot be made.
struct ChainLink {
    media::IBaseFilter* TPlayControl::*from; // null: the source
    const char16_t* output;
    media::IBaseFilter* TPlayControl::*to;
    const char16_t* input;
    const char16_t* failure;
};

const ChainLink kVideoChain[] = {
    {nullptr, u"Raw Video 0", &TPlayControl::VideoDecoder, u"In", u"ASF to Codec ConnectError [main]"},
    {&TPlayControl::VideoDecoder, u"Out", &TPlayControl::PinTee, u"Input", u"FFDSHOW to INFTEE ConnectError[main]"},
    {&TPlayControl::PinTee, u"Output1", &TPlayControl::AviDecompressor, u"XForm In",
     u"INFTEE to AVICOMP ConnectError[main]"},
    {&TPlayControl::AviDecompressor, u"XForm Out", &TPlayControl::ColourConverter, u"Input",
     u"AVICOMP to COLORCNV ConnectError[main]"},
    {&TPlayControl::ColourConverter, u"XForm Out", &TPlayControl::VmrFilter, u"VMR Input0",
     u"COLORCNV to VMR ConnectError [main]"},
};

const ChainLink kAudioChain[] = {
    {nullptr, u"Raw Audio 1", &TPlayControl::AudioDecoder, u"In", u"ASF to AudioDecoder ConnectError [main]"},
    {&TPlayControl::AudioDecoder, u"Out", &TPlayControl::SoundRenderer, u"Audio Input pin (rendered)",
     u"AudioDecoder to Render ConnectError [main]"},
};

} // namespace

void TPlayControl::DropSource()
{
    if (MediaControl != nullptr)
        MediaControl->Stop();
    if (SourceFilter != nullptr) {
        if (Graph != nullptr)
            Graph->RemoveFilter(SourceFilter);
        media::IBaseFilter* source = SourceFilter;
        SourceFilter = nullptr;
        source->Release();
    }
}

HRESULT TPlayControl::SeekTo(std::int64_t position)
{
    if (!IsDriveReady(ProgramDrive) || MediaSeeking == nullptr)
        return media::S_OK;
    media::LONGLONG current = position;
    return MediaSeeking->SetPositions(&current, media::AM_SEEKING_AbsolutePositioning, nullptr,
                                      media::AM_SEEKING_NoPositioning);
}

HRESULT TPlayControl::RenderWMFile(const UnicodeString& path)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return media::E_FAIL;
        if (!win::FileExists(path)) {
            DropSource();
            return PLAY_E_FILE_MISSING;
        }
        if (MediaControl == nullptr || Graph == nullptr)
            return media::S_OK;
        DropSource();
        Graph->AddSourceFilter(path.c_str(), u"ASF Reader", &SourceFilter);
        if (SourceFilter == nullptr) {
            Rendered = 0;
            return PLAY_E_NO_SOURCE;
        }
        HRESULT hr = RenderOutputPins(Graph, SourceFilter);
        Rendered = 1;
        FrameTime = DefaultFrameTime;
        return hr;
    } catch (Exception& e) {
        if (SourceFilter != nullptr) {
            if (Graph != nullptr)
                Graph->RemoveFilter(SourceFilter);
            media::IBaseFilter* source = SourceFilter;
            SourceFilter = nullptr;
            source->Release();
        }
        Rendered = 0;
        LogException(u"TPlayControl::RenderWMFile", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::RenderOutputPins(media::IGraphBuilder* graph, media::IBaseFilter* source)
{
    if (!IsDriveReady(ProgramDrive))
        return media::E_FAIL;
    auto connect = [&](const ChainLink& link) {
        media::IBaseFilter* from = link.from ? this->*link.from : source;
        return ConnectFiltersByName(graph, from, link.output, this->*link.to, link.input, nullptr);
    };
    for (const ChainLink& link : kVideoChain) {
        HRESULT hr = connect(link);
        if (media::FAILED(hr)) {
            LogError(UnicodeString(u"TPlayControl::RenderOutputPins ERROR:") + link.failure);
            return hr;
        }
    }
    if (SoundRenderer == nullptr)
        return media::S_OK;
    // A recording without a working sound path still plays its video.
    for (const ChainLink& link : kAudioChain)
        if (media::FAILED(connect(link)))
            LogError(link.failure);
    return media::S_OK;
}

HRESULT TPlayControl::RenderDummyFile(const UnicodeString& path)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return media::E_FAIL;
        Rendered = 0;
        if (MediaControl == nullptr || Graph == nullptr)
            return media::S_OK;
        DropSource();
        Graph->AddSourceFilter(path.c_str(), u"ASF Reader", &SourceFilter);
        return RenderOutputPins(Graph, SourceFilter);
    } catch (Exception& e) {
        if (SourceFilter != nullptr) {
            if (Graph != nullptr)
                Graph->RemoveFilter(SourceFilter);
            media::IBaseFilter* source = SourceFilter;
            SourceFilter = nullptr;
            source->Release();
        }
        LogException(u"TPlayControl::RenderDummyFile", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::PrepareDummyMedia()
{
    try {
        const UnicodeString path = DummyFilePath();
        LoadedPath = UnicodeString();
        if (!IsDriveReady(ProgramDrive) || MediaControl == nullptr)
            return media::S_OK;
        HRESULT hr = RenderDummyFile(path);
        if (media::FAILED(hr))
            return hr;
        MediaDuration = 0;
        hr = SeekTo(0);
        MediaControl->StopWhenReady();
        return hr;
    } catch (Exception& e) {
        LogException(u"TPlayControl::PrepareDummyMedia", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::PrepareMedia(const UnicodeString& path)
{
    try {
        LoadedPath = UnicodeString();
        if (!IsDriveReady(ProgramDrive) || MediaControl == nullptr)
            return media::S_OK;
        HRESULT hr = RenderWMFile(path);
        if (media::FAILED(hr))
            return hr;
        FileOpened = 1;
        MediaDuration = 0;
        media::LONGLONG duration = 0;
        if (MediaSeeking != nullptr && media::SUCCEEDED(MediaSeeking->GetDuration(&duration)))
            MediaDuration = duration;
        MediaControl->StopWhenReady();
        std::int64_t target = 0;
        if (StartAtEnd) {
            target = MediaDuration - static_cast<std::int64_t>(FrameTime);
            if (target < 0)
                target = 0;
        }
        hr = SeekTo(target);
        MediaControl->StopWhenReady();
        LoadedPath = path;
        // For tools/starttime, which times the start up to the first
        // recording of the card cued (the list's first row, after the scan).
        static bool marked = false;
        if (!marked && std::getenv("VELMORASTINE_CUE_MARK") != nullptr) {
            marked = true;
            std::fputs("velmorastine: cued\n", stderr);
        }
        return hr;
    } catch (Exception& e) {
        LogException(u"TPlayControl::PrepareMedia", e);
        return media::E_FAIL;
    }
}

bool TPlayControl::TracksBelongToLoad() const
{
    return GInfo != nullptr && !LoadedPath.IsEmpty() && GInfo->FilePath == LoadedPath;
}

HRESULT TPlayControl::RunMedia()
{
    try {
        if (!IsDriveReady(ProgramDrive) || MediaControl == nullptr)
            return media::E_FAIL;
        if (MediaDuration > 0 && MediaSeeking != nullptr) {
            // Only a position the graph gave is sought again.
            media::LONGLONG position = 0;
            if (media::SUCCEEDED(MediaSeeking->GetCurrentPosition(&position)))
                SeekTo(position);
        }
        HRESULT hr = MediaControl->Run();
        if (media::FAILED(hr)) {
            RetailOutput("TPlayControl::RunMedia Error (%08lx)!\r\n",
                         static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
            return hr;
        }
        PlayState = 2;
        PostPlayState(1);
        return hr;
    } catch (Exception& e) {
        LogException(u"TPlayControl::RunMedia", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::StopMedia()
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return media::E_FAIL;
        if (MediaControl == nullptr || PlayState == 0)
            return media::S_OK;
        HRESULT hr = MediaControl->Stop();
        if (media::FAILED(hr)) {
            RetailOutput("StopMedia Error (%08lx)!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
            return hr;
        }
        PlayState = 0;
        PostPlayState(0);
        return hr;
    } catch (Exception& e) {
        LogException(u"TPlayControl::StopMedia", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::PauseMedia()
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return media::E_FAIL;
        PostPlayState(0);
        if (MediaControl == nullptr || PlayState != 2)
            return media::S_OK;
        HRESULT hr = MediaControl->Pause();
        if (media::SUCCEEDED(hr))
            PlayState = 1;
        else
            RetailOutput("PauseMedia Error (%08lx)!\r\n", static_cast<unsigned long>(static_cast<std::uint32_t>(hr)));
        return hr;
    } catch (Exception& e) {
        LogException(u"TPlayControl::PauseMedia", e);
        return media::E_FAIL;
    }
}
