#include "tracks/GraphView.h"

TGraphControl* GraphControl = nullptr;

TGraphControl::TGraphControl(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"GraphControl");
    SetBorderStyle(bsNone);
}

TGraphControl::~TGraphControl()
{
    // Windows reach one another through the globals: a window gone is null.
    if (GraphControl == this)
        GraphControl = nullptr;
}
