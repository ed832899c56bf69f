#include "platform/vcl/WindowPresenter.h"

namespace vcl {

namespace {
WindowPresenter gHeadless;
WindowPresenter* gPresenter = nullptr;
} // namespace

WindowPresenter& Presenter() { return gPresenter ? *gPresenter : gHeadless; }

WindowPresenter* SetPresenter(WindowPresenter* presenter)
{
    WindowPresenter* previous = gPresenter;
    gPresenter = presenter;
    return previous;
}

} // namespace vcl
