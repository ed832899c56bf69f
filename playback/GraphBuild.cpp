// Building the filter graph at start-up, the decoder test, and the graph
// helpers the loading uses (renderer set-up, pins by name, direct links).
#include "playback/VideoView.h"

#include "app/Common.h"
#include "app/Globals.h"
#include "codec/FfdshowInstall.h"
#include "playback/PlayLog.h"
#include "platform/media/ClassFactory.h"
#include "platform/media/media.h"
#include "platform/media/FilterClasses.h"
#include "platform/media/MediaType.h"
#include "platform/win/Com.h"

using namespace playback;
using media::ComPtr;
using media::HRESULT;

namespace {

const char16_t* const kInitFailed = u"ビューワ初期化に失敗しました。";

UnicodeString StartupMessage(const char16_t* number)
{
    return UnicodeString(kInitFailed) + u"【ｴﾗｰ番号：" + number + u"】";
}

// Shows a start-up message (box and error line) and asks the application to end.
void EndStartup(const UnicodeString& text)
{
    LogMessage(text, 3);
    if (Application != nullptr)
        Application->Terminate();
}

template <class T>
HRESULT Create(const media::CLSID& clsid, T** out)
{
    return media::CoCreateInstance(clsid, nullptr, media::CLSCTX_INPROC_SERVER, T::iid, reinterpret_cast<void**>(out));
}

// The graph is needed from here on: without one the build cannot go on.
media::IGraphBuilder* Require(media::IGraphBuilder* graph, const char16_t* step)
{
    if (graph == nullptr)
        throw Exception(u"no filter graph (%s)", UnicodeString(step));
    return graph;
}

template <class T>
void Query(media::IGraphBuilder* graph, T** out)
{
    // A failed query leaves the field null; the operations treat that as absent.
    graph->QueryInterface(T::iid, reinterpret_cast<void**>(out));
}

bool SameObject(media::IUnknown* a, media::IUnknown* b)
{
    if (a == nullptr || b == nullptr)
        return false;
    ComPtr<media::IUnknown> ia, ib;
    if (media::FAILED(a->QueryInterface(media::IID_IUnknown, ia.PutVoid())) ||
        media::FAILED(b->QueryInterface(media::IID_IUnknown, ib.PutVoid())))
        return false;
    return ia.Get() == ib.Get();
}

UnicodeString PinName(media::IPin* pin)
{
    media::PIN_INFO info{};
    if (pin == nullptr || media::FAILED(pin->QueryPinInfo(&info)))
        return UnicodeString();
    if (info.pFilter != nullptr)
        info.pFilter->Release();
    info.achName[media::MAX_PIN_NAME - 1] = 0;
    return UnicodeString(info.achName);
}

UnicodeString GuidText(const media::GUID& guid) { return UnicodeString(media::GuidToString(guid).c_str()); }

// The debug dump of the types a pin offers after a failed connection.
void DumpMediaTypes(media::IPin* pin, const char16_t* side)
{
    ComPtr<media::IEnumMediaTypes> types;
    if (pin == nullptr || media::FAILED(pin->EnumMediaTypes(types.Put())) || !types)
        return;
    int number = 0;
    media::AM_MEDIA_TYPE* mt = nullptr;
    while (types->Next(1, &mt, nullptr) == media::S_OK && mt != nullptr) {
        ++number;
        const UnicodeString head = UnicodeString(u"TEST：") + side + u" pin type [" + UnicodeString(number) + u"] ";
        LogDebug(head + u"major[" + GuidText(mt->majortype) + u"][Dummy]");
        LogDebug(head + u"sub[" + GuidText(mt->subtype) + u"][Dummy]");
        LogDebug(head + u"format[" + GuidText(mt->formattype) + u"][Dummy]");
        media::DeleteMediaType(mt);
        mt = nullptr;
    }
}

} // namespace

UnicodeString TPlayControl::DummyFilePath() { return ProgramFolder + u"\\FFDShow\\" + u"DummyFile.ASF"; }

