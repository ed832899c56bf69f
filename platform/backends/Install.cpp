#include "platform/backends/Install.h"

#include "platform/backends/ffmpeg/FfmpegAudioSource.h"
#include "platform/backends/ffmpeg/FfmpegFrameSource.h"
#include "platform/backends/gtk/GtkDisplay.h"
#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/cups/CupsPrinter.h"
#include "platform/backends/gtk/GtkPrintDialog.h"
#include "platform/backends/pango/PangoText.h"
#include "platform/backends/pulse/PulseMixerBackend.h"
#include "platform/backends/pulse/PulseSoundOutput.h"
#include "platform/backends/webkit/WebKitBrowser.h"

namespace backends {

bool InstallRealBackends()
{
    // Decoding, sound and text need no display.
    static ffmpeg::FfmpegFrameSource frames;
    static ffmpeg::FfmpegAudioSource audio;
    static pulse::PulseSoundOutput sound;
    static pulse::PulseMixerBackend volume;
    media::InstallFrameSource(&frames);
    media::InstallAudioSource(&audio);
    media::InstallSoundOutput(&sound);
    mixer::InstallMixer(&volume);
    pango::InstallText();
    static cups::CupsPrinter printer;
    vcl::SetPrinterBackend(&printer);
    if (!gtk::InstallDisplay())
        return false;
    // The web view lives in the display's windows: headless, the null view stays.
    webkit::InstallBrowser(*gtk::Presenter());
    gtk::InstallPrintDialog({[](int& chosen) { return printer.Choices(chosen); },
                             [](const std::string& name) { printer.Choose(name); }});
    return true;
}

} // namespace backends
