// Every failure switch: the call fails with the result asked for and the
// layer is unchanged by it; without the switch the same call succeeds.
#include "MediaFixture.h"

#include <functional>

namespace media_test {
namespace {

constexpr HRESULT kInjected = static_cast<HRESULT>(0x80041234u);

class FaultsTest : public MediaTest {
protected:
    void SetUp() override
    {
        MediaTest::SetUp();
        BuildProgramGraph(g, window.Handle());
        ASSERT_EQ(LoadRecording(g, path = WriteRecording("A.ASF")), S_OK);
        ASSERT_EQ(g.control->StopWhenReady(), S_OK);
    }
    void TearDown() override
    {
        g = ProgramGraph{};
        MediaTest::TearDown();
    }
    RecordingWindow window;
    ProgramGraph g;
    std::u16string path;
};

TEST_F(FaultsTest, CreationsFailByClassName)
{
    struct Case {
        const char16_t* name;
        const CLSID* clsid;
    } cases[] = {
        {u"FilterGraph", &CLSID_FilterGraph},
        {u"VideoMixingRenderer9", &CLSID_VideoMixingRenderer9},
        {u"DSoundRender", &CLSID_DSoundRender},
        {u"InfTee", &CLSID_InfTee},
        {u"AVIDec", &CLSID_AVIDec},
        {u"Colour", &CLSID_Colour},
        {u"ffdshow Video Decoder", &CLSID_FfdshowVideoDecoder},
        {u"ffdshow Audio Decoder", &CLSID_FfdshowAudioDecoder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::u16string(c.name)));
        Faults::Clear();
        Faults::Fail(Fault::Create, kInjected, c.name);
        IUnknown* object = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(
            CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object)),
            kInjected);
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(Faults::Calls(Fault::Create, c.name), 1);
        // Only that class.
        for (const Case& other : cases) {
            if (other.clsid == c.clsid)
                continue;
            ComPtr<IUnknown> made;
            EXPECT_EQ(CoCreateInstance(*other.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, made.PutVoid()),
                      S_OK);
        }
    }
}

