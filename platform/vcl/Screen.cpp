#include "platform/vcl/Screen.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/WindowPresenter.h"
#include "platform/win/Messages.h"
#include "platform/win/SystemInfo.h"

namespace vcl {

namespace {
TScreen gScreen;
}

TScreen* Screen = &gScreen;

int TScreen::Width() const { return win::GetSystemMetrics(win::SM_CXSCREEN); }
int TScreen::Height() const { return win::GetSystemMetrics(win::SM_CYSCREEN); }

TRect TScreen::WorkAreaRect() const
{
    win::RECT r;
    if (!win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &r, 0))
        return TRect(0, 0, Width(), Height());
    return TRect(r.left, r.top, r.right, r.bottom);
}

TCustomForm* TScreen::Forms(int index) const
{
    if (index < 0 || index >= FormCount())
        throw rtl::EListError(rtl::UnicodeString(u"List index out of bounds (") + rtl::UnicodeString(index) + u")");
    return FForms[static_cast<std::size_t>(index)];
}

TCustomForm* TScreen::ActiveForm() const
{
    if (Application && Application->ModalForm())
        return Application->ModalForm();
    if (FActive && FActive->Showing())
        return FActive;
    // Else the newest showing top-level form.
    for (auto it = FForms.rbegin(); it != FForms.rend(); ++it)
        if ((*it)->Parent() == nullptr && (*it)->Showing())
            return *it;
    return nullptr;
}

void TScreen::SetActiveForm(TCustomForm* form)
{
    TCustomForm* old = FActive;
    if (old == form)
        return;
    FActive = form;
    const auto oldLife = old ? old->LifeToken() : std::weak_ptr<void>();
    const auto newLife = form ? form->LifeToken() : std::weak_ptr<void>();
    if (old)
        old->Activation(false);
    if (form && Alive(newLife)) {
        Presenter().FormActivated(*form);
        form->Activation(true);
    }
    if (old && Alive(oldLife))
        win::SendMessage(old->Handle(), win::WM_KILLFOCUS, 0, 0);
    if (form && Alive(newLife))
        win::SendMessage(form->Handle(), win::WM_SETFOCUS, 0, 0);
}

void TScreen::ActivateNext(TCustomForm* hidden)
{
    if (FActive != hidden)
        return;
    TCustomForm* next = nullptr;
    if (Application && Application->MainForm() && Application->MainForm() != hidden &&
        Application->MainForm()->Showing() && !Application->MainForm()->Parent())
        next = Application->MainForm();
    for (auto it = FForms.rbegin(); !next && it != FForms.rend(); ++it)
        if (*it != hidden && !(*it)->Parent() && (*it)->Showing())
            next = *it;
    SetActiveForm(next);
}

void TScreen::AddForm(TCustomForm* form) { FForms.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form)
{
    FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
    if (FActive == form)
        FActive = nullptr;
}

} // namespace vcl
