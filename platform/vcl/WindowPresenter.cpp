#include "platform/vcl/WindowPresenter.h"

namespace vcl {

namespace {

WindowPresenter* Headless()
{
    static WindowPresenter headless;
    return &headless;
}

constinit host::Seam<WindowPresenter*, host::SeamReaders::AnyThread> gPresenters(&Headless);

} // namespace

WindowPresenter& Presenter() { return *gPresenters.Current(); }

WindowPresenter* InstallPresenter(WindowPresenter* presenter) { return gPresenters.Install(presenter); }

} // namespace vcl
