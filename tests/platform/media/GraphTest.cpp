// The graph manager: lifetime by reference counts, adding and removing
// filters, and the rules of ConnectDirect and Disconnect.
#include "MediaFixture.h"

namespace media_test {
namespace {

class GraphTest : public MediaTest {};

ComPtr<IBaseFilter> Make(const CLSID& clsid)
{
    ComPtr<IBaseFilter> f;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, f.PutVoid()), S_OK);
    return f;
}

ComPtr<IGraphBuilder> MakeGraph()
{
    ComPtr<IGraphBuilder> g;
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, g.PutVoid()), S_OK);
    return g;
}

ComPtr<IPin> PeerOf(IPin* pin)
{
    ComPtr<IPin> peer;
    pin->ConnectedTo(peer.Put());
    return peer;
}

TEST_F(GraphTest, TheGraphGoesWithItsLastReferenceInTheProgramsReleaseOrder)
{
    RecordingWindow window;
    {
        ProgramGraph g;
        BuildProgramGraph(g, window.Handle());
        ASSERT_EQ(LoadRecording(g, WriteRecording("A.ASF")), S_OK);
        ComPtr<IBasicVideo> basicVideo;
        ComPtr<IMediaPosition> position;
        ASSERT_EQ(g.graph->QueryInterface(IID_IBasicVideo, basicVideo.PutVoid()), S_OK);
        ASSERT_EQ(g.graph->QueryInterface(IID_IMediaPosition, position.PutVoid()), S_OK);
        ASSERT_EQ(g.control->Run(), S_OK);
        EXPECT_GT(LiveObjectCount(), liveAtStart_);

        // The playback control's order: interfaces, filters, the graph, then
        // an interface of the graph and the renderer after it.
        g.control.Reset();
        g.seeking.Reset();
        g.windowless.Reset();
        basicVideo.Reset();
        g.audio.Reset();
        g.events.Reset();
        g.videoDecoder.Reset();
        g.audioDecoder.Reset();
        g.source.Reset();
        g.soundRenderer.Reset();
        g.tee.Reset();
        g.aviDecompressor.Reset();
        g.colour.Reset();
        g.graph.Reset();
        EXPECT_GT(LiveObjectCount(), liveAtStart_) << "IMediaPosition still holds the graph";
        position.Reset();
        EXPECT_GT(LiveObjectCount(), liveAtStart_) << "the renderer is still held";
        g.vmr.Reset();
        EXPECT_EQ(LiveObjectCount(), liveAtStart_);
    }
}

TEST_F(GraphTest, HandedOutReferencesKeepTheirObjectsAlive)
{
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IBaseFilter> tee = Make(CLSID_InfTee);
    ASSERT_EQ(graph->AddFilter(tee.Get(), u"tee"), S_OK);
    ComPtr<IPin> input = FindPin(tee.Get(), u"Input");
    ASSERT_TRUE(input);

    // Pin info and filter info each carry a reference.
    PIN_INFO pinInfo{};
    ASSERT_EQ(input->QueryPinInfo(&pinInfo), S_OK);
    EXPECT_EQ(pinInfo.pFilter, tee.Get());
    EXPECT_EQ(pinInfo.dir, PINDIR_INPUT);
    EXPECT_EQ(std::u16string(pinInfo.achName), u"Input");
    FILTER_INFO filterInfo{};
    ASSERT_EQ(tee->QueryFilterInfo(&filterInfo), S_OK);
    EXPECT_EQ(std::u16string(filterInfo.achName), u"tee");
    ASSERT_NE(filterInfo.pGraph, nullptr);

    long live = LiveObjectCount();
    graph.Reset();
    tee.Reset();
    EXPECT_EQ(LiveObjectCount(), live) << "the pin and the two infos still hold filter and graph";
    filterInfo.pGraph->Release();
    pinInfo.pFilter->Release();
    EXPECT_EQ(LiveObjectCount(), live - 1) << "the graph went; the pin still holds its filter";
    input.Reset();
    EXPECT_EQ(LiveObjectCount(), liveAtStart_);
}

