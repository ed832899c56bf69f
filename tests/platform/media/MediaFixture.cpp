#include "MediaFixture.h"

#include <cstdlib>
#include <fstream>
#include <ostream>

namespace media_test {

asfwriter::Bytes RecordingBytes(const Recording& r)
{
    asfwriter::FileOptions o;
    o.prerollMs = r.prerollMs;
    o.playDuration = (r.playDurationMs + r.prerollMs) * 10000ull;
    if (r.video)
        o.video = asfwriter::VideoStream{1, r.width, r.height};
    else
        o.video.reset();
    if (!r.audio)
        o.audio.reset();
    if (!r.track)
        o.track.reset();
    asfwriter::AsfWriter writer(o);
    return writer.Finish();
}

std::ostream& operator<<(std::ostream& out, const Message& m)
{
    return out << "{0x" << std::hex << m.message << std::dec << ", " << m.wParam << ", " << m.lParam << "}";
}

RecordingWindow::RecordingWindow() { handle_ = win::CreateWindowHandle(this); }
RecordingWindow::~RecordingWindow() { win::DestroyWindow(handle_); }

win::LRESULT RecordingWindow::WindowProc(win::HWND, win::UINT message, win::WPARAM wParam, win::LPARAM lParam)
{
    if (message >= win::WM_APP)
        messages.push_back(Message{message, wParam, lParam});
    return 0;
}

void MediaTest::SetUp()
{
    RegisterMediaClasses();
    Faults::Clear();
    scopedClock_ = new win::ScopedClock(clock_);
    win::DriveTable::Instance().Configure("E=" + folder_.Path() + ":removable");
    liveAtStart_ = LiveObjectCount();
}

void MediaTest::TearDown()
{
    Faults::Clear();
    InstallFrameSource(nullptr);
    InstallVideoPresenter(nullptr);
    win::DriveTable::Instance().Reset();
    delete scopedClock_;
    EXPECT_EQ(LiveObjectCount(), liveAtStart_) << "a media object outlived its test";
}

std::u16string MediaTest::WriteFile(const std::string& name, const asfwriter::Bytes& bytes)
{
    std::ofstream out(HostPath(name), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::u16string path = u"E:\\";
    for (char c : name)
        path.push_back(c == '/' ? u'\\' : static_cast<char16_t>(c));
    return path;
}

std::u16string MediaTest::WriteRecording(const std::string& name, const Recording& r)
{
    return WriteFile(name, RecordingBytes(r));
}

ComPtr<IPin> MediaTest::FindPin(IBaseFilter* filter, const char16_t* name)
{
    ComPtr<IPin> pin;
    if (filter != nullptr)
        filter->FindPin(name, pin.Put());
    return pin;
}

void MediaTest::BuildProgramGraph(ProgramGraph& g, win::HWND clip)
{
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, g.graph.PutVoid()),
              S_OK);
    ASSERT_EQ(g.graph->QueryInterface(IID_IMediaControl, g.control.PutVoid()), S_OK);
    ASSERT_EQ(g.graph->QueryInterface(IID_IMediaSeeking, g.seeking.PutVoid()), S_OK);
    ASSERT_EQ(g.graph->QueryInterface(IID_IMediaEventEx, g.events.PutVoid()), S_OK);
    ASSERT_EQ(g.graph->QueryInterface(IID_IBasicAudio, g.audio.PutVoid()), S_OK);
    struct Add {
        const CLSID* clsid;
        ComPtr<IBaseFilter>* field;
        const char16_t* name;
    } adds[] = {
        {&CLSID_FfdshowVideoDecoder, &g.videoDecoder, u"ffdshow Video Decoder"},
        {&CLSID_FfdshowAudioDecoder, &g.audioDecoder, u"ffdshow Audio Decoder"},
        {&CLSID_DSoundRender, &g.soundRenderer, u"DirectSound Audio Renderer"},
        {&CLSID_InfTee, &g.tee, u"Infinite Pin Tee Filter"},
        {&CLSID_AVIDec, &g.aviDecompressor, u"AVI Decompressor"},
        {&CLSID_Colour, &g.colour, u"Colour space convertor"},
        {&CLSID_VideoMixingRenderer9, &g.vmr, u"Video Mixing Renderer 9"},
    };
    for (const Add& a : adds) {
        SCOPED_TRACE(std::string(a.name, a.name + std::char_traits<char16_t>::length(a.name)));
        ASSERT_EQ(CoCreateInstance(*a.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, a.field->PutVoid()), S_OK);
        ASSERT_EQ(g.graph->AddFilter(a.field->Get(), a.name), S_OK);
    }
    ComPtr<IVMRFilterConfig9> config;
    ASSERT_EQ(g.vmr->QueryInterface(IID_IVMRFilterConfig9, config.PutVoid()), S_OK);
    ASSERT_EQ(config->SetRenderingMode(VMR9Mode_Windowless), S_OK);
    ASSERT_EQ(g.vmr->QueryInterface(IID_IVMRWindowlessControl9, g.windowless.PutVoid()), S_OK);
    ASSERT_EQ(g.windowless->SetVideoClippingWindow(clip), S_OK);
    ASSERT_EQ(g.windowless->SetBorderColor(0), S_OK);
    ASSERT_EQ(g.windowless->SetAspectRatioMode(VMR9ARMode_LetterBox), S_OK);
}

HRESULT MediaTest::LoadRecording(ProgramGraph& g, const std::u16string& path)
{
    HRESULT hr = g.graph->AddSourceFilter(path.c_str(), u"ASF Reader", g.source.Put());
    if (FAILED(hr))
        return hr;
    struct Link {
        IBaseFilter* from;
        const char16_t* out;
        IBaseFilter* to;
        const char16_t* in;
    } links[] = {
        {g.source.Get(), u"Raw Video 0", g.videoDecoder.Get(), u"In"},
        {g.videoDecoder.Get(), u"Out", g.tee.Get(), u"Input"},
        {g.tee.Get(), u"Output1", g.aviDecompressor.Get(), u"XForm In"},
        {g.aviDecompressor.Get(), u"XForm Out", g.colour.Get(), u"Input"},
        {g.colour.Get(), u"XForm Out", g.vmr.Get(), u"VMR Input0"},
        {g.source.Get(), u"Raw Audio 1", g.audioDecoder.Get(), u"In"},
        {g.audioDecoder.Get(), u"Out", g.soundRenderer.Get(), u"Audio Input pin (rendered)"},
    };
    for (const Link& l : links) {
        ComPtr<IPin> out = FindPin(l.from, l.out);
        ComPtr<IPin> in = FindPin(l.to, l.in);
        if (!out || !in)
            return VFW_E_NOT_FOUND;
        ComPtr<IPin> peer;
        if (out->ConnectedTo(peer.Put()) == S_OK && peer.Get() == in.Get())
            continue; // kept from the last load
        hr = g.graph->ConnectDirect(out.Get(), in.Get(), nullptr);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

} // namespace media_test
