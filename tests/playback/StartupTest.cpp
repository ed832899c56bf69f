// The graph built at start-up: one row per failure switch, and what a
// successful build leaves.
#include "PlaybackFixture.h"

#include <filesystem>

#include "platform/media/Faults.h"
#include "platform/media/VideoRendererState.h"
#include "platform/media/Vfw.h"
#include "platform/win/Com.h"

using namespace media;

namespace playback_test {

namespace {

std::string Numbered(const std::string& number) { return "ビューワ初期化に失敗しました。【ｴﾗｰ番号：" + number + "】"; }

const std::string kFreeGraphStart = "-----------------TPlayControl::FreeGraph START----------";
const std::string kGraphEnd = "-----------------TPlayControl::IninGraph END----------";

enum class Setup { None, NotAdmin, NoDecoderModule, NoDummyFile };

struct StartupRow {
    const char* name;
    Setup setup;
    Fault point;
    const char16_t* qualifier;
    int storedRestarts; // restart count before the start
    // What must follow: the boxes shown (in order), whether the application
    // ends, whether the graph was released during the build, whether a new
    // instance was started.
    std::vector<std::string> boxes;
    bool terminated;
    bool freed;
    bool restarted;
};

} // namespace

TEST_F(PlaybackTest, StartUpFailuresShowTheirNumberAndEndOrRestart)
{
    const std::string k0005 = "DirctShowがインストールされていない可能性があります。【ｴﾗｰ番号：0005】";
    const std::string k0008 = "アプリ初期化に失敗しました。プログラムを終了します【ｴﾗｰ番号：0008】。ERROR: ";
    const Fault none = Fault::Run; // with Setup::None and no qualifier: no switch
    const StartupRow rows[] = {
        {"not an administrator",
         Setup::NotAdmin,
         none,
         nullptr,
         0,
         {"ビューワ初期化に失敗しました。\nWindows管理者権限のあるユーザーで実行して下さい。【ｴﾗｰ番号：0001】"},
         true,
         false,
         false},
        {"decoder module missing",
         Setup::NoDecoderModule,
         none,
         nullptr,
         0,
         {"File(E:\\\\ffdshow\\ffdshow.ax) is not existing.", Numbered("1001")},
         true,
         false,
         false},
        {"no graph manager", Setup::None, Fault::Create, u"FilterGraph", 0, {k0005, k0008}, true, true, false},
        {"no Direct3D",
         Setup::None,
         Fault::Create,
         u"VideoMixingRenderer9",
         0,
         {"Dirct3Dがサポートされていません。【ｴﾗｰ番号：0006】"},
         true,
         false,
         false},
        {"video decoder, restart", Setup::None, Fault::Create, u"ffdshow Video Decoder", 0, {}, true, true, true},
        {"video decoder, refused",
         Setup::None,
         Fault::Create,
         u"ffdshow Video Decoder",
         3,
         {Numbered("1003")},
         true,
         true,
         false},
        {"tee created", Setup::None, Fault::Create, u"InfTee", 0, {Numbered("1005")}, true, false, false},
        {"tee added",
         Setup::None,
         Fault::AddFilter,
         u"Infinite Pin Tee Filter",
         0,
         {Numbered("1006")},
         true,
         false,
         false},
        {"AVI created", Setup::None, Fault::Create, u"AVIDec", 0, {Numbered("1007")}, true, false, false},
        {"AVI added", Setup::None, Fault::AddFilter, u"AVI Decompressor", 0, {Numbered("1008")}, true, false, false},
        {"colour created", Setup::None, Fault::Create, u"Colour", 0, {Numbered("1009")}, true, false, false},
        {"colour added",
         Setup::None,
         Fault::AddFilter,
         u"Colour space convertor",
         0,
         {Numbered("1010")},
         true,
         false,
         false},
        {"renderer added",
         Setup::None,
         Fault::AddFilter,
         u"Video Mixing Renderer 9",
         0,
         {Numbered("1011")},
         true,
         false,
         false},
        {"renderer config",
         Setup::None,
         Fault::QueryInterface,
         u"IVMRFilterConfig9",
         0,
         {Numbered("1011")},
         true,
         false,
         false},
        {"renderer mode", Setup::None, Fault::SetRenderingMode, nullptr, 0, {Numbered("1011")}, true, false, false},
        {"clipping window",
         Setup::None,
         Fault::SetVideoClippingWindow,
         nullptr,
         0,
         {Numbered("1011")},
         true,
         false,
         false},
        {"event window", Setup::None, Fault::SetNotifyWindow, nullptr, 0, {Numbered("1012")}, true, false, false},
        {"no event interface",
         Setup::None,
         Fault::QueryInterface,
         u"IMediaEventEx",
         0,
         {Numbered("1012")},
         true,
         false,
         false},
        {"no control interface", Setup::None, Fault::QueryInterface, u"IMediaControl", 0, {}, true, true, true},
        {"decoder test, restart", Setup::NoDummyFile, none, nullptr, 2, {}, true, true, true},
        {"decoder test, refused", Setup::NoDummyFile, none, nullptr, 3, {Numbered("1013")}, true, true, false},
        {"decoder test link",
         Setup::None,
         Fault::ConnectDirect,
         u"Raw Video 0",
         3,
         {Numbered("1013")},
         true,
         true,
         false},
        {"audio decoder", Setup::None, Fault::Create, u"ffdshow Audio Decoder", 2, {}, false, false, false},
        {"sound renderer created", Setup::None, Fault::Create, u"DSoundRender", 2, {}, false, false, false},
        {"sound renderer added",
         Setup::None,
         Fault::AddFilter,
         u"DirectSound Audio Renderer",
         2,
         {},
         false,
         false,
         false},
    };
    for (const StartupRow& row : rows) {
        SCOPED_TRACE(row.name);
        // A fresh start for each row.
        TearDown();
        SetUp();
        SetRestartCount(row.storedRestarts);
        if (row.setup == Setup::NotAdmin)
            store->SetReadOnly(win::RegistryHive::Machine, true);
        if (row.setup == Setup::NoDecoderModule)
            std::filesystem::remove(Host("ffdshow/ffdshow.ax"));
        if (row.setup == Setup::NoDummyFile)
            std::filesystem::remove(Host("ffdshow/DummyFile.ASF"));
        if (row.qualifier != nullptr)
            Faults::Fail(row.point, E_FAIL, row.qualifier);
        else if (row.point != none)
            Faults::Fail(row.point, E_FAIL);

        Build();
        application->ProcessMessages(); // meets the quit message, if one was posted
        EXPECT_EQ(application->Terminated(), row.terminated);
        EXPECT_EQ(CountLogged(kFreeGraphStart), row.freed ? 1 : 0);
        EXPECT_EQ(RestartStarts(), row.restarted ? 1 : 0);
        std::vector<std::string> shown = BoxTexts();
        if (!row.boxes.empty() && row.boxes.back() == k0008) {
            ASSERT_EQ(shown.size(), 2u);
            EXPECT_EQ(shown[0], row.boxes[0]);
            EXPECT_EQ(shown[1].rfind(k0008, 0), 0u) << shown[1];
            EXPECT_GT(shown[1].size(), k0008.size()) << "the failure's own text follows";
        } else {
            EXPECT_EQ(shown, row.boxes);
        }
        if (row.restarted) {
            EXPECT_EQ(RestartCount(), row.storedRestarts + 1);
        } else if (!row.terminated) {
            EXPECT_EQ(RestartCount(), 0) << "a good build resets the count";
        } else if (!row.boxes.empty() &&
                   (row.boxes.back() == Numbered("1003") || row.boxes.back() == Numbered("1013"))) {
            EXPECT_EQ(RestartCount(), 0) << "a refused restart starts counting anew";
        }
        if (row.freed) {
            EXPECT_EQ(pane->Graph, nullptr);
            EXPECT_EQ(pane->MediaControl, nullptr);
            EXPECT_EQ(pane->VideoDecoder, nullptr);
        }
        // Every operation finds the graph absent or working; none crashes.
        pane->PrepareMedia(kRecording);
        pane->RunMedia();
        pane->PauseMedia();
        pane->StopMedia();
        Destroy();
        EXPECT_EQ(LiveObjectCount(), liveBefore);
    }
}

TEST_F(PlaybackTest, AGoodBuildHoldsTheFixedFiltersAndCuesTheBlankRecording)
{
    SetRestartCount(2);
    Build();
    application->ProcessMessages();
    EXPECT_FALSE(application->Terminated());
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(RestartCount(), 0);
    // COM was started by the decoder check already: "already initialised" is no failure.
    EXPECT_EQ(win::CoInitializeCount(), 2);

    const std::vector<std::string> progress = {
        "1) DirectX Initialize --> Executed",
        "2) ffdshow Video Decoder Initialize --> Executed",
        "3) ffdshow AudioDecoder Initialize --> Executed",
        "4) DirectSoundRenderer Initialize --> Executed",
        "5) InfTee Initialize --> Executed",
        "6) AVI-Decompresser Initialize --> Executed",
        "7) Colour Initialize --> Executed",
        "8) VMR9 Initialize --> Executed",
        "9) IMediaEventEx Initialize --> Executed",
        kGraphEnd,
    };
    std::vector<std::string> seen;
    for (const std::string& t : LogTexts())
        for (const std::string& p : progress)
            if (t == p)
                seen.push_back(t);
    EXPECT_EQ(seen, progress);

    for (IBaseFilter* f : {pane->VideoDecoder, pane->AudioDecoder, pane->SoundRenderer, pane->PinTee,
                           pane->AviDecompressor, pane->ColourConverter, pane->VmrFilter})
        EXPECT_NE(f, nullptr);
    EXPECT_NE(pane->MediaSeeking, nullptr);
    EXPECT_NE(pane->MediaEvent, nullptr);
    EXPECT_NE(pane->WindowlessControl, nullptr);

    VideoRendererState state;
    ASSERT_TRUE(InspectVideoRenderer(pane->VmrFilter, state));
    EXPECT_EQ(state.renderingMode, VMR9Mode_Windowless);
    EXPECT_EQ(state.clippingWindow, pane->Panel9->Handle());
    EXPECT_EQ(state.aspectRatioMode, VMR9ARMode_LetterBox);
    EXPECT_EQ(state.border, 0u);
    // The blank recording is cued: its picture shows, nothing plays.
    EXPECT_NE(pane->SourceFilter, nullptr);
    EXPECT_EQ(pane->Rendered, 0);
    EXPECT_EQ(MediaDuration, 0);
    EXPECT_TRUE(state.connected);
    EXPECT_TRUE(state.hasFrame);
    OAFilterState graphState = -1;
    EXPECT_EQ(pane->MediaControl->GetState(0, &graphState), S_OK);
    EXPECT_EQ(graphState, State_Stopped);
    EXPECT_EQ(PlayState, 0);
}

} // namespace playback_test
