// The screen: its size and the work area (the screen without the taskbar).
//
// On a real display its back end sets the display's own screen and work
// area. Headless, the program sees a 1920 x 1080 screen with a 40-pixel
// taskbar at the bottom; VELMORASTINE_SCREEN overrides both, e.g.
// "1366x768" or "1366x768:728" (width x height : work-area height). Tests set
// both through SetScreen.
#pragma once

#include "platform/win/Rect.h"
#include "platform/win/Types.h"

namespace win {

inline constexpr UINT SPI_GETWORKAREA = 0x0030;
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;

// SPI_GETWORKAREA writes the primary screen's work area to the RECT at
// `param`; nonzero on success. Other actions and a null `param` fail with
// ERROR_INVALID_PARAMETER.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, void* param, UINT winIni);
BOOL SystemParametersInfoA(UINT action, UINT uiParam, void* param, UINT winIni);
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni);

// SM_CXSCREEN / SM_CYSCREEN; 0 for anything else.
int GetSystemMetrics(int index);

// Sets the screen and its work area (the work area lies within the screen).
void SetScreen(const SIZE& screen, const RECT& workArea);
// Back to the default (or VELMORASTINE_SCREEN).
void ResetScreen();

} // namespace win
