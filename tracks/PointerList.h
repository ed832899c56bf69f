// The class library's pointer list, as far as the owning lists use it: an
// array of untyped item pointers with Count, indexed get and put, Add, a
// virtual Clear that empties the array without touching the items, and the
// list sort. A bad index raises EListError, as the framework does.
#pragma once

#include <vector>

class TPointerList {
public:
    TPointerList() = default;
    virtual ~TPointerList() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    void* Get(int index) const;
    void Put(int index, void* item);
    // Appends at the end and returns the new item's index.
    int Add(void* item);
    void Delete(int index);
    virtual void Clear() { items_.clear(); }
    // Stable sort with the framework's comparison (negative, 0, positive).
    void Sort(int (*compare)(void*, void*));

private:
    std::vector<void*> items_;
};
