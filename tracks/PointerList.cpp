#include "tracks/PointerList.h"

#include "platform/rtl/Exception.h"

#include <algorithm>

namespace {

[[noreturn]] void IndexError(int index) { throw rtl::EListError(u"List index out of bounds (%d)", index); }

} // namespace

void* TPointerList::Get(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

void TPointerList::Put(int index, void* item)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    items_[static_cast<std::size_t>(index)] = item;
}

int TPointerList::Add(void* item)
{
    items_.push_back(item);
    return Count() - 1;
}

void TPointerList::Delete(int index)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    items_.erase(items_.begin() + index);
}

void TPointerList::Sort(int (*compare)(void*, void*))
{
    if (!compare)
        return;
    const auto less = [compare](void* a, void* b) { return compare(a, b) < 0; };
    // A list already in order (a scan lists the recorder's names in time
    // order) stays as it is: a stable sort would not move anything either.
    if (std::is_sorted(items_.begin(), items_.end(), less))
        return;
    std::stable_sort(items_.begin(), items_.end(), less);
}