TEST_F(GraphTest, AddFilterAndFindFilterByName)
{
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IBaseFilter> a = Make(CLSID_InfTee);
    ComPtr<IBaseFilter> b = Make(CLSID_InfTee);

    EXPECT_EQ(graph->AddFilter(nullptr, u"x"), E_POINTER);
    EXPECT_EQ(graph->AddFilter(a.Get(), u"Tee"), S_OK);
    EXPECT_EQ(graph->AddFilter(a.Get(), u"Again"), E_INVALIDARG) << "a filter is in a graph once";
    HRESULT dup = graph->AddFilter(b.Get(), u"Tee");
    EXPECT_EQ(dup, VFW_S_DUPLICATE_NAME);
    EXPECT_TRUE(SUCCEEDED(dup));

    FILTER_INFO info{};
    ASSERT_EQ(b->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Tee 0001");
    info.pGraph->Release();

    ComPtr<IBaseFilter> unnamed = Make(CLSID_InfTee);
    EXPECT_EQ(graph->AddFilter(unnamed.Get(), u""), S_OK);
    ASSERT_EQ(unnamed->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"0001");
    info.pGraph->Release();

    ComPtr<IBaseFilter> found;
    EXPECT_EQ(graph->FindFilterByName(u"Tee", found.Put()), S_OK);
    EXPECT_EQ(found.Get(), a.Get());
    EXPECT_EQ(graph->FindFilterByName(u"tee", found.Put()), VFW_E_NOT_FOUND) << "names match by case";
    EXPECT_EQ(found.Get(), nullptr);

    ComPtr<IEnumFilters> e;
    ASSERT_EQ(graph->EnumFilters(e.Put()), S_OK);
    IBaseFilter* listed[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(4, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 3u);
    EXPECT_EQ(listed[0], a.Get());
    EXPECT_EQ(listed[1], b.Get());
    EXPECT_EQ(listed[2], unnamed.Get());
    for (ULONG i = 0; i < fetched; ++i)
        listed[i]->Release();
}

TEST_F(GraphTest, RemoveFilterBreaksItsConnectionsOnBothEnds)
{
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IBaseFilter> source;
    ComPtr<IBaseFilter> decoder = Make(CLSID_FfdshowVideoDecoder);
    ASSERT_EQ(graph->AddFilter(decoder.Get(), u"ffdshow Video Decoder"), S_OK);
    ASSERT_EQ(graph->AddSourceFilter(WriteRecording("A.ASF").c_str(), u"ASF Reader", source.Put()), S_OK);
    ComPtr<IPin> out = FindPin(source.Get(), u"Raw Video 0");
    ComPtr<IPin> in = FindPin(decoder.Get(), u"In");
    ASSERT_EQ(graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);
    EXPECT_EQ(PeerOf(out.Get()).Get(), in.Get());
    EXPECT_EQ(PeerOf(in.Get()).Get(), out.Get());

    EXPECT_EQ(graph->RemoveFilter(nullptr), E_POINTER);
    ASSERT_EQ(graph->RemoveFilter(source.Get()), S_OK);
    EXPECT_FALSE(PeerOf(out.Get()));
    EXPECT_FALSE(PeerOf(in.Get()));
    EXPECT_EQ(graph->RemoveFilter(source.Get()), VFW_E_NOT_FOUND);
    FILTER_INFO info{};
    ASSERT_EQ(source->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);
}

TEST_F(GraphTest, ConnectDirectRules)
{
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IGraphBuilder> other = MakeGraph();
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(WriteRecording("A.ASF").c_str(), u"ASF Reader", source.Put()), S_OK);
    ComPtr<IBaseFilter> video = Make(CLSID_FfdshowVideoDecoder);
    ComPtr<IBaseFilter> audio = Make(CLSID_FfdshowAudioDecoder);
    ComPtr<IBaseFilter> tee = Make(CLSID_InfTee);
    ComPtr<IBaseFilter> avi = Make(CLSID_AVIDec);
    ComPtr<IBaseFilter> outside = Make(CLSID_AVIDec);
    ASSERT_EQ(graph->AddFilter(video.Get(), u"v"), S_OK);
    ASSERT_EQ(graph->AddFilter(audio.Get(), u"a"), S_OK);
    ASSERT_EQ(graph->AddFilter(tee.Get(), u"t"), S_OK);
    ASSERT_EQ(graph->AddFilter(avi.Get(), u"avi"), S_OK);
    ComPtr<IBaseFilter> elsewhere = Make(CLSID_AVIDec);
    ASSERT_EQ(other->AddFilter(elsewhere.Get(), u"avi"), S_OK);

    ComPtr<IPin> rawVideo = FindPin(source.Get(), u"Raw Video 0");
    ComPtr<IPin> rawAudio = FindPin(source.Get(), u"Raw Audio 1");
    ComPtr<IPin> videoIn = FindPin(video.Get(), u"In");
    ComPtr<IPin> videoOut = FindPin(video.Get(), u"Out");
    ComPtr<IPin> audioIn = FindPin(audio.Get(), u"In");
    ComPtr<IPin> teeIn = FindPin(tee.Get(), u"Input");
    ComPtr<IPin> teeOut = FindPin(tee.Get(), u"Output1");
    ComPtr<IPin> aviIn = FindPin(avi.Get(), u"XForm In");
    ComPtr<IPin> outsideIn = FindPin(outside.Get(), u"XForm In");
    ComPtr<IPin> elsewhereIn = FindPin(elsewhere.Get(), u"XForm In");
    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);

    struct Case {
        const char* name;
        IPin* out;
        IPin* in;
        HRESULT expected;
    } free[] = {
        {"null output", nullptr, videoIn.Get(), E_POINTER},
        {"null input", rawVideo.Get(), nullptr, E_POINTER},
        {"input's filter not in the graph", rawVideo.Get(), outsideIn.Get(), VFW_E_NOT_IN_GRAPH},
        {"input's filter in another graph", rawVideo.Get(), elsewhereIn.Get(), VFW_E_NOT_IN_GRAPH},
        {"directions swapped", videoIn.Get(), rawVideo.Get(), VFW_E_INVALID_DIRECTION},
        {"two inputs", videoIn.Get(), teeIn.Get(), VFW_E_INVALID_DIRECTION},
        {"one filter", videoOut.Get(), videoIn.Get(), VFW_E_CIRCULAR_GRAPH},
        {"no type fits: audio to the video decoder", rawAudio.Get(), videoIn.Get(), VFW_E_NO_ACCEPTABLE_TYPES},
        {"a transform's output while its input is free", videoOut.Get(), teeIn.Get(), E_UNEXPECTED},
        {"the tee's output while its input is free", teeOut.Get(), aviIn.Get(), VFW_E_NOT_CONNECTED},
    };
    for (const Case& c : free) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(graph->ConnectDirect(c.out, c.in, nullptr), c.expected);
        if (c.out != nullptr) {
            EXPECT_FALSE(PeerOf(c.out));
        }
        if (c.in != nullptr) {
            EXPECT_FALSE(PeerOf(c.in));
        }
    }

    // A given type must fit.
    AM_MEDIA_TYPE wrong{};
    wrong.majortype = MEDIATYPE_Audio;
    EXPECT_EQ(graph->ConnectDirect(rawVideo.Get(), videoIn.Get(), &wrong), VFW_E_TYPE_NOT_ACCEPTED);

    // Not while running.
    ASSERT_EQ(control->Run(), S_OK);
    EXPECT_EQ(graph->ConnectDirect(rawVideo.Get(), videoIn.Get(), nullptr), VFW_E_NOT_STOPPED);
    ASSERT_EQ(control->Stop(), S_OK);

    ASSERT_EQ(graph->ConnectDirect(rawVideo.Get(), videoIn.Get(), nullptr), S_OK);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(videoIn->ConnectionMediaType(&mt), S_OK);
    EXPECT_EQ(mt.majortype, MEDIATYPE_Video);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_MJPG);
    ASSERT_EQ(mt.cbFormat, sizeof(VIDEOINFOHEADER));
    EXPECT_EQ(reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader.biWidth, 320);
    FreeMediaType(mt);

    struct Case2 {
        const char* name;
        IPin* out;
        IPin* in;
    } connected[] = {
        {"the output is connected", rawVideo.Get(), audioIn.Get()},
        {"the input is connected", videoOut.Get(), videoIn.Get()},
    };
    for (const Case2& c : connected) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(graph->ConnectDirect(c.out, c.in, nullptr), VFW_E_ALREADY_CONNECTED);
    }
    EXPECT_EQ(graph->ConnectDirect(videoOut.Get(), teeIn.Get(), nullptr), S_OK) << "the input is connected now";
}

