#include "platform/browser/BrowserView.h"

#include "platform/host/Seam.h"

namespace browser {

BrowserViewSink::~BrowserViewSink() = default;
BrowserView::~BrowserView() = default;

bool BrowserView::Start(const std::string&) { return true; }

void BrowserView::Navigate(const std::string&) {}
void BrowserView::ExecuteScript(const std::u16string&) {}
void BrowserView::Place(int, int, int, int, bool) {}
void BrowserView::SetHostForm(vcl::TCustomForm*) {}

namespace {

// The null view's factory.
BrowserViewFactory NullViews()
{
    return [](BrowserViewSink&) { return std::make_unique<BrowserView>(); };
}

using FactorySeam = host::Seam<BrowserViewFactory, host::SeamReaders::UserInterfaceThread>;

FactorySeam& Factories()
{
    static FactorySeam factories(&NullViews);
    return factories;
}

} // namespace

BrowserViewFactory InstallBrowserViewFactory(BrowserViewFactory factory)
{
    return Factories().Install(std::move(factory));
}

std::unique_ptr<BrowserView> CreateBrowserView(BrowserViewSink& sink)
{
    if (auto view = Factories().Current()(sink))
        return view;
    return std::make_unique<BrowserView>();
}

} // namespace browser
