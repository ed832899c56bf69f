// A track bar (slider). Position stays within Min..Max; a different
// Position raises OnChange, also when the program sets it.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v) { FPageSize = v; }
    int Frequency() const { return FFrequency; }
    void SetFrequency(int v) { FFrequency = v; Invalidate(); }
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation o) { FOrientation = o; Invalidate(); }

    TNotifyEvent OnChange;

    void Paint(TCanvas& canvas) override;

protected:
    void KeyDownDefault(std::uint16_t& Key, TShiftState Shift) override;

private:
    void Apply(int position);

    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    int FPageSize = 2;
    int FFrequency = 1;
    TTrackBarOrientation FOrientation = trHorizontal;
};

} // namespace vcl
