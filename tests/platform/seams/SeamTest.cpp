// The seam holder (platform/host/Seam.h) and every seam of the layer held in
// it: the default answers until something is installed, an install returns
// what it replaced (null for the default), an empty install puts the
// default back, and a scoped install puts the previous one back however its
// scope ends.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/browser/BrowserView.h"
#include "platform/host/Seam.h"
#include "platform/media/FrameSource.h"
#include "platform/media/SoundOutput.h"
#include "platform/media/VideoPresenter.h"
#include "platform/mixer/MixerApi.h"
#include "platform/vcl/FolderDialog.h"
#include "platform/vcl/PrintDialog.h"
#include "platform/vcl/PrinterBackend.h"
#include "platform/vcl/RecordingPrinter.h"
#include "platform/vcl/TextRenderer.h"
#include "platform/vcl/WindowPresenter.h"
#include "platform/win/Clock.h"
#include "platform/win/MemoryRegistryStore.h"
#include "platform/win/MessageBox.h"
#include "platform/win/MessageBoxResponder.h"
#include "platform/win/ProcessStarter.h"
#include "platform/win/RecordingProcessStarter.h"
#include "platform/win/RegistryStore.h"

namespace seam_test {

namespace {

struct Backend {
    explicit Backend(int id) : id(id) {}
    int id;
};

Backend* Fallback()
{
    static Backend fallback(0);
    return &fallback;
}

constinit host::Seam<Backend*, host::SeamReaders::AnyThread> gAtomic(&Fallback);
constinit host::Seam<Backend*, host::SeamReaders::UserInterfaceThread> gPlain(&Fallback);
Backend* InstallAtomic(Backend* b) { return gAtomic.Install(b); }
Backend* InstallPlain(Backend* b) { return gPlain.Install(b); }
using ScopedAtomic = host::ScopedInstall<Backend*, &InstallAtomic>;
using ScopedPlain = host::ScopedInstall<Backend*, &InstallPlain>;

// The holder's rules on one seam, whatever its readers.
template <class Scoped, class SeamType>
void ExpectHolderRules(SeamType& seam, Backend* (*install)(Backend*))
{
    Backend one(1), two(2);
    EXPECT_EQ(seam.Current()->id, 0) << "nothing installed: the default";
    EXPECT_EQ(seam.Installed(), nullptr);
    EXPECT_EQ(install(&one), nullptr) << "the default counts as nothing installed";
    EXPECT_EQ(seam.Current(), &one);
    EXPECT_EQ(install(&two), &one);
    EXPECT_EQ(install(nullptr), &two);
    EXPECT_EQ(seam.Current()->id, 0) << "an empty install puts the default back";

    {
        Scoped outer(one);
        EXPECT_EQ(outer.Previous(), nullptr);
        {
            Scoped inner(two);
            EXPECT_EQ(inner.Previous(), &one);
            EXPECT_EQ(seam.Current(), &two);
        }
        EXPECT_EQ(seam.Current(), &one) << "the inner scope put the outer one back";
    }
    EXPECT_EQ(seam.Installed(), nullptr);

    try {
        Scoped scoped(one);
        throw std::runtime_error("test failed half-way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(seam.Installed(), nullptr) << "a throw out of the scope still puts the previous one back";
}

} // namespace

TEST(SeamHolder, PlainAndAtomicHoldersFollowTheSameRules)
{
    {
        SCOPED_TRACE("atomic");
        ExpectHolderRules<ScopedAtomic>(gAtomic, &InstallAtomic);
    }
    {
        SCOPED_TRACE("plain");
        ExpectHolderRules<ScopedPlain>(gPlain, &InstallPlain);
    }
}

// A shared handle: what a user still holds outlives its uninstall.
std::shared_ptr<Backend> NoShared() { return std::make_shared<Backend>(0); }
constinit host::Seam<std::shared_ptr<Backend>, host::SeamReaders::AnyThread> gShared(&NoShared);
std::shared_ptr<Backend> InstallShared(std::shared_ptr<Backend> b) { return gShared.Install(std::move(b)); }

TEST(SeamHolder, ASharedHandleStaysWithWhoeverStillUsesIt)
{
    std::weak_ptr<Backend> watch;
    std::shared_ptr<Backend> held;
    {
        host::ScopedInstall<std::shared_ptr<Backend>, &InstallShared> scoped(std::make_shared<Backend>(7));
        held = gShared.Current();
        watch = held;
        EXPECT_EQ(held->id, 7);
    }
    EXPECT_EQ(gShared.Current()->id, 0);
    EXPECT_EQ(held->id, 7) << "uninstalled, still alive for its user";
    held.reset();
    EXPECT_TRUE(watch.expired()) << "the holder kept no copy after the scope";
}

// Readers on other threads see the default or an installed back end, never
// anything else, while the user interface thread installs and uninstalls.
TEST(SeamHolderThread, ReadersOnOtherThreadsSeeWholeHandles)
{
    Backend one(1);
    std::shared_ptr<Backend> shared = std::make_shared<Backend>(1);
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i)
        readers.emplace_back([&] {
            while (!stop.load()) {
                const int a = gAtomic.Current()->id;
                const int s = gShared.Current()->id;
                if ((a != 0 && a != 1) || (s != 0 && s != 1))
                    ++bad;
            }
        });
    for (int i = 0; i < 2000; ++i) {
        InstallAtomic(i % 2 ? nullptr : &one);
        InstallShared(i % 2 ? nullptr : shared);
    }
    InstallAtomic(nullptr);
    InstallShared(nullptr);
    stop = true;
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(bad.load(), 0);
}

namespace {

class InkRenderer : public vcl::TextRenderer {
public:
    void DrawText(vcl::PixelBuffer&, const vcl::TRect&, int, int, const vcl::TFont&, const rtl::UnicodeString&) override
    {
    }
};

// A seam whose getter answers a reference: the default until installed,
// the installed one in its scope, the default again after.
template <class T, T* (*Install)(T*), T& (*Current)()>
void ExpectSeam(T& replacement)
{
    T& fallback = Current();
    ASSERT_NE(&fallback, &replacement);
    {
        host::ScopedInstall<T*, Install> scoped(replacement);
        EXPECT_EQ(&Current(), &replacement);
        EXPECT_EQ(scoped.Previous(), nullptr) << "the default counts as nothing installed";
        EXPECT_EQ(Install(nullptr), &replacement);
        EXPECT_EQ(&Current(), &fallback);
        EXPECT_EQ(Install(&replacement), nullptr);
    }
    EXPECT_EQ(&Current(), &fallback);
}

} // namespace

TEST(LayerSeams, EachPointerSeamInstallsAndPutsBackTheSameWay)
{
    win::VirtualClock clock;
    media::FrameSource frames;
    media::AudioSource audio;
    media::SoundOutput sound;
    media::VideoPresenter video;
    mixer::MixerBackend volume;
    win::RecordingProcessStarter starter;
    vcl::WindowPresenter windows;
    vcl::RecordingPrinter printer;
    InkRenderer text;
    const std::vector<std::pair<std::string, std::function<void()>>> seams = {
        {"clock", [&] { ExpectSeam<win::Clock, &win::InstallClock, &win::CurrentClock>(clock); }},
        {"frame source",
         [&] { ExpectSeam<media::FrameSource, &media::InstallFrameSource, &media::CurrentFrameSource>(frames); }},
        {"audio source",
         [&] { ExpectSeam<media::AudioSource, &media::InstallAudioSource, &media::CurrentAudioSource>(audio); }},
        {"sound output",
         [&] { ExpectSeam<media::SoundOutput, &media::InstallSoundOutput, &media::CurrentSoundOutput>(sound); }},
        {"video presenter",
         [&] {
             ExpectSeam<media::VideoPresenter, &media::InstallVideoPresenter, &media::CurrentVideoPresenter>(video);
         }},
        {"mixer", [&] { ExpectSeam<mixer::MixerBackend, &mixer::InstallMixer, &mixer::CurrentMixer>(volume); }},
        {"process starter",
         [&] { ExpectSeam<win::ProcessStarter, &win::InstallProcessStarter, &win::CurrentProcessStarter>(starter); }},
        {"window presenter",
         [&] { ExpectSeam<vcl::WindowPresenter, &vcl::InstallPresenter, &vcl::Presenter>(windows); }},
        {"printer",
         [&] { ExpectSeam<vcl::PrinterBackend, &vcl::InstallPrinterBackend, &vcl::CurrentPrinterBackend>(printer); }},
        {"text renderer",
         [&] { ExpectSeam<vcl::TextRenderer, &vcl::InstallTextRenderer, &vcl::CurrentTextRenderer>(text); }},
    };
    for (const auto& [name, check] : seams) {
        SCOPED_TRACE(name);
        check();
    }
}

TEST(LayerSeams, TheRegistryStoreIsSharedWithTheKeysThatUseIt)
{
    auto outer = std::make_shared<win::MemoryRegistryStore>();
    auto inner = std::make_shared<win::MemoryRegistryStore>();
    std::weak_ptr<win::RegistryStore> watch = inner;
    std::shared_ptr<win::RegistryStore> kept;
    {
        win::ScopedRegistryStore first(outer);
        {
            win::ScopedRegistryStore second(std::move(inner));
            EXPECT_EQ(second.Previous(), outer);
            kept = win::CurrentRegistryStore();
        }
        EXPECT_EQ(win::CurrentRegistryStore(), outer);
        EXPECT_FALSE(watch.expired()) << "a user of the inner store keeps it";
        kept.reset();
        EXPECT_TRUE(watch.expired());
    }
}

TEST(LayerSeams, TheBrowserFactoryFallsBackToTheNullView)
{
    struct Sink : browser::BrowserViewSink {
        void NavigationCompleted(bool) override {}
    } sink;
    struct Marked : browser::BrowserView {};
    {
        browser::ScopedBrowserViewFactory marked(
            [](browser::BrowserViewSink&) -> std::unique_ptr<browser::BrowserView> {
                return std::make_unique<Marked>();
            });
        EXPECT_NE(dynamic_cast<Marked*>(browser::CreateBrowserView(sink).get()), nullptr);
        {
            browser::ScopedBrowserViewFactory none(
                [](browser::BrowserViewSink&) -> std::unique_ptr<browser::BrowserView> { return nullptr; });
            auto view = browser::CreateBrowserView(sink);
            ASSERT_NE(view, nullptr) << "a factory that makes nothing gives the null view";
            EXPECT_EQ(dynamic_cast<Marked*>(view.get()), nullptr);
        }
        EXPECT_NE(dynamic_cast<Marked*>(browser::CreateBrowserView(sink).get()), nullptr);
    }
    auto view = browser::CreateBrowserView(sink);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(dynamic_cast<Marked*>(view.get()), nullptr);
}

// The seams without a getter, through what they answer.
TEST(LayerSeams, TheDialogAndBoxSeamsAnswerThroughTheInstalledOneAndCancelWithout)
{
    struct Folder : vcl::FolderPicker {
        bool Pick(const rtl::UnicodeString&, const rtl::UnicodeString&, rtl::UnicodeString& chosen) override
        {
            chosen = u"E:\\DATA";
            return true;
        }
    } folders;
    struct Print : vcl::PrintDialogAnswerer {
        bool ConfirmPrint() override { return true; }
    } prints;
    struct Yes : win::MessageBoxResponder {
        int Answer(const win::MessageBoxCall&) override { return win::IDYES; }
    } boxes;

    rtl::UnicodeString folder = u"C:\\";
    vcl::TPrintDialog dialog(nullptr);
    {
        vcl::ScopedFolderPicker f(folders);
        vcl::ScopedPrintDialogAnswerer p(prints);
        win::ScopedMessageBoxResponder b(boxes);
        EXPECT_TRUE(vcl::SelectDirectory(u"Folder", folder));
        EXPECT_EQ(folder, u"E:\\DATA");
        EXPECT_TRUE(dialog.Execute());
        EXPECT_EQ(win::MessageBoxW(nullptr, u"text", u"caption", win::MB_YESNO | win::MB_DEFBUTTON2), win::IDYES);
    }
    folder = u"C:\\";
    EXPECT_FALSE(vcl::SelectDirectory(u"Folder", folder));
    EXPECT_EQ(folder, u"C:\\");
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(win::MessageBoxW(nullptr, u"text", u"caption", win::MB_YESNO | win::MB_DEFBUTTON2), win::IDNO);
}

} // namespace seam_test
