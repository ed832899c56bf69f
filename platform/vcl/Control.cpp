#include "platform/vcl/Control.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CustomForm.h"
#include "platform/vcl/WinControl.h"
#include "platform/vcl/WindowPresenter.h"

namespace vcl {

TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    FFont.OnChange = [this] { FontChanged(); };
}

TControl::~TControl()
{
    FFont.OnChange = nullptr;
    if (FParent) {
        Presenter().Invalidated(*this); // what it covered shows again
        FParent->RemoveControl(this);
    }
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    for (const TControl* p = AParent; p; p = p->FParent)
        if (p == this)
            throw rtl::EInvalidOperation(u"A control cannot be its own parent");
    TWinControl* old = FParent;
    if (old) {
        Presenter().Invalidated(*this);
        old->RemoveControl(this);
    }
    FParent = AParent;
    if (AParent) {
        AParent->InsertControl(this);
        if (FParentFont)
            ParentFontChanged();
        if (FParentColor)
            ParentColorChanged();
    }
    UpdateShowing();
    if (FAlign != alNone) {
        if (old)
            old->AlignControls();
        if (AParent)
            AParent->AlignControls();
    }
}

void TControl::BringToFront()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    Invalidate();
}

void TControl::SendToBack()
{
    if (!FParent)
        return;
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    Invalidate();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight)
        return;
    const bool sizeChanged = AWidth != FWidth || AHeight != FHeight;
    Presenter().Invalidated(*this); // the place it leaves
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    const auto life = LifeToken();
    BoundsChanged(sizeChanged);
    if (sizeChanged && Alive(life))
        Resize();
    if (Alive(life) && FParent && FAlign != alNone)
        FParent->AlignControls();
}

void TControl::SetClientWidth(int v) { SetWidth(v + (Width() - ClientWidth())); }
void TControl::SetClientHeight(int v) { SetHeight(v + (Height() - ClientHeight())); }

TPoint TControl::ClientOrigin() const
{
    if (!FParent)
        return TPoint(FLeft, FTop);
    const TPoint p = FParent->ClientOrigin();
    return TPoint(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(const TPoint& p) const
{
    const TPoint o = ClientOrigin();
    return TPoint(o.X + p.X, o.Y + p.Y);
}

TPoint TControl::ScreenToClient(const TPoint& p) const
{
    const TPoint o = ClientOrigin();
    return TPoint(p.X - o.X, p.Y - o.Y);
}

void TControl::SetAlign(TAlign align)
{
    if (align == FAlign)
        return;
    FAlign = align;
    RequestAlign();
}

void TControl::RequestAlign()
{
    if (FParent)
        FParent->AlignControls();
}

void TControl::SetVisible(bool visible)
{
    if (visible == FVisible)
        return;
    FVisible = visible;
    Invalidate();
    const auto life = LifeToken();
    UpdateShowing();
    if (Alive(life) && FParent && FAlign != alNone)
        FParent->AlignControls();
}

bool TControl::ComputeShowing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::UpdateShowing()
{
    const bool showing = ComputeShowing();
    if (showing == FShowing)
        return;
    FShowing = showing;
    ShowingChanged();
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    Invalidate();
    EnabledChanged();
}

bool TControl::AcceptsInput() const
{
    if (!FShowing)
        return false;
    for (const TControl* c = this; c; c = c->FParent) {
        if (!c->FEnabled)
            return false;
        if (auto* form = dynamic_cast<const TCustomForm*>(c); form && form->ModalBlocked())
            return false;
    }
    return true;
}

void TControl::SetText(const UnicodeString& text)
{
    if (text == FText)
        return;
    FText = text;
    Invalidate();
    const auto life = LifeToken();
    TextChanged();
    if (Alive(life) && FAutoSize)
        AdjustSize();
}

void TControl::SetParentFont(bool value)
{
    if (value == FParentFont)
        return;
    FParentFont = value;
    if (value)
        ParentFontChanged();
}

void TControl::ParentFontChanged()
{
    if (!FParentFont || !FParent)
        return;
    FFontFromParent = true;
    FFont.Assign(*FParent->Font());
    FFontFromParent = false;
}

void TControl::FontChanged()
{
    // A font set on the control itself ends following the parent.
    if (!FFontFromParent)
        FParentFont = false;
    Invalidate();
    if (FAutoSize)
        AdjustSize();
}

void TControl::SetColor(TColor color)
{
    FParentColor = false;
    if (color == FColor)
        return;
    FColor = color;
    Invalidate();
}

void TControl::SetParentColor(bool value)
{
    FParentColor = value;
    if (value)
        ParentColorChanged();
}

void TControl::ParentColorChanged()
{
    if (FParentColor && FParent && FColor != FParent->Color()) {
        FColor = FParent->Color();
        Invalidate();
    }
}

void TControl::SetAutoSize(bool value)
{
    FAutoSize = value;
    if (value)
        AdjustSize();
}

void TControl::Invalidate()
{
    ++FInvalidateCount;
    Presenter().Invalidated(*this);
}

void TControl::InvalidateRect(const TRect& rect)
{
    const TRect part = rect.Intersect(TRect(0, 0, FWidth, FHeight));
    if (part.Empty())
        return;
    ++FInvalidateCount;
    Presenter().InvalidatedPart(*this, part);
}

void TControl::Repaint()
{
    Invalidate();
    ++FRepaintCount;
    Update();
}

void TControl::Update() {}

void TControl::Paint(TCanvas&) {}

TColor TControl::PaintColor() const { return ColorToRGB(FColor); }

void TControl::PaintTo(TCanvas& canvas, int x, int y)
{
    const TPoint origin = canvas.Origin();
    const TRect clip = canvas.Clip();
    canvas.SetOrigin(x, y);
    canvas.SetClip(clip.Intersect(TRect(x, y, x + FWidth, y + FHeight)));
    if (!canvas.Clip().Empty())
        Paint(canvas);
    canvas.SetOrigin(origin.X, origin.Y);
    canvas.SetClip(clip);
}

win::LRESULT TControl::Perform(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam)
{
    TMessage m;
    m.Msg = Msg;
    m.WParam = WParam;
    m.LParam = LParam;
    Dispatch(m);
    return m.Result;
}

void TControl::Dispatch(TMessage& Message) { DefaultHandler(Message); }

void TControl::DefaultHandler(TMessage& Message) { Message.Result = 0; }

void TControl::Resize()
{
    if (InBuild())
        return;
    if (OnResize)
        OnResize(this);
}

bool TControl::InBuild() const
{
    for (const TControl* c = this; c; c = c->FParent) {
        if (auto* form = dynamic_cast<const TCustomForm*>(c); form && form->Building())
            return true;
        if (auto* owner = dynamic_cast<const TCustomForm*>(c->Owner()); owner && owner->Building())
            return true;
    }
    return false;
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

TCustomForm* GetParentForm(const TControl* control, bool topForm)
{
    TCustomForm* found = nullptr;
    for (const TControl* c = control; c; c = c->Parent()) {
        if (auto* form = dynamic_cast<TCustomForm*>(const_cast<TControl*>(c))) {
            found = form;
            if (!topForm)
                return found;
        }
    }
    return found;
}

} // namespace vcl
