// Colours as the framework keeps them: 0x00BBGGRR, one representation
// everywhere, compared as plain numbers against the named constants.
#pragma once

#include <cstdint>

namespace vcl {

using TColor = std::int32_t;

inline constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}
inline constexpr std::uint8_t GetRValue(TColor c) { return static_cast<std::uint8_t>(c & 0xFF); }
inline constexpr std::uint8_t GetGValue(TColor c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
inline constexpr std::uint8_t GetBValue(TColor c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;

// System colours carry the high byte 0xFF and an index; ColorToRGB resolves
// them to the fixed palette below (a classic light theme).
inline constexpr TColor clScrollBar = static_cast<TColor>(0xFF000000u | 0);
inline constexpr TColor clBackground = static_cast<TColor>(0xFF000000u | 1);
inline constexpr TColor clActiveCaption = static_cast<TColor>(0xFF000000u | 2);
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000000u | 5);
inline constexpr TColor clWindowText = static_cast<TColor>(0xFF000000u | 8);
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF000000u | 15);
inline constexpr TColor clBtnShadow = static_cast<TColor>(0xFF000000u | 16);
inline constexpr TColor clGrayText = static_cast<TColor>(0xFF000000u | 17);
inline constexpr TColor clBtnText = static_cast<TColor>(0xFF000000u | 18);
inline constexpr TColor clBtnHighlight = static_cast<TColor>(0xFF000000u | 20);
inline constexpr TColor clHighlight = static_cast<TColor>(0xFF000000u | 13);
inline constexpr TColor clHighlightText = static_cast<TColor>(0xFF000000u | 14);
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour, system colours resolved; clNone and clDefault
// resolve to black (callers test for them first).
TColor ColorToRGB(TColor c);

} // namespace vcl
