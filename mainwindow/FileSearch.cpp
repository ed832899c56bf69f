#include "mainwindow/FileSearch.h"

TFormSearch* FormSearch = nullptr;

TFormSearch::TFormSearch(TComponent* Owner)
    : TForm(Owner)
{
    SetName(u"FormSearch");
    SetCaption(u"検索");
}

TFormSearch::~TFormSearch()
{
    // Windows reach one another through the globals: a window gone is null.
    if (FormSearch == this)
        FormSearch = nullptr;
}
