// COM initialisation per thread, and COM task memory.
//
// Results are HRESULTs (the generic codes live in platform/media/Unknown.h):
// CoInitialize gives 0 (S_OK) on the thread's first call and 1 (S_FALSE)
// when the thread is initialised already; both are success. Each successful
// call needs one CoUninitialize.
#pragma once

#include "platform/win/Types.h"

#include <cstddef>

namespace win {

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
// The thread was initialised in the other apartment model.
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);

// Apartment-threaded. `reserved` must be null (E_INVALIDARG otherwise).
HRESULT CoInitialize(void* reserved);
HRESULT CoInitializeEx(void* reserved, DWORD coInit);
// Balances one successful initialisation; more calls than that do nothing.
void CoUninitialize();

// How many initialisations of the calling thread are not yet balanced.
int CoInitializeCount();

void* CoTaskMemAlloc(std::size_t size);
void CoTaskMemFree(void* block);

} // namespace win
