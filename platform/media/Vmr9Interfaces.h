// The Video Mixing Renderer 9's configuration and windowless-control
// interfaces.
//
// All on the thread that uses the graph (the user interface thread).
#pragma once

#include "platform/media/FilterClasses.h"
#include "platform/media/FilterInterfaces.h"
#include "platform/win/Rect.h"
#include "platform/win/Types.h"

namespace win {
struct HDC__; // the device context handle of the drawing layer
}

namespace media {

using win::HWND;
using win::RECT;
using HDC = win::HDC__*;
using COLORREF = DWORD; // 0x00BBGGRR

struct IVMRFilterConfig9 : IUnknown {
    static constexpr IID iid{0x5A804648, 0x4F66, 0x4867, {0x9C, 0x43, 0x4F, 0x5C, 0x82, 0x2C, 0xF1, 0xB8}};
    virtual HRESULT SetNumberOfStreams(DWORD max) = 0;
    virtual HRESULT GetNumberOfStreams(DWORD* max) = 0;
    // VMR9Mode_Windowed, _Windowless or _Renderless: E_INVALIDARG for others;
    // VFW_E_WRONG_STATE once the input is connected or another mode was set.
    virtual HRESULT SetRenderingMode(DWORD mode) = 0;
    virtual HRESULT GetRenderingMode(DWORD* mode) = 0;
};

// Offered (QueryInterface) only in windowless mode.
struct IVMRWindowlessControl9 : IUnknown {
    static constexpr IID iid{0x8F537D09, 0xF85E, 0x4414, {0xB2, 0x3B, 0x50, 0x2E, 0x54, 0xC7, 0x99, 0x27}};
    // Width and height of the connected video (aspect ratio the same);
    // VFW_E_NOT_CONNECTED with no video connected; E_POINTER for a null
    // width or height (the aspect ratio outputs may be null).
    virtual HRESULT GetNativeVideoSize(LONG* width, LONG* height, LONG* arWidth, LONG* arHeight) = 0;
    virtual HRESULT GetMinIdealVideoSize(LONG* width, LONG* height) = 0;
    virtual HRESULT GetMaxIdealVideoSize(LONG* width, LONG* height) = 0;
    // Either may be null (that one is kept); E_POINTER when both are.
    // Source: inside the video (E_INVALIDARG otherwise; all zero means the
    // whole picture). Destination: any rectangle that is not inverted, also
    // larger than or outside the clipping window (E_INVALIDARG when inverted).
    virtual HRESULT SetVideoPosition(const RECT* source, const RECT* destination) = 0;
    // The rectangles as last set; either may be null, not both (E_POINTER).
    virtual HRESULT GetVideoPosition(RECT* source, RECT* destination) = 0;
    virtual HRESULT GetAspectRatioMode(DWORD* mode) = 0;
    // VMR9ARMode_None or VMR9ARMode_LetterBox; E_INVALIDARG for others.
    virtual HRESULT SetAspectRatioMode(DWORD mode) = 0;
    // E_INVALIDARG for a window that does not exist.
    virtual HRESULT SetVideoClippingWindow(HWND window) = 0;
    // Presents the current picture again into `dc` of `window`; E_POINTER for
    // a null dc.
    virtual HRESULT RepaintVideo(HWND window, HDC dc) = 0;
    virtual HRESULT DisplayModeChanged() = 0;
    // One block in task memory: a 40-byte BITMAPINFOHEADER, then the picture
    // at its native size, 32 bits per pixel, bottom-up. Free it with
    // CoTaskMemFree. E_POINTER for null; VFW_E_NOT_CONNECTED with no video
    // connected; E_FAIL while no picture was shown yet.
    virtual HRESULT GetCurrentImage(BYTE** dib) = 0;
    virtual HRESULT SetBorderColor(COLORREF colour) = 0;
    virtual HRESULT GetBorderColor(COLORREF* colour) = 0;
};

inline constexpr IID IID_IVMRFilterConfig9 = IVMRFilterConfig9::iid;
inline constexpr IID IID_IVMRWindowlessControl9 = IVMRWindowlessControl9::iid;

} // namespace media