TEST_F(FaultsTest, EveryCallFailsWithTheResultAskedFor)
{
    ComPtr<IPin> rawVideo = FindPin(g.source.Get(), u"Raw Video 0");
    ComPtr<IPin> decoderIn = FindPin(g.videoDecoder.Get(), u"In");
    ComPtr<IVMRFilterConfig9> config;
    ASSERT_EQ(g.vmr->QueryInterface(IID_IVMRFilterConfig9, config.PutVoid()), S_OK);
    ComPtr<IBaseFilter> spareVmr;
    ASSERT_EQ(CoCreateInstance(CLSID_VideoMixingRenderer9, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               spareVmr.PutVoid()),
              S_OK);
    ComPtr<IVMRFilterConfig9> spareConfig;
    ASSERT_EQ(spareVmr->QueryInterface(IID_IVMRFilterConfig9, spareConfig.PutVoid()), S_OK);
    ComPtr<IBaseFilter> spareTee;
    ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, spareTee.PutVoid()), S_OK);

    // Link 1 open, so that ConnectDirect can succeed after its switch.
    ASSERT_EQ(g.graph->Disconnect(rawVideo.Get()), S_OK);
    ASSERT_EQ(g.graph->Disconnect(decoderIn.Get()), S_OK);

    RECT r{0, 0, 10, 10};
    RECT src{};
    RECT dst{};
    LONG a = 0;
    LONG b = 0;
    LONGLONG t = 0;
    OAFilterState state = 0;
    LONG code = 0;
    LONG_PTR p1 = 0;
    LONG_PTR p2 = 0;
    HDC dc = reinterpret_cast<HDC>(0x10);

    struct Case {
        Fault point;
        const char16_t* qualifier;
        std::function<HRESULT()> call;
    } cases[] = {
        {Fault::ConnectDirect, u"Raw Video 0",
         [&] { return g.graph->ConnectDirect(rawVideo.Get(), decoderIn.Get(), nullptr); }},
        {Fault::QueryInterface, u"IMediaControl",
         [&] {
             ComPtr<IMediaControl> c;
             return g.graph->QueryInterface(IID_IMediaControl, c.PutVoid());
         }},
        {Fault::QueryInterface, u"IVMRWindowlessControl9",
         [&] {
             ComPtr<IVMRWindowlessControl9> c;
             return g.vmr->QueryInterface(IID_IVMRWindowlessControl9, c.PutVoid());
         }},
        {Fault::AddFilter, u"Spare", [&] { return g.graph->AddFilter(spareTee.Get(), u"Spare"); }},
        {Fault::RemoveFilter, u"", [&] { return g.graph->RemoveFilter(spareTee.Get()); }},
        {Fault::AddSourceFilter, u"ASF Reader",
         [&] {
             ComPtr<IBaseFilter> s;
             return g.graph->AddSourceFilter(path.c_str(), u"ASF Reader", s.Put());
         }},
        {Fault::EnumFilters, u"",
         [&] {
             ComPtr<IEnumFilters> e;
             return g.graph->EnumFilters(e.Put());
         }},
        {Fault::FindFilterByName, u"ASF Reader",
         [&] {
             ComPtr<IBaseFilter> f;
             return g.graph->FindFilterByName(u"ASF Reader", f.Put());
         }},
        {Fault::EnumPins, u"ASF Reader",
         [&] {
             ComPtr<IEnumPins> e;
             return g.source->EnumPins(e.Put());
         }},
        {Fault::FindPin, u"In",
         [&] {
             ComPtr<IPin> p;
             return g.videoDecoder->FindPin(u"In", p.Put());
         }},
        {Fault::QueryFilterInfo, u"ASF Reader",
         [&] {
             FILTER_INFO i{};
             HRESULT hr = g.source->QueryFilterInfo(&i);
             if (SUCCEEDED(hr) && i.pGraph)
                 i.pGraph->Release();
             return hr;
         }},
        {Fault::QueryPinInfo, u"Raw Video 0",
         [&] {
             PIN_INFO i{};
             HRESULT hr = rawVideo->QueryPinInfo(&i);
             if (SUCCEEDED(hr))
                 i.pFilter->Release();
             return hr;
         }},
        {Fault::ConnectedTo, u"Raw Video 0",
         [&] {
             ComPtr<IPin> p;
             return rawVideo->ConnectedTo(p.Put());
         }},
        {Fault::EnumMediaTypes, u"Raw Video 0",
         [&] {
             ComPtr<IEnumMediaTypes> e;
             return rawVideo->EnumMediaTypes(e.Put());
         }},
        {Fault::Run, u"", [&] { return g.control->Run(); }},
        {Fault::Pause, u"", [&] { return g.control->Pause(); }},
        {Fault::Stop, u"", [&] { return g.control->Stop(); }},
        {Fault::StopWhenReady, u"", [&] { return g.control->StopWhenReady(); }},
        {Fault::GetState, u"", [&] { return g.control->GetState(0, &state); }},
        {Fault::SetPositions, u"",
         [&] {
             return g.seeking->SetPositions(&t, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
         }},
        {Fault::GetCurrentPosition, u"", [&] { return g.seeking->GetCurrentPosition(&t); }},
        {Fault::GetDuration, u"", [&] { return g.seeking->GetDuration(&t); }},
        {Fault::SetRate, u"", [&] { return g.seeking->SetRate(1.0); }},
        {Fault::SetNotifyWindow, u"",
         [&] { return g.events->SetNotifyWindow(reinterpret_cast<OAHWND>(window.Handle()), 0x8001, 0); }},
        {Fault::GetEvent, u"",
         [&] {
             HRESULT hr = g.events->GetEvent(&code, &p1, &p2, 0);
             return hr == E_ABORT ? S_OK : hr;
         }},
        {Fault::PutVolume, u"", [&] { return g.audio->put_Volume(0); }},
        {Fault::GetVolume, u"", [&] { return g.audio->get_Volume(&a); }},
        {Fault::SetRenderingMode, u"", [&] { return spareConfig->SetRenderingMode(VMR9Mode_Windowless); }},
        {Fault::SetVideoClippingWindow, u"", [&] { return g.windowless->SetVideoClippingWindow(window.Handle()); }},
        {Fault::SetBorderColor, u"", [&] { return g.windowless->SetBorderColor(0); }},
        {Fault::SetAspectRatioMode, u"", [&] { return g.windowless->SetAspectRatioMode(VMR9ARMode_LetterBox); }},
        {Fault::SetVideoPosition, u"", [&] { return g.windowless->SetVideoPosition(nullptr, &r); }},
        {Fault::GetVideoPosition, u"", [&] { return g.windowless->GetVideoPosition(&src, &dst); }},
        {Fault::GetNativeVideoSize, u"", [&] { return g.windowless->GetNativeVideoSize(&a, &b, nullptr, nullptr); }},
        {Fault::RepaintVideo, u"", [&] { return g.windowless->RepaintVideo(window.Handle(), dc); }},
        {Fault::GetCurrentImage, u"",
         [&] {
             BYTE* image = nullptr;
             HRESULT hr = g.windowless->GetCurrentImage(&image);
             CoTaskMemFree(image);
             return hr;
         }},
        {Fault::Disconnect, u"In", [&] { return g.graph->Disconnect(decoderIn.Get()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(FaultName(c.point)) + " " +
                     std::string(c.qualifier, c.qualifier + std::char_traits<char16_t>::length(c.qualifier)));
        Faults::Clear();
        Faults::Fail(c.point, kInjected, c.qualifier, 0, 1);
        EXPECT_EQ(c.call(), kInjected);
        EXPECT_GE(Faults::Calls(c.point, c.qualifier), 1);
        HRESULT again = c.call();
        EXPECT_TRUE(SUCCEEDED(again)) << "the switch was for one call; then 0x" << std::hex << again;
        // Undo what the successful call changed, for the rows after it.
        if (c.point == Fault::Disconnect) {
            ASSERT_EQ(g.graph->Disconnect(rawVideo.Get()), S_OK);
        }
        if (c.point == Fault::Run || c.point == Fault::Pause) {
            ASSERT_EQ(g.control->Stop(), S_OK);
        }
    }
}

TEST_F(FaultsTest, SkipTimesQualifiersAndSuccessCodes)
{
    Faults::Fail(Fault::Run, kInjected, {}, 2, 1);
    EXPECT_EQ(g.control->Run(), S_OK);
    EXPECT_EQ(g.control->Run(), S_OK);
    EXPECT_EQ(g.control->Run(), kInjected);
    EXPECT_EQ(g.control->Run(), S_OK);
    EXPECT_EQ(Faults::Calls(Fault::Run), 4);

    // A qualified switch leaves other names alone.
    Faults::Fail(Fault::AddFilter, kInjected, u"Only this");
    ComPtr<IBaseFilter> tee;
    ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, tee.PutVoid()), S_OK);
    EXPECT_EQ(g.graph->AddFilter(tee.Get(), u"Only this"), kInjected);
    EXPECT_EQ(g.graph->AddFilter(tee.Get(), u"Another"), S_OK);

    // GetState with a success code: the state is given with that code.
    Faults::Fail(Fault::GetState, VFW_S_STATE_INTERMEDIATE);
    OAFilterState s = -1;
    EXPECT_EQ(g.control->GetState(500, &s), VFW_S_STATE_INTERMEDIATE);
    EXPECT_EQ(s, State_Running);

    // A failed GetState leaves the output alone.
    Faults::Clear();
    Faults::Fail(Fault::GetState, E_FAIL);
    s = -1;
    EXPECT_EQ(g.control->GetState(0, &s), E_FAIL);
    EXPECT_EQ(s, -1);
}

} // namespace
} // namespace media_test
