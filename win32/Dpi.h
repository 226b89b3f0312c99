// The dots per inch a window is drawn at, for what the platform does not scale by itself (the
// logo bitmap, the frame view's drawing).
#pragma once

#include <windows.h>

namespace stepctl::win32 {

// The window's own DPI where the system says it per window (Windows 10), else the screen's.
int windowDpi(HWND hWnd);

// `value` at 96 DPI, at `dpi`.
inline int scaled(int value, int dpi) {
    return MulDiv(value, dpi, 96);
}

}  // namespace stepctl::win32
