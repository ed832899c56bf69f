// The screen as the framework sees it: its size and work area (from the
// Windows layer), every form in creation order and the active form (the one
// that takes the keyboard: the innermost modal form, else the form last
// shown or clicked).
#pragma once

#include <vector>

#include "platform/vcl/Geometry.h"

namespace vcl {

class TCustomForm;

class TScreen {
public:
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }

    int FormCount() const { return static_cast<int>(FForms.size()); }
    // Raises EListError for a bad index.
    TCustomForm* Forms(int index) const;
    TCustomForm* ActiveForm() const;
    // Activation moves from the active form to form (null: to no form of
    // this program, as when another program takes the focus): the old one
    // gets WM_ACTIVATE (WA_INACTIVE) and OnDeactivate, the new one
    // WM_ACTIVATE (WA_ACTIVE) and OnActivate, then WM_KILLFOCUS to the old
    // and WM_SETFOCUS to the new, each through its window procedure.
    void SetActiveForm(TCustomForm* form);
    // The active form hid: activation passes to the main form when it
    // shows, else to the newest shown top-level form.
    void ActivateNext(TCustomForm* hidden);

    // Kept by TCustomForm's constructor and destructor.
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);

private:
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActive = nullptr;
};

extern TScreen* Screen;

} // namespace vcl
