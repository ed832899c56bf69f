// A scroll bar. Position stays within Min..Max, and within
// Min..Max - PageSize + 1 when PageSize > 0. Setting a different Position
// raises OnChange. Scroll (what the arrows and the track do) raises OnScroll
// with the proposed position, which the handler may change, then sets it
// (OnChange when it moved): scLineUp subtracts SmallChange, scLineDown adds
// it, scPageUp / scPageDown use LargeChange.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TWinControl {
public:
    explicit TScrollBar(TComponent* AOwner);

    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind k)
    {
        FKind = k;
        Invalidate();
    }
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    int PageSize() const { return FPageSize; }
    void SetMin(int v) { SetParams(FPosition, v, FMax); }
    void SetMax(int v) { SetParams(FPosition, FMin, v); }
    void SetPosition(int v) { SetParams(v, FMin, FMax); }
    void SetPageSize(int v);
    // Raises EInvalidOperation when max < min, as the framework.
    void SetParams(int position, int min, int max);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int v) { FSmallChange = v; }
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int v) { FLargeChange = v; }

    // The user's scroll action; scPosition/scTrack move to trackPosition.
    void Scroll(TScrollCode code, int trackPosition = 0);

    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    void Paint(TCanvas& canvas) override;

private:
    int Clamp(int v) const;

    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FPageSize = 0;
    int FSmallChange = 1;
    int FLargeChange = 1;
};

} // namespace vcl
