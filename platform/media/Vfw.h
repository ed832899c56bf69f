// The media graph's own result codes, event codes, states and flags, by
// number. The generic COM codes (S_OK, E_FAIL, ...) are in Unknown.h.
#pragma once

#include <cstdint>

#include "platform/media/Unknown.h"

namespace media {

using REFERENCE_TIME = std::int64_t; // 100 ns units
using REFTIME = double; // seconds
using OAHWND = std::intptr_t; // a window handle as the automation interfaces pass it
using LONG_PTR = std::intptr_t;
using OAFilterState = LONG;

inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040237;
inline constexpr HRESULT VFW_S_DUPLICATE_NAME = 0x0004022D;
inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = static_cast<HRESULT>(0x80040200u);
inline constexpr HRESULT VFW_E_NEED_OWNER = static_cast<HRESULT>(0x80040202u);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = static_cast<HRESULT>(0x80040204u);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = static_cast<HRESULT>(0x80040207u);
inline constexpr HRESULT VFW_E_INVALID_DIRECTION = static_cast<HRESULT>(0x80040208u);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209u);
inline constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216u);
inline constexpr HRESULT VFW_E_NOT_STOPPED = static_cast<HRESULT>(0x80040224u);
inline constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227u);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = static_cast<HRESULT>(0x8004022Au);
inline constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = static_cast<HRESULT>(0x8004022Fu);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = static_cast<HRESULT>(0x80040240u);
inline constexpr HRESULT VFW_E_CIRCULAR_GRAPH = static_cast<HRESULT>(0x80040256u);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = static_cast<HRESULT>(0x8004025Fu);
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) and (ERROR_SHARING_VIOLATION)
inline constexpr HRESULT HRESULT_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002u);

enum FILTER_STATE : LONG { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
enum PIN_DIRECTION : LONG { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

inline constexpr LONG EC_COMPLETE = 0x01;
// A filter gave up: playback cannot go on (param1 the failure).
inline constexpr LONG EC_ERRORABORT = 0x03;

inline constexpr DWORD AM_SEEKING_NoPositioning = 0x0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 0x1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 0x2;
inline constexpr DWORD AM_SEEKING_IncrementalPositioning = 0x3;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 0x3;
inline constexpr DWORD AM_SEEKING_SeekToKeyFrame = 0x4;
inline constexpr DWORD AM_SEEKING_ReturnTime = 0x8;

inline constexpr DWORD AM_SEEKING_CanSeekAbsolute = 0x1;
inline constexpr DWORD AM_SEEKING_CanSeekForwards = 0x2;
inline constexpr DWORD AM_SEEKING_CanSeekBackwards = 0x4;
inline constexpr DWORD AM_SEEKING_CanGetCurrentPos = 0x8;
inline constexpr DWORD AM_SEEKING_CanGetStopPos = 0x10;
inline constexpr DWORD AM_SEEKING_CanGetDuration = 0x20;

inline constexpr GUID TIME_FORMAT_MEDIA_TIME{
    0x7B785574, 0x8C82, 0x11CF, {0xBC, 0x0C, 0x00, 0xAA, 0x00, 0xAC, 0x74, 0xF6}};

// The video renderer's modes.
inline constexpr DWORD VMR9Mode_Windowed = 0x1;
inline constexpr DWORD VMR9Mode_Windowless = 0x2;
inline constexpr DWORD VMR9Mode_Renderless = 0x4;
inline constexpr DWORD VMR9ARMode_None = 0;
inline constexpr DWORD VMR9ARMode_LetterBox = 1;

} // namespace media