void TPlayControl::IninGraph()
{
    LogDebug(u"-----------------TPlayControl::IninGraph START----------");
    try {
        if (!win::IsUserAnAdmin()) {
            EndStartup(UnicodeString(kInitFailed) +
                       u"\nWindows管理者権限のあるユーザーで実行して下さい。【ｴﾗｰ番号：0001】");
            return;
        }
        if (!FFDShowRegister(false)) {
            EndStartup(StartupMessage(u"1001"));
            return;
        }
        // "Already initialised" (S_FALSE) is success: FFDShowRegister started COM first.
        if (media::FAILED(win::CoInitialize(nullptr)))
            LogMessage(u"DirctShowがインストールされていない可能性があります。【ｴﾗｰ番号：0004】", 3);

        if (media::FAILED(Create(media::CLSID_FilterGraph, &Graph)))
            LogMessage(u"DirctShowがインストールされていない可能性があります。【ｴﾗｰ番号：0005】", 3);
        LogDebug(u"1) DirectX Initialize --> Executed");

        {
            ComPtr<media::IBaseFilter> probe;
            if (media::FAILED(Create(media::CLSID_VideoMixingRenderer9, probe.Put()))) {
                EndStartup(u"Dirct3Dがサポートされていません。【ｴﾗｰ番号：0006】");
                return;
            }
        }

        if (!AddFilterFromFriendlyName(Graph, &VideoDecoder, u"ffdshow Video Decoder")) {
            LogError(u"2) ffdshow Video Decoder Initialize --> ERROR");
            FreeGraph();
            if (RestartProgram())
                return;
            EndStartup(StartupMessage(u"1003"));
            return;
        }
        LogDebug(u"2) ffdshow Video Decoder Initialize --> Executed");

        if (!AddFilterFromFriendlyName(Graph, &AudioDecoder, u"ffdshow Audio Decoder"))
            LogError(u"ffdshow Audio Decoder Initialize Error");
        LogDebug(u"3) ffdshow AudioDecoder Initialize --> Executed");

        if (media::FAILED(Create(media::CLSID_DSoundRender, &SoundRenderer)))
            LogError(u"DirectSound Initialize Error");
        if (media::FAILED(Require(Graph, u"AddFilter DirectSound Audio Renderer")
                              ->AddFilter(SoundRenderer, u"DirectSound Audio Renderer")))
            LogError(u"DirectSound Initialize Error (AddFilter)");
        LogDebug(u"4) DirectSoundRenderer Initialize --> Executed");

        struct FixedFilter {
            const media::CLSID& clsid;
            media::IBaseFilter** field;
            const char16_t* name;
            const char16_t* createError;
            const char16_t* addError;
            const char16_t* done;
        };
        const FixedFilter fixed[] = {
            {media::CLSID_InfTee, &PinTee, u"Infinite Pin Tee Filter", u"1005", u"1006",
             u"5) InfTee Initialize --> Executed"},
            {media::CLSID_AVIDec, &AviDecompressor, u"AVI Decompressor", u"1007", u"1008",
             u"6) AVI-Decompresser Initialize --> Executed"},
            {media::CLSID_Colour, &ColourConverter, u"Colour space convertor", u"1009", u"1010",
             u"7) Colour Initialize --> Executed"},
        };
        for (const FixedFilter& f : fixed) {
            if (media::FAILED(Create(f.clsid, f.field))) {
                EndStartup(StartupMessage(f.createError));
                return;
            }
            if (media::FAILED(Require(Graph, f.name)->AddFilter(*f.field, f.name))) {
                EndStartup(StartupMessage(f.addError));
                return;
            }
            LogDebug(f.done);
        }

        if (media::FAILED(InitializeWindowlessVMR(Graph, &VmrFilter, &WindowlessControl, Panel9->Handle()))) {
            EndStartup(StartupMessage(u"1011"));
            return;
        }
        LogDebug(u"8) VMR9 Initialize --> Executed");

        media::IGraphBuilder* graph = Require(Graph, u"QueryInterface");
        Query(graph, &MediaControl);
        Query(graph, &MediaSeeking);
        Query(graph, &BasicVideo);
        Query(graph, &BasicAudio);
        Query(graph, &MediaEvent);
        Query(graph, &MediaPosition);

        HRESULT notify = MediaEvent != nullptr
            ? MediaEvent->SetNotifyWindow(reinterpret_cast<media::OAHWND>(Handle()),
                                          static_cast<media::LONG>(WM_GRAPH_NOTIFY), 0)
            : media::E_NOINTERFACE;
        if (media::FAILED(notify)) {
            EndStartup(StartupMessage(u"1012"));
            return;
        }
        LogDebug(u"9) IMediaEventEx Initialize --> Executed");

        if (BasicAudio != nullptr)
            BasicAudio->put_Volume(0);

        if (!TestPinConnect()) {
            LogError(u"10) TestPinConnect --> ERROR");
            FreeGraph();
            if (RestartProgram())
                return;
            EndStartup(StartupMessage(u"1013"));
            return;
        }
        ResetRestartCount();
        LogDebug(u"-----------------TPlayControl::IninGraph END----------");
    } catch (Exception& e) {
        FreeGraph();
        LogMessage(UnicodeString(u"アプリ初期化に失敗しました。プログラムを終了します【ｴﾗｰ番号：0008】。ERROR: ") +
                       e.Message,
                   3);
        LogDebug(u"-----------------TPlayControl::IninGraph END----------");
        if (Application != nullptr)
            Application->Terminate();
    }
}

