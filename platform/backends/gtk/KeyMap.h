// Host keys (X keysyms, which GDK's key values are) as the program's
// virtual-key codes and the characters they type. Pure functions, no GTK.
#pragma once

#include <cstdint>

namespace backends::gtk {

// The virtual-key code of a key value, 0 for keys the program has no code
// for.
std::uint16_t VirtualKeyOf(std::uint32_t keyval);

// The character a key types: unicode is what the toolkit says the key value
// types (0 for none); control keys type their control character (Enter
// "\r", Backspace, Tab, Escape); with Ctrl or Alt held nothing is typed.
// Characters beyond the 16-bit range give 0.
char16_t CharOf(std::uint32_t keyval, std::uint32_t unicode, bool ctrlOrAlt);

} // namespace backends::gtk
