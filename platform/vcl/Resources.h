// The program's resources: named blocks of bytes of a type ("JPEG"...), as
// the module of a Windows program carries them. The build compiles the
// program's table in and registers it at start-up; names and types are
// found without regard to ASCII case. TResourceStream reads one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/UnicodeString.h"
#include "platform/win/Types.h"

namespace vcl {

struct TResourceEntry {
    const char* Name;
    const char* Type;
    const std::uint8_t* Data;
    std::size_t Size;
};

// The program's own module handle; every module handle finds the same table.
extern win::HINSTANCE HInstance;

// Adds a table (which must outlive the process's use of it). A table that
// is already registered is not added twice. Thread-safe.
void RegisterResources(const TResourceEntry* entries, std::size_t count);
// The entry of that name and type, null when there is none. Entries
// registered later win over earlier ones of the same name and type.
const TResourceEntry* FindResourceEntry(const rtl::UnicodeString& name, const rtl::UnicodeString& type);

namespace detail {
// Takes a table out again (tests that register a table of their own).
void UnregisterResources(const TResourceEntry* entries);
} // namespace detail

} // namespace vcl
