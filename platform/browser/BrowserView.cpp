#include "platform/browser/BrowserView.h"

#include <mutex>

namespace browser {

BrowserViewSink::~BrowserViewSink() = default;
BrowserView::~BrowserView() = default;

bool BrowserView::Start(const std::string&)
{
    return true;
}

void BrowserView::Navigate(const std::string&) {}
void BrowserView::ExecuteScript(const std::u16string&) {}
void BrowserView::Place(int, int, int, int, bool) {}
void BrowserView::SetHostForm(vcl::TCustomForm*) {}

namespace {

std::mutex& FactoryMutex()
{
    static std::mutex mutex;
    return mutex;
}

BrowserViewFactory& Factory()
{
    static BrowserViewFactory factory;
    return factory;
}

} // namespace

BrowserViewFactory InstallBrowserViewFactory(BrowserViewFactory factory)
{
    std::lock_guard<std::mutex> guard(FactoryMutex());
    BrowserViewFactory previous = std::move(Factory());
    Factory() = std::move(factory);
    return previous;
}

std::unique_ptr<BrowserView> CreateBrowserView(BrowserViewSink& sink)
{
    BrowserViewFactory factory;
    {
        std::lock_guard<std::mutex> guard(FactoryMutex());
        factory = Factory();
    }
    if (factory) {
        if (auto view = factory(sink))
            return view;
    }
    return std::make_unique<BrowserView>();
}

} // namespace browser