TEST_F(GraphTest, DisconnectIsOneSided)
{
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(WriteRecording("A.ASF").c_str(), u"ASF Reader", source.Put()), S_OK);
    ComPtr<IBaseFilter> video = Make(CLSID_FfdshowVideoDecoder);
    ComPtr<IBaseFilter> tee = Make(CLSID_InfTee);
    ASSERT_EQ(graph->AddFilter(video.Get(), u"v"), S_OK);
    ASSERT_EQ(graph->AddFilter(tee.Get(), u"t"), S_OK);
    ComPtr<IPin> out = FindPin(source.Get(), u"Raw Video 0");
    ComPtr<IPin> in = FindPin(video.Get(), u"In");
    ASSERT_EQ(graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);

    EXPECT_EQ(graph->Disconnect(nullptr), E_POINTER);
    ASSERT_EQ(graph->Disconnect(in.Get()), S_OK);
    EXPECT_FALSE(PeerOf(in.Get()));
    EXPECT_EQ(PeerOf(out.Get()).Get(), in.Get()) << "the output still names the input";
    EXPECT_EQ(graph->Disconnect(in.Get()), S_FALSE) << "nothing left to disconnect";
    EXPECT_EQ(graph->ConnectDirect(out.Get(), in.Get(), nullptr), VFW_E_ALREADY_CONNECTED);

    ASSERT_EQ(graph->Disconnect(out.Get()), S_OK);
    EXPECT_EQ(graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);

    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.PutVoid()), S_OK);
    ASSERT_EQ(control->Pause(), S_OK);
    EXPECT_EQ(graph->Disconnect(in.Get()), VFW_E_NOT_STOPPED);
    EXPECT_EQ(PeerOf(in.Get()).Get(), out.Get());
}

