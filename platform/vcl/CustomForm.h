// A form: a top-level window (or one docked into another form's panel).
//
// Life: the constructor builds the form hidden; CreateForm (or the helper
// vcl::NewForm) then runs AfterConstruction, which ends the build (from then
// on size changes raise OnResize) and raises OnCreate. Show/Hide raise
// OnShow/OnHide only on a real change of what shows (a docked form shows
// when its host does); an exception in them goes to the exception box.
// Close asks OnCloseQuery, then OnClose with caHide as the proposed action:
// caNone keeps the form, caHide hides it, caFree releases it (deleted by a
// posted message), caMinimize minimises it; closing the application's main
// form ends the application (Terminate) instead, and leaves it shown.
// Activation (WM_ACTIVATE, OnActivate...) follows TScreen::SetActiveForm.
//
// ShowModal: raises EInvalidOperation on a form that is visible, disabled or
// already modal; sets ModalResult to 0, shows the form, blocks the other
// forms' input and runs a nested loop until ModalResult becomes non-zero
// (then OnCloseQuery/OnClose run; caNone goes on waiting) or the
// application is terminated (mrCancel; Terminated stays set, so the outer
// loops and Run end too); then hides the form, gives the activation back to
// the form that had it and returns ModalResult.
//
// A form made visible inside its constructor shows after OnCreate.
#pragma once

#include <functional>
#include <utility>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/PixelBuffer.h"
#include "platform/vcl/WinControl.h"

namespace vcl {

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Ends the build and raises OnCreate (an exception there goes to the
    // exception box). CreateForm calls it; a form built with `new` gets it
    // from vcl::NewForm. Idempotent.
    virtual void AfterConstruction();
    bool Building() const { return FBuilding; }

    void Show();
    void Hide();
    void Close();
    int ShowModal();
    // Deletes the form from the message loop (after the current handler).
    void Release();
    bool CloseQuery();

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult result) { FModalResult = result; }
    bool Modal() const { return FModal; }
    // Blocked by another form's modal loop.
    bool ModalBlocked() const { return FModalBlocked > 0; }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons icons)
    {
        FBorderIcons = icons;
        StyleChanged();
    }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle style)
    {
        FFormStyle = style;
        StyleChanged();
    }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition position) { FPosition = position; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState state) { FWindowState = state; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    // Extended window style bits (recorded; WS_EX_TOOLWINDOW keeps a form
    // off the taskbar).
    std::uint32_t ExStyle() const { return FExStyle; }
    void SetExStyle(std::uint32_t style)
    {
        FExStyle = style;
        StyleChanged();
    }

    // The control with the keyboard focus inside this form, or null.
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* control);
    bool Active() const;

    // The frame: client size is the outer size less the border and caption.
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientOrigin() const override;
    // Frame widths for the border style: left/right, and top (caption and
    // border) / bottom.
    int FrameX() const;
    int FrameTop() const;
    int FrameBottom() const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void SetVisible(bool visible) override;
    bool ComputeShowing() const override;
    void Dispatch(TMessage& Message) override;
    void Paint(TCanvas& canvas) override;

    // The form as a picture: the frame, its controls, a caption bar.
    PixelBuffer Snapshot();
    // Writes Snapshot() as PNG to a host path; false when it cannot.
    bool SaveSnapshot(const std::string& hostPath);

    // Sends WM_ACTIVATE and raises OnActivate / OnDeactivate (TScreen).
    void Activation(bool active);

    // Called by TWinControl when a control gets the focus.
    void FocusChanged(TWinControl* control);
    // Where the focus goes when the form itself is focused while docked:
    // its last active control, else its first tab stop, else the form.
    TWinControl* FocusTarget();

    // Used by ShowModal of other forms.
    void BlockForModal(bool block) { FModalBlocked += block ? 1 : -1; }

protected:
    friend class TWinControl;
    void ShowingChanged() override;
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;
    TPoint ClientOffset() const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void BoundsChanged(bool sizeChanged) override;
    void TextChanged() override;

private:
    // Tells the window presenter (top-level forms only).
    void StyleChanged();
    void DoShow();
    void DoHide();
    void PlaceOnShow();
    void CloseModal();

    bool FBuilding = true;
    bool FCreated = false;
    bool FModal = false;
    int FModalBlocked = 0;
    TModalResult FModalResult = mrNone;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    std::uint32_t FExStyle = 0;
    TWinControl* FActiveControl = nullptr;
    std::weak_ptr<void> FActiveLife;
    bool FReleasePosted = false;
};

// `new T(owner)` with the after-construction step (OnCreate), for forms made
// outside CreateForm.
template <class T, class... Args>
T* NewForm(TComponent* owner, Args&&... args)
{
    T* form = new T(owner, std::forward<Args>(args)...);
    form->AfterConstruction();
    return form;
}

inline constexpr win::WPARAM WA_INACTIVE = 0;
inline constexpr win::WPARAM WA_ACTIVE = 1;
inline constexpr win::WPARAM WA_CLICKACTIVE = 2;

inline constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;

} // namespace vcl
