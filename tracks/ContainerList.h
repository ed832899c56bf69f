// The owning list template: a pointer list whose items are heap objects of
// type T that the list destroys with itself.
#pragma once

#include "tracks/PointerList.h"

template <class T>
class TContainerList : public TPointerList {
public:
    TContainerList() = default;
    // Destroys every item still held, then the list.
    virtual ~TContainerList()
    {
        if (Count() == 0)
            return;
        for (int i = 0; i < Count(); ++i) {
            delete static_cast<T*>(Get(i));
            Put(i, nullptr);
        }
        Clear();
    }
    TContainerList(const TContainerList&) = delete;
    TContainerList& operator=(const TContainerList&) = delete;

    // The item at index (raises EListError outside 0..Count-1).
    T* Item(int index) const { return static_cast<T*>(Get(index)); }
};

// Emptying an owning list: each slot's item destroyed and the slot emptied
// before the final Clear, so the list never holds a pointer to a destroyed
// item. A list without items is not touched.
template <class T>
void ClearContainerList(TContainerList<T>* list)
{
    if (!list || list->Count() == 0)
        return;
    for (int i = 0; i < list->Count(); ++i) {
        if (T* item = list->Item(i))
            delete item;
        list->Put(i, nullptr);
    }
    list->Clear();
}
