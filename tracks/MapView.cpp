#include "tracks/MapView.h"

TMapControl* MapControl = nullptr;

TMapControl::TMapControl(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"MapControl");
    SetBorderStyle(bsNone);
}

TMapControl::~TMapControl()
{
    // Windows reach one another through the globals: a window gone is null.
    if (MapControl == this)
        MapControl = nullptr;
}
