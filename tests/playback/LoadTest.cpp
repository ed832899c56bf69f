// Loading a recording or the blank one: the chain, the load codes, the cue.
#include "PlaybackFixture.h"

#include "platform/media/ClassFactory.h"
#include "platform/media/Faults.h"
#include "platform/media/MediaType.h"
#include "platform/media/VideoRendererState.h"
#include "tracks/GPSData.h"

using namespace media;

namespace playback_test {

namespace {

bool Connected(IPin* pin)
{
    IPin* peer = nullptr;
    HRESULT hr = pin->ConnectedTo(&peer);
    if (peer)
        peer->Release();
    return hr == S_OK;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, const char16_t* name, PIN_DIRECTION dir)
{
    ComPtr<IPin> pin;
    EXPECT_EQ(TPlayControl::GetPinByName(filter, name, dir, pin.Put()), S_OK) << rtl::Utf16ToUtf8(name);
    return pin;
}

bool ConnectedTo(IPin* a, IPin* b)
{
    ComPtr<IPin> peer;
    if (a->ConnectedTo(peer.Put()) != S_OK)
        return false;
    return peer.Get() == b;
}

} // namespace

TEST_F(PlaybackTest, ARecordingLoadsCuedOnItsFirstFrameWithSound)
{
    Build();
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_EQ(pane->Rendered, 1);
    EXPECT_EQ(pane->FileOpened, 1);
    EXPECT_EQ(pane->FrameTime, 2000000);
    EXPECT_EQ(MediaDuration, 30000000); // three seconds
    LONGLONG position = -1;
    EXPECT_EQ(pane->MediaSeeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 0);
    VideoRendererState state;
    ASSERT_TRUE(InspectVideoRenderer(pane->VmrFilter, state));
    EXPECT_TRUE(state.hasFrame);
    EXPECT_EQ(state.framePosition, 0);
    ComPtr<IPin> sound = PinOf(pane->SoundRenderer, u"Audio Input pin (rendered)", PINDIR_INPUT);
    EXPECT_TRUE(Connected(sound.Get()));
    EXPECT_EQ(PlayState, 0);
    EXPECT_TRUE(TakePlayStatePosts().empty()) << "loading posts nothing";
}

TEST_F(PlaybackTest, StartAtEndCuesOneFrameTimeBeforeTheEnd)
{
    Build();
    pane->StartAtEnd = 1;
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    LONGLONG position = -1;
    EXPECT_EQ(pane->MediaSeeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 30000000 - 2000000);
    // Shorter than a frame time: cued at 0.
    pane->FrameTime = 40000000;
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_EQ(pane->FrameTime, 2000000) << "every load sets the frame time again";
    EXPECT_EQ(pane->MediaSeeking->GetCurrentPosition(&position), S_OK);
    EXPECT_EQ(position, 30000000 - 2000000);
}

TEST_F(PlaybackTest, AMissingFileAndAFileWithoutSourceGiveTheirCodes)
{
    Build();
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    ASSERT_EQ(pane->RunMedia(), S_OK);
    TakePlayStatePosts();

    EXPECT_EQ(pane->PrepareMedia(u"E:\\DATA\\GONE.ASF"), -9900);
    EXPECT_EQ(pane->SourceFilter, nullptr) << "the previous source is out of the graph";
    OAFilterState state = -1;
    EXPECT_EQ(pane->MediaControl->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    EXPECT_EQ(PlayState, 2) << "a direct stop leaves the play state";
    EXPECT_TRUE(TakePlayStatePosts().empty());

    EXPECT_EQ(pane->PrepareMedia(kNotAsf), -9901);
    EXPECT_EQ(pane->Rendered, 0);
    EXPECT_EQ(pane->SourceFilter, nullptr);

    Faults::Fail(Fault::AddSourceFilter, E_OUTOFMEMORY, u"ASF Reader");
    EXPECT_EQ(pane->RenderWMFile(kRecording), -9901);
    Faults::Clear();

    // The blank recording is what the caller loads next.
    EXPECT_EQ(pane->PrepareDummyMedia(), S_OK);
    EXPECT_NE(pane->SourceFilter, nullptr);
    EXPECT_EQ(MediaDuration, 0);
}

TEST_F(PlaybackTest, TheFirstFailingVideoLinkEndsTheChainWithItsText)
{
    struct Row {
        Fault point;
        const char16_t* pin;
        int skip;
        const char* text;
        const char16_t* laterPin; // a pin of a later link, never looked at
    };
    // After the blank recording's load the fixed filters are linked already;
    // a link between two pins linked to each other is not connected anew, so
    // the pins are made to fail their look-up instead.
    const Row rows[] = {
        {Fault::ConnectDirect, u"Raw Video 0", 0, "ASF to Codec ConnectError [main]", u"Output1"},
        {Fault::QueryPinInfo, u"Input", 0, "FFDSHOW to INFTEE ConnectError[main]", u"XForm In"},
        {Fault::QueryPinInfo, u"XForm In", 0, "INFTEE to AVICOMP ConnectError[main]", u"VMR Input0"},
        {Fault::QueryPinInfo, u"Input", 1, "AVICOMP to COLORCNV ConnectError[main]", u"VMR Input0"},
        {Fault::QueryPinInfo, u"VMR Input0", 0, "COLORCNV to VMR ConnectError [main]", u"Raw Audio 1"},
    };
    Build();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        Faults::Clear();
        Faults::Fail(row.point, VFW_E_NO_ACCEPTABLE_TYPES, row.pin, row.skip);
        const int before = static_cast<int>(LogTexts().size());
        EXPECT_EQ(pane->PrepareMedia(kRecording), VFW_E_NO_ACCEPTABLE_TYPES);
        std::vector<std::string> texts = LogTexts();
        std::vector<std::string> errors(texts.begin() + before, texts.end());
        EXPECT_NE(
            std::find(errors.begin(), errors.end(), std::string("TPlayControl::RenderOutputPins ERROR:") + row.text),
            errors.end());
        EXPECT_EQ(Faults::Calls(Fault::QueryPinInfo, row.laterPin), 0) << "later links are not tried";
        EXPECT_EQ(pane->Rendered, 1) << "the new source stays, partly connected";
        EXPECT_NE(pane->SourceFilter, nullptr);
        Faults::Clear();
        ASSERT_EQ(pane->PrepareDummyMedia(), S_OK);
    }
}

TEST_F(PlaybackTest, AFailedDirectLinkLogsBothPinsAndTheirTypes)
{
    Build();
    Faults::Fail(Fault::ConnectDirect, VFW_E_NO_ACCEPTABLE_TYPES, u"Raw Video 0");
    const int before = static_cast<int>(LogTexts().size());
    EXPECT_EQ(pane->PrepareMedia(kRecording), VFW_E_NO_ACCEPTABLE_TYPES);
    std::vector<std::string> tagged = TaggedLog();
    std::vector<std::string> lines(tagged.begin() + before, tagged.end());
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "[Error] ConnectFiltersByName ErrorCode：05。[Raw Video 0] and [In] connect failure.");
    EXPECT_EQ(lines[1].rfind("[Debug] TEST：Output pin type [1] major[{", 0), 0u) << lines[1];
    EXPECT_NE(lines[1].find("}][Dummy]"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2].rfind("[Debug] TEST：Output pin type [1] sub[{", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("[Debug] TEST：Output pin type [1] format[{", 0), 0u) << lines[3];
    EXPECT_EQ(lines.back(), "[Error] TPlayControl::RenderOutputPins ERROR:ASF to Codec ConnectError [main]");
}

TEST_F(PlaybackTest, AudioLinksThatFailLeaveTheVideoPlaying)
{
    Build();
    Faults::Fail(Fault::ConnectDirect, VFW_E_NO_ACCEPTABLE_TYPES, u"Raw Audio 1");
    EXPECT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_EQ(CountLogged("ASF to AudioDecoder ConnectError [main]"), 1);
    EXPECT_EQ(CountLogged("AudioDecoder to Render ConnectError [main]"), 0) << "decoder and renderer still linked";
    EXPECT_EQ(pane->RunMedia(), S_OK);
}

TEST_F(PlaybackTest, WithoutAudioDecoderOrSoundRendererRecordingsStillPlay)
{
    struct Row {
        const char* name;
        Fault point;
        const char16_t* qualifier;
        std::vector<std::string> logged;
    };
    const Row rows[] = {
        {"no audio decoder",
         Fault::Create,
         u"ffdshow Audio Decoder",
         {"ffdshow Audio Decoder Initialize Error", "ASF to AudioDecoder ConnectError [main]",
          "AudioDecoder to Render ConnectError [main]"}},
        {"no sound renderer",
         Fault::Create,
         u"DSoundRender",
         {"DirectSound Initialize Error", "DirectSound Initialize Error (AddFilter)"}},
        {"renderer not added",
         Fault::AddFilter,
         u"DirectSound Audio Renderer",
         {"DirectSound Initialize Error (AddFilter)", "AudioDecoder to Render ConnectError [main]"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TearDown();
        SetUp();
        Faults::Fail(row.point, E_FAIL, row.qualifier);
        Build();
        Faults::Clear();
        application->ProcessMessages();
        EXPECT_FALSE(application->Terminated());
        EXPECT_TRUE(BoxTexts().empty());
        EXPECT_EQ(pane->PrepareMedia(kRecording), S_OK);
        EXPECT_EQ(pane->RunMedia(), S_OK);
        for (const std::string& text : row.logged)
            EXPECT_GE(CountLogged(text), 1) << text;
    }
}

TEST_F(PlaybackTest, LinkedPinsCountAsDoneOnlyWhenLinkedToEachOther)
{
    Build();
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    IBaseFilter* first = pane->SourceFilter;
    ComPtr<IPin> firstVideo = PinOf(first, u"Raw Video 0", PINDIR_OUTPUT);
    ComPtr<IPin> decoderIn = PinOf(pane->VideoDecoder, u"In", PINDIR_INPUT);
    ASSERT_TRUE(ConnectedTo(firstVideo.Get(), decoderIn.Get()));

    // Linked to each other: done, nothing connected anew.
    const int direct = Faults::Calls(Fault::ConnectDirect);
    EXPECT_EQ(
        TPlayControl::ConnectFiltersByName(pane->Graph, first, u"Raw Video 0", pane->VideoDecoder, u"In", nullptr),
        S_OK);
    EXPECT_EQ(Faults::Calls(Fault::ConnectDirect), direct);

    // A second source and a second decoder, linked to each other.
    ComPtr<IBaseFilter> second;
    ASSERT_EQ(pane->Graph->AddSourceFilter(kRecording, u"Second", second.Put()), S_OK);
    ComPtr<IBaseFilter> decoder2;
    ASSERT_TRUE(TPlayControl::AddFilterFromFriendlyName(pane->Graph, decoder2.Put(), u"ffdshow Video Decoder"));
    ASSERT_EQ(
        TPlayControl::ConnectFiltersByName(pane->Graph, second.Get(), u"Raw Video 0", decoder2.Get(), u"In", nullptr),
        S_OK);
    ComPtr<IPin> secondVideo = PinOf(second.Get(), u"Raw Video 0", PINDIR_OUTPUT);
    ComPtr<IPin> decoder2In = PinOf(decoder2.Get(), u"In", PINDIR_INPUT);

    // Both pins linked elsewhere: both and their former peers are freed, then linked.
    EXPECT_EQ(TPlayControl::ConnectFiltersByName(pane->Graph, second.Get(), u"Raw Video 0", pane->VideoDecoder, u"In",
                                                 nullptr),
              S_OK);
    EXPECT_TRUE(ConnectedTo(secondVideo.Get(), decoderIn.Get()));
    EXPECT_TRUE(ConnectedTo(decoderIn.Get(), secondVideo.Get()));
    EXPECT_FALSE(Connected(firstVideo.Get())) << "the input's former peer is free";
    EXPECT_FALSE(Connected(decoder2In.Get())) << "the output's former peer is free";

    // Half-linked: only the input linked elsewhere.
    EXPECT_EQ(
        TPlayControl::ConnectFiltersByName(pane->Graph, first, u"Raw Video 0", pane->VideoDecoder, u"In", nullptr),
        S_OK);
    EXPECT_TRUE(ConnectedTo(firstVideo.Get(), decoderIn.Get()));
    EXPECT_FALSE(Connected(secondVideo.Get()));
    pane->Graph->RemoveFilter(second.Get());
    pane->Graph->RemoveFilter(decoder2.Get());
}

TEST_F(PlaybackTest, ConnectAndPinLookUpRefuseMissingArguments)
{
    Build();
    EXPECT_EQ(TPlayControl::ConnectFiltersByName(nullptr, pane->VideoDecoder, u"Out", pane->PinTee, u"Input", nullptr),
              E_POINTER);
    EXPECT_EQ(LogTexts().back(), "ConnectFiltersByName ErrorCode：00");
    EXPECT_EQ(
        TPlayControl::ConnectFiltersByName(pane->Graph, pane->VideoDecoder, u"Nope", pane->PinTee, u"Input", nullptr),
        E_FAIL);
    EXPECT_EQ(LogTexts().back(), "ConnectFiltersByName ErrorCode：01");
    EXPECT_EQ(
        TPlayControl::ConnectFiltersByName(pane->Graph, pane->VideoDecoder, u"Out", pane->PinTee, u"Output1", nullptr),
        E_FAIL)
        << "an output pin is no input";
    EXPECT_EQ(LogTexts().back(), "ConnectFiltersByName ErrorCode：02");
    IPin* pin = reinterpret_cast<IPin*>(1);
    EXPECT_EQ(TPlayControl::GetPinByName(pane->PinTee, u"Output9", PINDIR_OUTPUT, &pin), E_FAIL);
    EXPECT_EQ(pin, nullptr);
    EXPECT_EQ(TPlayControl::GetPinByName(nullptr, u"Input", PINDIR_INPUT, &pin), E_POINTER);
}

TEST_F(PlaybackTest, TheWindowlessRendererSetUpNamesItsFailingStep)
{
    Build();
    IBaseFilter* renderer = nullptr;
    IVMRWindowlessControl9* control = nullptr;
    struct Row {
        Fault point;
        const char16_t* qualifier;
        const char* line;
    };
    const Row rows[] = {
        {Fault::Create, u"VideoMixingRenderer9", "InitializeWindowlessVMR ErrorCode:09"},
        {Fault::AddFilter, u"Video Mixing Renderer 9", "InitializeWindowlessVMR ErrorCode:03"},
        {Fault::QueryInterface, u"IVMRFilterConfig9", "InitializeWindowlessVMR ErrorCode:04"},
        {Fault::SetRenderingMode, nullptr, "InitializeWindowlessVMR ErrorCode:05"},
        {Fault::SetVideoClippingWindow, nullptr, "InitializeWindowlessVMR ErrorCode:06"},
        {Fault::SetBorderColor, nullptr, "InitializeWindowlessVMR ErrorCode:07"},
        {Fault::SetAspectRatioMode, nullptr, "InitializeWindowlessVMR ErrorCode:08"},
    };
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()),
              S_OK);
    EXPECT_EQ(TPlayControl::InitializeWindowlessVMR(nullptr, &renderer, &control, nullptr), E_POINTER);
    EXPECT_EQ(LogTexts().back(), "InitializeWindowlessVMR ErrorCode:00");
    EXPECT_EQ(TPlayControl::InitializeWindowlessVMR(graph.Get(), nullptr, &control, nullptr), E_POINTER);
    EXPECT_EQ(LogTexts().back(), "InitializeWindowlessVMR ErrorCode:01");
    EXPECT_EQ(TPlayControl::InitializeWindowlessVMR(graph.Get(), &renderer, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(LogTexts().back(), "InitializeWindowlessVMR ErrorCode:02");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        Faults::Clear();
        if (row.qualifier)
            Faults::Fail(row.point, E_UNEXPECTED, row.qualifier);
        else
            Faults::Fail(row.point, E_UNEXPECTED);
        EXPECT_EQ(TPlayControl::InitializeWindowlessVMR(graph.Get(), &renderer, &control, pane->Panel9->Handle()),
                  E_UNEXPECTED);
        EXPECT_EQ(LogTexts().back(), row.line);
        EXPECT_EQ(renderer, nullptr) << "no renderer is handed out on a failure";
    }
    Faults::Clear();
}

TEST_F(PlaybackTest, ATrackAnswerBelongsOnlyToTheRecordingLoadedLast)
{
    Build();
    pane->GInfo->FilePath = kRecording;
    EXPECT_FALSE(pane->TracksBelongToLoad());
    ASSERT_EQ(pane->PrepareMedia(kRecording), S_OK);
    EXPECT_TRUE(pane->TracksBelongToLoad());
    pane->GInfo->FilePath = u"E:\\DATA\\GONE.ASF";
    EXPECT_EQ(pane->PrepareMedia(u"E:\\DATA\\GONE.ASF"), -9900);
    EXPECT_FALSE(pane->TracksBelongToLoad()) << "the recording that failed to load has no tracks to draw";
    ASSERT_EQ(pane->PrepareDummyMedia(), S_OK);
    EXPECT_FALSE(pane->TracksBelongToLoad());
}

} // namespace playback_test
