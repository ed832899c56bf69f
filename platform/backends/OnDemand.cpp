#include "platform/backends/OnDemand.h"

#include <memory>
#include <set>

#include "platform/win/MessageWindow.h"
#include "platform/win/Messages.h"
#include "platform/win/Timers.h"

namespace backends {

namespace {

constexpr win::UINT_PTR kLoadTimer = 1;

class DeferredView;

} // namespace

struct BrowserOnDemand::State {
    std::function<browser::BrowserViewFactory()> load;
    enum Stage { Idle, Loading, Ready, Failed } stage = Idle;
    browser::BrowserViewFactory real;
    std::unique_ptr<win::TMessageWindow> notice;
    std::set<DeferredView*> waiting;

    void Want();
    void Arrived();
};

namespace {

class DeferredView final : public browser::BrowserView {
public:
    DeferredView(browser::BrowserViewSink& sink, BrowserOnDemand::State& state) : FSink(sink), FState(state)
    {
        FState.waiting.insert(this);
    }
    ~DeferredView() override { FState.waiting.erase(this); }

    bool Start(const std::string& userDataFolder) override
    {
        if (FReal)
            return FReal->Start(userDataFolder);
        FStarted = true;
        FFolder = userDataFolder;
        return true;
    }
    void Navigate(const std::string& hostPath) override
    {
        if (FReal)
            FReal->Navigate(hostPath);
        else
            FPage = hostPath;
    }
    void ExecuteScript(const std::u16string& script) override
    {
        if (FReal)
            FReal->ExecuteScript(script);
    }
    void Place(int left, int top, int width, int height, bool visible) override
    {
        if (FReal) {
            FReal->Place(left, top, width, height, visible);
            return;
        }
        FPlaced = true;
        FLeft = left, FTop = top, FWidth = width, FHeight = height, FVisible = visible;
        if (visible)
            FState.Want();
    }
    void SetHostForm(vcl::TCustomForm* form) override
    {
        if (FReal)
            FReal->SetHostForm(form);
        else
            FForm = form;
    }

    // The module is there: a real view takes over what was asked so far.
    void Attach(const browser::BrowserViewFactory& factory)
    {
        std::unique_ptr<browser::BrowserView> real = factory(FSink);
        if (!real)
            return;
        if (FStarted && !real->Start(FFolder))
            return;
        if (FPlaced) {
            real->SetHostForm(FForm);
            real->Place(FLeft, FTop, FWidth, FHeight, FVisible);
        }
        if (!FPage.empty())
            real->Navigate(FPage);
        FReal = std::move(real);
    }

private:
    browser::BrowserViewSink& FSink;
    BrowserOnDemand::State& FState;
    std::unique_ptr<browser::BrowserView> FReal;
    bool FStarted = false;
    std::string FFolder;
    std::string FPage;
    vcl::TCustomForm* FForm = nullptr;
    bool FPlaced = false;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = false;
};

} // namespace

void BrowserOnDemand::State::Want()
{
    if (stage != Idle)
        return;
    stage = Loading;
    // From the message loop, not from inside the call that placed the view,
    // and a moment after the first show: the window paints and the first
    // recording is cued before the browser's libraries are loaded.
    notice = std::make_unique<win::TMessageWindow>([this](win::TMessage& m) {
        if (m.Msg == win::WM_TIMER && m.WParam == kLoadTimer) {
            win::KillTimer(notice->Handle(), kLoadTimer);
            Arrived();
        }
    });
    win::SetTimer(notice->Handle(), kLoadTimer, BrowserOnDemand::kLoadDelayMs, nullptr);
}

void BrowserOnDemand::State::Arrived()
{
    if (stage != Loading)
        return;
    real = load ? load() : browser::BrowserViewFactory();
    stage = real ? Ready : Failed;
    if (stage != Ready)
        return;
    // Attach may make views of its own; walk a copy.
    const std::set<DeferredView*> views = waiting;
    for (DeferredView* view : views)
        if (waiting.count(view))
            view->Attach(real);
}

BrowserOnDemand::BrowserOnDemand(std::function<browser::BrowserViewFactory()> load) : FState(new State)
{
    FState->load = std::move(load);
}

BrowserOnDemand::~BrowserOnDemand() { delete FState; }

browser::BrowserViewFactory BrowserOnDemand::Factory()
{
    State* state = FState;
    return [state](browser::BrowserViewSink& sink) -> std::unique_ptr<browser::BrowserView> {
        if (state->stage == State::Ready)
            return state->real(sink);
        if (state->stage == State::Failed)
            return std::make_unique<browser::BrowserView>();
        return std::make_unique<DeferredView>(sink, *state);
    };
}

bool BrowserOnDemand::Loaded() const { return FState->stage == State::Ready; }

vcl::PrinterBackend* PrintingOnDemand::Load()
{
    if (!FTried) {
        FTried = true;
        if (!FLoad || !FLoad(FModule) || FModule.printer == nullptr)
            FModule = PrintModule{};
    }
    return FModule.printer;
}

vcl::PageExtent PrintingOnDemand::PageSize(vcl::TPrinterOrientation orientation)
{
    if (vcl::PrinterBackend* printer = Load())
        return printer->PageSize(orientation);
    // No printer: A4 at 300 dpi, so a page can still be laid out.
    return orientation == vcl::poLandscape ? vcl::PageExtent{3508, 2480} : vcl::PageExtent{2480, 3508};
}

bool PrintingOnDemand::StartDoc(const rtl::UnicodeString& title, vcl::TPrinterOrientation orientation)
{
    vcl::PrinterBackend* printer = Load();
    return printer != nullptr && printer->StartDoc(title, orientation);
}

bool PrintingOnDemand::AddPicture(const vcl::PrintedPicture& picture)
{
    vcl::PrinterBackend* printer = Load();
    return printer != nullptr && printer->AddPicture(picture);
}

bool PrintingOnDemand::EndDoc(const vcl::PrintedPage& page)
{
    vcl::PrinterBackend* printer = Load();
    return printer != nullptr && printer->EndDoc(page);
}

void PrintingOnDemand::AbortDoc()
{
    if (vcl::PrinterBackend* printer = Load())
        printer->AbortDoc();
}

std::vector<std::string> PrintingOnDemand::Choices(int& chosen)
{
    Load();
    if (FModule.choices)
        return FModule.choices(chosen);
    chosen = -1;
    return {};
}

void PrintingOnDemand::Choose(const std::string& name)
{
    Load();
    if (FModule.choose)
        FModule.choose(name);
}

} // namespace backends
