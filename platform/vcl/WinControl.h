// A control that holds other controls, can take the keyboard focus and has a
// window handle (made on first use, owned by the creating thread) through
// which posted and sent messages reach its Dispatch.
//
// Keyboard input (from TestDriver) goes to the focused control: the form's
// OnKeyDown first when KeyPreview is set, then the control's; a key still
// not taken is offered to the control's own handling (KeyDownDefault) and
// then to the form as a dialog key (Enter: default button, Escape: cancel
// button). Characters follow the same way through OnKeyPress.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/Control.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"

namespace vcl {

class TWinControl : public TControl, public win::WindowProcedure {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    // In z-order, bottom first. Raises EListError for a bad index.
    TControl* Controls(int index) const;
    // The topmost visible child under p (client coordinates), or null;
    // disabled children only when allowDisabled.
    TControl* ControlAtPos(const TPoint& p, bool allowDisabled) const;
    bool ContainsControl(const TControl* control) const;

    // The window handle, made on first use.
    win::HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }

    // Focus. SetFocus raises EInvalidOperation when the control cannot take
    // it (hidden or disabled, or its form not shown), as the framework.
    virtual bool CanFocus() const;
    void SetFocus();
    bool Focused() const;
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int order) { FTabOrder = order; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v) { FTabStop = v; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Keyboard entry points (the whole route of the comment above).
    void KeyDown(std::uint16_t& Key, TShiftState Shift);
    void KeyPress(char16_t& Key);
    void KeyUp(std::uint16_t& Key, TShiftState Shift);

    void PaintTo(TCanvas& canvas, int x, int y) override;
    void UpdateShowing() override;
    void ParentFontChanged() override;
    void ParentColorChanged() override;

    // The window procedure of the handle: runs Dispatch; a framework
    // exception that escapes goes to Application->HandleException, as the
    // framework's main window procedure does.
    win::LRESULT WindowProc(win::HWND window, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
    // The pixels drawn into the control through BeginPaint (made on first
    // use, sized to the client area); PaintTo shows them over Paint.
    win::WindowSurface* Surface() override;
    // Tells the presenter, which shows the new pixels.
    void SurfacePainted() override;
    // The surface when something was drawn into it, else null.
    const win::WindowSurface* PaintedSurface() const
    {
        return FSurface && FSurface->painted ? FSurface.get() : nullptr;
    }

    // Lays the aligned children out in the client area.
    virtual void AlignControls();

    // Called by the focus logic.
    virtual void DoEnter();
    virtual void DoExit();

protected:
    // The control's own handling of keys and characters nobody took.
    virtual void KeyDownDefault(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyPressDefault(char16_t& Key);
    void FontChanged() override;
    void BoundsChanged(bool sizeChanged) override;
    // Client area origin inside the control (frames of forms and panels).
    virtual TPoint ClientOffset() const { return TPoint(0, 0); }

private:
    friend class TControl;
    friend struct PaintArea;
    // Copies the surface onto the canvas with its top left at x, y.
    void DrawSurface(TCanvas& canvas, int x, int y) const;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    std::vector<TControl*> FControls;
    win::HWND FHandle = nullptr;
    std::unique_ptr<win::WindowSurface> FSurface;
    int FTabOrder = -1;
    bool FTabStop = false;
    bool FAligning = false;
};

} // namespace vcl
