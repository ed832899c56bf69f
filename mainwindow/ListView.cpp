#include "mainwindow/ListView.h"

TListControl* ListControl = nullptr;

TListControl::TListControl(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"ListControl");
    SetBorderStyle(bsNone);
}

TListControl::~TListControl()
{
    // Windows reach one another through the globals: a window gone is null.
    if (ListControl == this)
        ListControl = nullptr;
}
