#include "platform/backends/webkit/WebKitBrowser.h"

#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "platform/backends/gtk/GtkPresenter.h"
#include "platform/backends/webkit/FileUri.h"
#include "platform/backends/webkit/ScriptText.h"
#include "platform/browser/BrowserView.h"
#include "platform/rtl/CodePage.h"
#include "platform/win/HostFileIo.h"
#include "platform/win/MessageWindow.h"
#include "platform/win/Messages.h"

namespace backends::webkit {

namespace {

constexpr win::UINT WM_LOAD_DONE = 0x8000 + 0x3E8;

void Append(const std::string& file, const std::string& line)
{
    if (file.empty())
        return;
    if (FILE* f = std::fopen(file.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

class WebKitView final : public browser::BrowserView {
public:
    WebKitView(browser::BrowserViewSink& sink, gtk::GtkPresenter& presenter)
        : FSink(sink),
          FPresenter(presenter),
          FTrace(presenter.DumpFolder().empty() ? std::string() : presenter.DumpFolder() + "/browser.log"),
          FPoster([this](win::TMessage& m) {
              if (m.Msg == WM_LOAD_DONE)
                  FSink.NavigationCompleted(m.WParam != 0);
          })
    {
    }

    ~WebKitView() override
    {
        if (!FView)
            return;
        g_signal_handlers_disconnect_by_data(FView, this);
        FPresenter.RemoveNative(GTK_WIDGET(FView));
        gtk_widget_destroy(GTK_WIDGET(FView));
        g_object_unref(FView);
    }

    bool Start(const std::string& userDataFolder) override
    {
        // Without a folder of its own the profile stays in memory rather
        // than landing in the home folder.
        WebKitWebsiteDataManager* data = userDataFolder.empty()
            ? webkit_website_data_manager_new_ephemeral()
            : webkit_website_data_manager_new("base-data-directory", userDataFolder.c_str(), "base-cache-directory",
                                              (userDataFolder + "/Cache").c_str(), nullptr);
        WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(data);
        g_object_unref(data);
        FView = WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context));
        g_object_unref(context);
        if (!FView)
            return false;
        g_object_ref_sink(FView);
        // Drawn in software: the same on a desktop and on a display without
        // GL (Xvfb), and a map page needs no more.
        webkit_settings_set_hardware_acceleration_policy(webkit_web_view_get_settings(FView),
                                                         WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
        g_signal_connect(FView, "load-changed", G_CALLBACK(OnLoadChanged), this);
        g_signal_connect(FView, "load-failed", G_CALLBACK(OnLoadFailed), this);
        g_signal_connect(FView, "web-process-terminated", G_CALLBACK(OnTerminated), this);
        if (!FTrace.empty())
            g_signal_connect(FView, "notify::title", G_CALLBACK(OnTitle), this);
        Append(FTrace, "start " + userDataFolder);
        return true;
    }

    void Navigate(const std::string& hostPath) override
    {
        const std::string uri = FileUriOf(hostPath);
        Append(FTrace, "navigate " + uri);
        // The page is read by path in the web process: a FIFO in its place would never load.
        if (!FView || uri.empty() || !win::IsReadableRegularFile(hostPath)) {
            Post(false);
            return;
        }
        ++FPending;
        webkit_web_view_load_uri(FView, uri.c_str());
    }

    void ExecuteScript(const std::u16string& script) override
    {
        if (!FView)
            return;
        std::string text = rtl::Utf16ToUtf8(script);
        if (!FTrace.empty()) {
            // The smoke test reads the script's value back through the
            // title: a result handed to this process would need a script
            // context of its own here.
            FProbes[++FProbeCount] = text;
            text = TitleProbe(FProbeCount, text);
        }
        webkit_web_view_evaluate_javascript(FView, text.c_str(), static_cast<gssize>(text.size()), nullptr, nullptr,
                                            nullptr, nullptr, nullptr);
    }

    void SetHostForm(vcl::TCustomForm* form) override { FForm = form; }

    void Place(int left, int top, int width, int height, bool visible) override
    {
        if (FView)
            FPresenter.PlaceNative(FForm, GTK_WIDGET(FView), left, top, width, height, visible);
    }

private:
    // From GTK's signals, inside our wait: the control hears of it through
    // the message loop.
    void Post(bool success) { win::PostMessage(FPoster.Handle(), WM_LOAD_DONE, success ? 1 : 0, 0); }

    void Finished()
    {
        const bool success = !FFailed;
        FFailed = false;
        const char* uri = webkit_web_view_get_uri(FView);
        Append(FTrace, std::string(success ? "loaded ok " : "loaded failed ") + (uri ? uri : ""));
        // The browser's own error page loads after a failure: not ours.
        if (FPending == 0)
            return;
        --FPending;
        Post(success);
    }

    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self)
    {
        if (event == WEBKIT_LOAD_FINISHED)
            static_cast<WebKitView*>(self)->Finished();
    }

    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer self)
    {
        auto* view = static_cast<WebKitView*>(self);
        view->FFailed = true;
        Append(view->FTrace, std::string("load error ") + (error && error->message ? error->message : ""));
        return FALSE; // the browser shows its error page
    }

    static void OnTerminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer self)
    {
        auto* view = static_cast<WebKitView*>(self);
        Append(view->FTrace, "web process ended");
        view->FFailed = false;
        for (; view->FPending > 0; --view->FPending)
            view->Post(false);
    }

    static void OnTitle(WebKitWebView* webView, GParamSpec*, gpointer self)
    {
        auto* view = static_cast<WebKitView*>(self);
        const char* title = webkit_web_view_get_title(webView);
        if (!title)
            return;
        const std::string text = title;
        const std::size_t blank = text.find(' ');
        const auto it = view->FProbes.find(std::atoi(text.substr(0, blank).c_str()));
        if (blank == std::string::npos || it == view->FProbes.end())
            return;
        Append(view->FTrace, "script " + it->second + " -> " + text.substr(blank + 1));
        view->FProbes.erase(it);
    }

    browser::BrowserViewSink& FSink;
    gtk::GtkPresenter& FPresenter;
    const std::string FTrace;
    win::TMessageWindow FPoster;
    WebKitWebView* FView = nullptr;
    vcl::TCustomForm* FForm = nullptr;
    int FPending = 0; // navigations asked for and not yet reported
    bool FFailed = false; // the load under way has failed
    // Scripts run for the smoke test whose value has not come back yet.
    std::map<int, std::string> FProbes;
    int FProbeCount = 0;
};

} // namespace

browser::BrowserViewFactory BrowserFactory(gtk::GtkPresenter& presenter)
{
    return [&presenter](browser::BrowserViewSink& sink) -> std::unique_ptr<browser::BrowserView> {
        return std::make_unique<WebKitView>(sink, presenter);
    };
}

} // namespace backends::webkit
