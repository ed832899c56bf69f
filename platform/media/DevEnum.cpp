#include "platform/media/DevEnum.h"

#include <cstring>
#include <limits>
#include <new>

namespace media {

// A BSTR is preceded by its length in bytes, as in automation; the text is
// NUL-terminated.
namespace {
struct BstrHeader {
    std::uint32_t bytes;
};
} // namespace

BSTR SysAllocStringLen(const char16_t* text, unsigned length)
{
    if (length > (std::numeric_limits<std::uint32_t>::max() - sizeof(BstrHeader)) / sizeof(char16_t) - 1)
        return nullptr;
    std::size_t size = sizeof(BstrHeader) + (std::size_t{length} + 1) * sizeof(char16_t);
    auto* block = static_cast<unsigned char*>(::operator new(size, std::nothrow));
    if (block == nullptr)
        return nullptr;
    BstrHeader header{static_cast<std::uint32_t>(length * sizeof(char16_t))};
    std::memcpy(block, &header, sizeof header);
    auto* chars = reinterpret_cast<char16_t*>(block + sizeof header);
    if (text != nullptr && length > 0)
        std::memcpy(chars, text, length * sizeof(char16_t));
    else if (length > 0)
        std::memset(chars, 0, length * sizeof(char16_t));
    chars[length] = u'\0';
    return chars;
}

BSTR SysAllocString(const char16_t* text)
{
    if (text == nullptr)
        return nullptr;
    unsigned n = 0;
    while (text[n] != u'\0')
        ++n;
    return SysAllocStringLen(text, n);
}

void SysFreeString(BSTR text)
{
    if (text == nullptr)
        return;
    ::operator delete(reinterpret_cast<unsigned char*>(text) - sizeof(BstrHeader));
}

unsigned SysStringLen(BSTR text)
{
    if (text == nullptr)
        return 0;
    BstrHeader header;
    std::memcpy(&header, reinterpret_cast<unsigned char*>(text) - sizeof header, sizeof header);
    return header.bytes / sizeof(char16_t);
}

void VariantInit(VARIANT* v)
{
    if (v != nullptr)
        *v = VARIANT{};
}

HRESULT VariantClear(VARIANT* v)
{
    if (v == nullptr)
        return E_POINTER;
    if (v->vt == VT_BSTR)
        SysFreeString(v->bstrVal);
    *v = VARIANT{};
    return S_OK;
}

} // namespace media
