#include "platform/backends/gtk/KeyMap.h"

namespace backends::gtk {

namespace {

struct KeyRow {
    std::uint32_t keyval;
    std::uint16_t vk;
};

// X keysyms (X11/keysymdef.h) and their virtual keys.
constexpr KeyRow kKeys[] = {
    {0xff08, 0x08}, // BackSpace
    {0xff09, 0x09}, // Tab
    {0xfe20, 0x09}, // ISO_Left_Tab (Shift+Tab)
    {0xff0d, 0x0D}, // Return
    {0xff8d, 0x0D}, // KP_Enter
    {0xff1b, 0x1B}, // Escape
    {0x0020, 0x20}, // space
    {0xff55, 0x21}, // Prior
    {0xff56, 0x22}, // Next
    {0xff57, 0x23}, // End
    {0xff50, 0x24}, // Home
    {0xff51, 0x25}, // Left
    {0xff52, 0x26}, // Up
    {0xff53, 0x27}, // Right
    {0xff54, 0x28}, // Down
    {0xff63, 0x2D}, // Insert
    {0xffff, 0x2E}, // Delete
    {0xffe1, 0x10}, // Shift_L
    {0xffe2, 0x10}, // Shift_R
    {0xffe3, 0x11}, // Control_L
    {0xffe4, 0x11}, // Control_R
    {0xffe9, 0x12}, // Alt_L
    {0xffea, 0x12}, // Alt_R
};

} // namespace

std::uint16_t VirtualKeyOf(std::uint32_t keyval)
{
    for (const KeyRow& row : kKeys)
        if (row.keyval == keyval)
            return row.vk;
    if (keyval >= 'a' && keyval <= 'z')
        return static_cast<std::uint16_t>(keyval - 'a' + 'A');
    if ((keyval >= 'A' && keyval <= 'Z') || (keyval >= '0' && keyval <= '9'))
        return static_cast<std::uint16_t>(keyval);
    if (keyval >= 0xffb0 && keyval <= 0xffb9) // KP_0..KP_9: VK_NUMPAD0..9
        return static_cast<std::uint16_t>(0x60 + keyval - 0xffb0);
    if (keyval >= 0xffbe && keyval <= 0xffc9) // F1..F12
        return static_cast<std::uint16_t>(0x70 + keyval - 0xffbe);
    return 0;
}

char16_t CharOf(std::uint32_t keyval, std::uint32_t unicode, bool ctrlOrAlt)
{
    if (ctrlOrAlt)
        return 0;
    switch (keyval) {
    case 0xff08:
        return u'\b';
    case 0xff09:
    case 0xfe20:
        return u'\t';
    case 0xff0d:
    case 0xff8d:
        return u'\r';
    case 0xff1b:
        return 0x1B;
    default:
        break;
    }
    if (unicode < 0x20 || unicode == 0x7F || unicode > 0xFFFF || (unicode >= 0xD800 && unicode <= 0xDFFF))
        return 0;
    return static_cast<char16_t>(unicode);
}

} // namespace backends::gtk
