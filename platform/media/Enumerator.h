// The layer's enumerators (IEnumPins, IEnumFilters, IEnumMediaTypes) over a
// snapshot taken when the enumerator was made. Pins and filters are held
// with a reference each; a media type is handed out as a new task-memory
// record (DeleteMediaType frees it).
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/media/MediaTypeValue.h"

namespace media::detail {

template <class T>
T* HandOut(const ComPtr<T>& item)
{
    item->AddRef();
    return item.Get();
}

inline AM_MEDIA_TYPE* HandOut(const MediaTypeValue& item)
{
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (mt == nullptr)
        return nullptr;
    if (FAILED(item.To(*mt))) {
        FreeMediaType(*mt);
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

template <class Interface, class Out, class Item>
class Enumerator final : public TComObject<Interface> {
public:
    explicit Enumerator(std::vector<Item> items, std::size_t position = 0)
        : items_(std::move(items)), position_(position)
    {
    }

    // A new enumerator with one reference, as the caller's out-argument.
    static Interface* Make(std::vector<Item> items) { return new Enumerator(std::move(items)); }

    HRESULT Next(ULONG count, Out** out, ULONG* fetched) override
    {
        if (out == nullptr || (fetched == nullptr && count != 1))
            return E_POINTER;
        ULONG given = 0;
        while (given < count && position_ < items_.size()) {
            Out* item = HandOut(items_[position_]);
            if (item == nullptr)
                break;
            out[given++] = item;
            ++position_;
        }
        if (fetched != nullptr)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG count) override
    {
        std::size_t left = items_.size() - position_;
        if (count > left) {
            position_ = items_.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT Clone(Interface** copy) override
    {
        if (copy == nullptr)
            return E_POINTER;
        *copy = new Enumerator(items_, position_);
        return S_OK;
    }

private:
    ~Enumerator() override = default;

    std::vector<Item> items_;
    std::size_t position_;
};

using PinEnumerator = Enumerator<IEnumPins, IPin, ComPtr<IPin>>;
using FilterEnumerator = Enumerator<IEnumFilters, IBaseFilter, ComPtr<IBaseFilter>>;
using MediaTypeEnumerator = Enumerator<IEnumMediaTypes, AM_MEDIA_TYPE, MediaTypeValue>;

} // namespace media::detail
