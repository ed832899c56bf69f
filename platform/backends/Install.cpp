#include "platform/backends/Install.h"

#include <cstdlib>
#include <cstring>

#include "platform/backends/Modules.h"
#include "platform/backends/OnDemand.h"
#include "platform/backends/ffmpeg/FfmpegAudioSource.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "platform/backends/pulse/PulseMixerBackend.h"
#include "platform/backends/pulse/PulseSoundOutput.h"

namespace backends {

namespace {

// A display to open, unless the run is to be headless.
bool DisplayWanted()
{
    const char* mode = std::getenv("VELMORASTINE_DISPLAY");
    if (mode && std::strcmp(mode, "headless") == 0)
        return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

bool LoadPrinting(PrintModule& module)
{
    auto entry = reinterpret_cast<PrintEntry>(LoadModuleEntry(kPrintModule, kPrintEntry, false));
    return entry != nullptr && entry(&module);
}

browser::BrowserViewFactory LoadBrowser()
{
    auto entry = reinterpret_cast<BrowserEntry>(LoadModuleEntry(kBrowserModule, kBrowserEntry, false));
    browser::BrowserViewFactory factory;
    if (entry != nullptr && !entry(&factory))
        factory = nullptr;
    return factory;
}

} // namespace

bool InstallRealBackends()
{
    // Decoding and sound: what the start needs, linked in.
    static ffmpeg::FfmpegFrameSource frames;
    static ffmpeg::FfmpegAudioSource audio;
    static pulse::PulseSoundOutput sound;
    static pulse::PulseMixerBackend volume;
    media::InstallFrameSource(&frames);
    media::InstallAudioSource(&audio);
    media::InstallSoundOutput(&sound);
    mixer::InstallMixer(&volume);
    // Printing: its module at the first job or printer list.
    static PrintingOnDemand printing(LoadPrinting);
    vcl::InstallPrinterBackend(&printing);
    // Headless, GTK and WebKit are never loaded.
    if (!DisplayWanted())
        return false;
    auto display = reinterpret_cast<DisplayEntry>(LoadModuleEntry(kDisplayModule, kDisplayEntry, true));
    static const gtk::PrinterChoices printers{[](int& chosen) { return printing.Choices(chosen); },
                                              [](const std::string& name) { printing.Choose(name); }};
    if (display == nullptr || !display(&printers))
        return false;
    // The web view lives in the display's windows: its module loads when a
    // map page first shows. Lives to the end of the program, as its views.
    static auto* browsers = new BrowserOnDemand(LoadBrowser);
    browser::InstallBrowserViewFactory(browsers->Factory());
    return true;
}

} // namespace backends
