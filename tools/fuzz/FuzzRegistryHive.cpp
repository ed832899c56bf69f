// libFuzzer target: a hive file's text through the registry store's parser
// and writer. Whatever the parser accepts, the writer writes back so that it
// parses to the same keys and values, and writing that again gives the same
// text.
#include "platform/win/RegistryText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    win::RegistryKey first;
    if (!win::ParseRegistryHive(text, first))
        return 0;
    const std::string written = win::FormatRegistryHive(first);
    win::RegistryKey again;
    if (!win::ParseRegistryHive(written, again))
        __builtin_trap(); // the writer wrote what the reader refuses
    if (!(again == first))
        __builtin_trap(); // and reads as something else
    if (win::FormatRegistryHive(again) != written)
        __builtin_trap();
    return 0;
}