TEST_F(GraphTest, PinsAnswerByNameAndDirection)
{
    struct Case {
        const CLSID* clsid;
        std::vector<std::pair<std::u16string, PIN_DIRECTION>> pins;
    } cases[] = {
        {&CLSID_FfdshowVideoDecoder, {{u"In", PINDIR_INPUT}, {u"Out", PINDIR_OUTPUT}}},
        {&CLSID_FfdshowAudioDecoder, {{u"In", PINDIR_INPUT}, {u"Out", PINDIR_OUTPUT}}},
        {&CLSID_DSoundRender, {{u"Audio Input pin (rendered)", PINDIR_INPUT}}},
        {&CLSID_InfTee, {{u"Input", PINDIR_INPUT}, {u"Output1", PINDIR_OUTPUT}}},
        {&CLSID_AVIDec, {{u"XForm In", PINDIR_INPUT}, {u"XForm Out", PINDIR_OUTPUT}}},
        {&CLSID_Colour, {{u"Input", PINDIR_INPUT}, {u"XForm Out", PINDIR_OUTPUT}}},
        {&CLSID_VideoMixingRenderer9, {{u"VMR Input0", PINDIR_INPUT}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(GuidToString(*c.clsid)));
        ComPtr<IBaseFilter> f = Make(*c.clsid);
        ComPtr<IEnumPins> e;
        ASSERT_EQ(f->EnumPins(e.Put()), S_OK);
        std::vector<std::pair<std::u16string, PIN_DIRECTION>> listed;
        IPin* pin = nullptr;
        while (e->Next(1, &pin, nullptr) == S_OK) {
            PIN_INFO info{};
            ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
            PIN_DIRECTION dir{};
            ASSERT_EQ(pin->QueryDirection(&dir), S_OK);
            EXPECT_EQ(dir, info.dir);
            listed.emplace_back(info.achName, info.dir);
            info.pFilter->Release();
            pin->Release();
        }
        EXPECT_EQ(listed, c.pins);
        ComPtr<IPin> none;
        EXPECT_EQ(f->FindPin(u"no such pin", none.Put()), VFW_E_NOT_FOUND);
        EXPECT_FALSE(none);
    }
}

TEST_F(GraphTest, TheTeeGrowsAnOutputWhenTheLastFreeOneConnects)
{
    RecordingWindow window;
    ProgramGraph g;
    BuildProgramGraph(g, window.Handle());
    ASSERT_EQ(LoadRecording(g, WriteRecording("A.ASF")), S_OK);
    EXPECT_TRUE(FindPin(g.tee.Get(), u"Output2"));
    EXPECT_FALSE(FindPin(g.tee.Get(), u"Output3"));
}

TEST_F(GraphTest, OutputTypesCanBeListedAndFreed)
{
    ComPtr<IGraphBuilder> graph = MakeGraph();
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(WriteRecording("A.ASF").c_str(), u"ASF Reader", source.Put()), S_OK);
    ComPtr<IPin> out = FindPin(source.Get(), u"Raw Audio 1");
    ComPtr<IEnumMediaTypes> e;
    ASSERT_EQ(out->EnumMediaTypes(e.Put()), S_OK);
    AM_MEDIA_TYPE* types[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(2, types, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(types[0]->majortype, MEDIATYPE_Audio);
    EXPECT_EQ(types[0]->subtype, MEDIASUBTYPE_PCM);
    ASSERT_EQ(types[0]->cbFormat, sizeof(WAVEFORMATEX));
    EXPECT_EQ(reinterpret_cast<WAVEFORMATEX*>(types[0]->pbFormat)->nSamplesPerSec, 8000u);
    DeleteMediaType(types[0]);
}

} // namespace
} // namespace media_test
