// A progress bar. Position is kept within Min..Max (values outside are
// limited, as the platform's bar does); setting Max below Position pulls
// Position down with it.
#pragma once

#include "platform/vcl/WinControl.h"

namespace vcl {

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int delta) { SetPosition(FPosition + delta); }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool v)
    {
        FSmooth = v;
        Invalidate();
    }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation o)
    {
        FOrientation = o;
        Invalidate();
    }

    void Paint(TCanvas& canvas) override;

private:
    void Clamp();

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

} // namespace vcl
