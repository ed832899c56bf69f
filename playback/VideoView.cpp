#include "playback/VideoView.h"

TPlayControl* PlayControl = nullptr;

TPlayControl::TPlayControl(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"PlayControl");
    SetBorderStyle(bsNone);
}

TPlayControl::~TPlayControl()
{
    // Windows reach one another through the globals: a window gone is null.
    if (PlayControl == this)
        PlayControl = nullptr;
}
