#include "platform/win/Com.h"

#include <cstdlib>

namespace win {

namespace {

constexpr HRESULT kOk = 0;
constexpr HRESULT kFalse = 1;
constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);

thread_local int initCount = 0;
thread_local DWORD initMode = COINIT_APARTMENTTHREADED;

} // namespace

HRESULT CoInitializeEx(void* reserved, DWORD coInit)
{
    if (reserved != nullptr)
        return kInvalidArg;
    const DWORD mode = coInit & COINIT_APARTMENTTHREADED;
    if (initCount > 0) {
        if (mode != initMode)
            return RPC_E_CHANGED_MODE;
        ++initCount;
        return kFalse;
    }
    initMode = mode;
    initCount = 1;
    return kOk;
}

HRESULT CoInitialize(void* reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize()
{
    if (initCount > 0)
        --initCount;
}

int CoInitializeCount() { return initCount; }

void* CoTaskMemAlloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }

void CoTaskMemFree(void* block) { std::free(block); }

} // namespace win
