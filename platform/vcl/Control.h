// A control: a component with a place in the tree of windows (its parent),
// bounds, visibility, enabled state, a caption, a font and colour, and the
// mouse events. Properties are methods (`Left()`, `SetLeft(v)`); setters
// raise the framework's events in the framework's order.
//
// Mouse input arrives through the test interface (TestDriver) or a window
// presenter, always by the same path (MouseInput): a press captures the
// mouse until release; a click (left button released inside) comes before
// the mouse-up; a disabled control gets no press, release or click but does
// get enter and leave. A release goes to the control that took the press,
// even when a handler disabled it in between.
#pragma once

#include <cstdint>

#include "platform/rtl/UnicodeString.h"
#include "platform/vcl/Color.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Events.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Geometry.h"
#include "platform/win/Messages.h"

namespace vcl {

class TWinControl;
class TCustomForm;
class TCanvas;

using win::TMessage;

// Framework-internal messages (the numbers of the real framework's range).
inline constexpr win::UINT CM_BASE = 0xB000;
inline constexpr win::UINT CM_RELEASE = CM_BASE + 33;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // --- tree ---
    TWinControl* Parent() const { return FParent; }
    // Moves the control to another parent (null takes it out of the tree);
    // it goes on top of the new parent's controls. A parent that is this
    // control or one of its children raises EInvalidOperation.
    virtual void SetParent(TWinControl* AParent);
    // Top of the parent's z-order / bottom of it.
    void BringToFront();
    void SendToBack();

    // --- bounds (relative to the parent's client area) ---
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    // Negative sizes count as 0. OnResize follows a change of size, except
    // while the form that holds the control is being built.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    // The client area (the whole control unless a frame takes part of it).
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    TRect ClientRect() const { return TRect(0, 0, ClientWidth(), ClientHeight()); }
    // Screen position of the client area's top left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(const TPoint& p) const;
    TPoint ScreenToClient(const TPoint& p) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    // --- state ---
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a shown form visible too.
    bool Showing() const { return FShowing; }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool enabled);
    // Enabled along the whole parent chain, its form not blocked by a modal
    // form, and showing: whether input reaches it.
    bool AcceptsInput() const;

    // Caption and Text are one property, as in the framework.
    const UnicodeString& Caption() const { return FText; }
    void SetCaption(const UnicodeString& text) { SetText(text); }
    const UnicodeString& Text() const { return FText; }
    virtual void SetText(const UnicodeString& text);

    TFont* Font() { return &FFont; }
    const TFont* Font() const { return &FFont; }
    void SetFont(const TFont& font) { FFont.Assign(font); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    const UnicodeString& Hint() const { return FHint; }
    void SetHint(const UnicodeString& hint) { FHint = hint; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    int Cursor() const { return FCursor; }
    void SetCursor(int cursor) { FCursor = cursor; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    // --- painting ---
    // Marks the control for repainting; the counters let tests see repaints.
    void Invalidate();
    // Marks only rect (in the control's own coordinates) for repainting.
    void InvalidateRect(const TRect& rect);
    // Repaints at once (Invalidate plus Update).
    void Repaint();
    void Refresh() { Repaint(); }
    void Update();
    int InvalidateCount() const { return FInvalidateCount; }
    int RepaintCount() const { return FRepaintCount; }
    // Paints the control in its own coordinates (0, 0 is its top left).
    virtual void Paint(TCanvas& canvas);
    // Paints this control and its children with the top left at x, y of
    // the canvas (children clipped to their parents).
    virtual void PaintTo(TCanvas& canvas, int x, int y);

    // --- messages ---
    // Sends a message to the control directly (no queue) and gives Result.
    win::LRESULT Perform(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);
    // The message map: framework messages are handled here, the rest goes
    // to DefaultHandler. Forms override it, calling the base for the rest.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    // --- events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // Raise the events as input does (called by MouseInput; also usable by
    // program code, as the framework's Click()).
    virtual void Click();
    // A click by the user (mouse or Space): check boxes and radio buttons
    // change their state here; everything else raises Click.
    virtual void InputClick() { Click(); }
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();

    // --- framework internals used across the classes ---
    // Recomputes Showing from Visible and the parent; raises the show/hide
    // notifications on a real change.
    virtual void UpdateShowing();
    // What Showing should be now (forms decide for themselves).
    virtual bool ComputeShowing() const;
    // True while the form holding this control is being built.
    bool InBuild() const;
    // Called when the parent's font changed (ParentFont controls follow).
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();

protected:
    // After a real change of size (not during the build); raises OnResize.
    virtual void Resize();
    // Hooks for derived classes.
    virtual void ShowingChanged() {}
    virtual void EnabledChanged() {}
    virtual void TextChanged() {}
    virtual void FontChanged();
    // After the bounds changed (before OnResize); windowed controls realign
    // their children here.
    virtual void BoundsChanged(bool /*sizeChanged*/) {}
    // Sizes the control to its content when AutoSize is set (labels).
    virtual void AdjustSize() {}
    void RequestAlign();
    // The colour to paint with (ColorToRGB of Color()).
    TColor PaintColor() const;

    bool FVisible = true;
    bool FShowing = false;

private:
    friend class TWinControl;

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FEnabled = true;
    UnicodeString FText;
    TFont FFont;
    bool FParentFont = true;
    bool FFontFromParent = false;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    UnicodeString FHint;
    bool FShowHint = false;
    int FCursor = crDefault;
    bool FAutoSize = false;
    int FInvalidateCount = 0;
    int FRepaintCount = 0;
};

// The form that holds the control, as the framework's GetParentForm: with
// topForm the outermost form (a form docked into another passes on to it),
// else the nearest one. A form without a parent gives itself; a control
// outside any form gives null.
TCustomForm* GetParentForm(const TControl* control, bool topForm = true);

} // namespace vcl