bool TPlayControl::TestPinConnect()
{
    try {
        if (MediaControl == nullptr || Graph == nullptr)
            return false;
        Graph->AddSourceFilter(DummyFilePath().c_str(), u"ASF Reader", &SourceFilter);
        HRESULT hr = ConnectFiltersByName(Graph, SourceFilter, u"Raw Video 0", VideoDecoder, u"In", nullptr);
        if (SourceFilter != nullptr) {
            Graph->RemoveFilter(SourceFilter);
            media::IBaseFilter* source = SourceFilter;
            SourceFilter = nullptr;
            source->Release();
        }
        return media::SUCCEEDED(hr);
    } catch (Exception& e) {
        LogException(u"TPlayControl::TestPinConnect", e);
        return false;
    }
}

HRESULT TPlayControl::InitializeWindowlessVMR(media::IGraphBuilder* graph, media::IBaseFilter** renderer,
                                              media::IVMRWindowlessControl9** control, win::HWND clippingWindow)
{
    try {
        if (graph == nullptr) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:00");
            return media::E_POINTER;
        }
        if (renderer == nullptr) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:01");
            return media::E_POINTER;
        }
        if (control == nullptr) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:02");
            return media::E_POINTER;
        }
        *renderer = nullptr;
        ComPtr<media::IBaseFilter> vmr;
        HRESULT hr = Create(media::CLSID_VideoMixingRenderer9, vmr.Put());
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:09");
            return hr;
        }
        hr = graph->AddFilter(vmr.Get(), u"Video Mixing Renderer 9");
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:03");
            return hr;
        }
        ComPtr<media::IVMRFilterConfig9> config;
        hr = vmr->QueryInterface(media::IID_IVMRFilterConfig9, config.PutVoid());
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:04");
            return hr;
        }
        hr = config->SetRenderingMode(media::VMR9Mode_Windowless);
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:05");
            return hr;
        }
        *control = nullptr;
        ComPtr<media::IVMRWindowlessControl9> windowless;
        hr = vmr->QueryInterface(media::IID_IVMRWindowlessControl9, windowless.PutVoid());
        if (media::FAILED(hr)) {
            *renderer = vmr.Detach();
            return hr;
        }
        hr = windowless->SetVideoClippingWindow(clippingWindow);
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:06");
            return hr;
        }
        hr = windowless->SetBorderColor(0);
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:07");
            return hr;
        }
        hr = windowless->SetAspectRatioMode(media::VMR9ARMode_LetterBox);
        if (media::FAILED(hr)) {
            LogDebug(u"InitializeWindowlessVMR ErrorCode:08");
            return hr;
        }
        *renderer = vmr.Detach();
        *control = windowless.Detach();
        return media::S_OK;
    } catch (Exception& e) {
        LogException(u"TPlayControl::InitializeWindowlessVMR", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::GetPinByName(media::IBaseFilter* filter, const UnicodeString& pinName,
                                   media::PIN_DIRECTION direction, media::IPin** pin)
{
    try {
        if (!IsDriveReady(ProgramDrive))
            return media::E_FAIL;
        if (pin == nullptr)
            return media::E_POINTER;
        *pin = nullptr;
        if (filter == nullptr)
            return media::E_POINTER;
        ComPtr<media::IEnumPins> pins;
        HRESULT hr = filter->EnumPins(pins.Put());
        if (media::FAILED(hr))
            return hr;
        if (!pins)
            return media::E_FAIL;
        ComPtr<media::IPin> candidate;
        while (pins->Next(1, candidate.Put(), nullptr) == media::S_OK && candidate) {
            media::PIN_DIRECTION dir{};
            if (media::FAILED(candidate->QueryDirection(&dir)) || dir != direction)
                continue;
            media::PIN_INFO info{};
            hr = candidate->QueryPinInfo(&info);
            if (media::FAILED(hr))
                return hr;
            ComPtr<media::IBaseFilter> owner = ComPtr<media::IBaseFilter>::Attach(info.pFilter);
            media::FILTER_INFO filterInfo{};
            hr = owner ? owner->QueryFilterInfo(&filterInfo) : media::E_POINTER;
            if (media::SUCCEEDED(hr) && filterInfo.pGraph != nullptr)
                filterInfo.pGraph->Release();
            if (media::FAILED(hr))
                return hr;
            info.achName[media::MAX_PIN_NAME - 1] = 0;
            if (UnicodeString(info.achName) == pinName) {
                *pin = candidate.Detach();
                return media::S_OK;
            }
        }
        return media::E_FAIL;
    } catch (Exception& e) {
        LogException(u"TPlayControl::GetPinByName", e);
        return media::E_FAIL;
    }
}

HRESULT TPlayControl::ConnectFiltersByName(media::IGraphBuilder* graph, media::IBaseFilter* source,
                                           const UnicodeString& outputPinName, media::IBaseFilter* target,
                                           const UnicodeString& inputPinName, const media::AM_MEDIA_TYPE* mediaType)
{
    if (!IsDriveReady(ProgramDrive))
        return media::E_FAIL;
    if (graph == nullptr || source == nullptr || target == nullptr) {
        LogError(u"ConnectFiltersByName ErrorCode：00");
        return media::E_POINTER;
    }
    ComPtr<media::IPin> out, in;
    HRESULT hr = GetPinByName(source, outputPinName, media::PINDIR_OUTPUT, out.Put());
    if (media::FAILED(hr)) {
        LogError(u"ConnectFiltersByName ErrorCode：01");
        return hr;
    }
    hr = GetPinByName(target, inputPinName, media::PINDIR_INPUT, in.Put());
    if (media::FAILED(hr)) {
        LogError(u"ConnectFiltersByName ErrorCode：02");
        return hr;
    }

    ComPtr<media::IPin> outPeer, inPeer;
    if (media::FAILED(out->ConnectedTo(outPeer.Put())))
        outPeer.Reset();
    if (media::FAILED(in->ConnectedTo(inPeer.Put())))
        inPeer.Reset();

    // Done only when the two are connected to each other.
    if (outPeer && SameObject(outPeer.Get(), in.Get()))
        return media::S_OK;

    // Free each pin that is connected elsewhere, and its former peer, so that
    // no pin is left believing in a connection that is gone.
    if (inPeer) {
        if (media::FAILED(graph->Disconnect(in.Get()))) {
            LogError(UnicodeString(u"ConnectFiltersByName ErrorCode：03。[") + inputPinName + u"] disconnect failure.");
        }
        graph->Disconnect(inPeer.Get());
    }
    if (outPeer) {
        if (media::FAILED(graph->Disconnect(out.Get()))) {
            LogError(UnicodeString(u"ConnectFiltersByName ErrorCode：04。 [") + outputPinName +
                     u"] disconnect failure.");
        }
        graph->Disconnect(outPeer.Get());
    }

    hr = graph->ConnectDirect(out.Get(), in.Get(), mediaType);
    if (media::SUCCEEDED(hr))
        return hr;

    LogError(UnicodeString(u"ConnectFiltersByName ErrorCode：05。[") + PinName(out.Get()) + u"] and [" +
             PinName(in.Get()) + u"] connect failure.");
    DumpMediaTypes(out.Get(), u"Output");
    DumpMediaTypes(in.Get(), u"Input");
    return hr;
}
