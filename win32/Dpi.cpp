#include "Dpi.h"

namespace stepctl::win32 {

int windowDpi(HWND hWnd) {
    // Looked up, not linked: older systems have no such call.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && hWnd != nullptr) {
        if (const UINT dpi = getDpiForWindow(hWnd); dpi != 0)
            return static_cast<int>(dpi);
    }
    HDC hDC = GetDC(nullptr);
    const int dpi = GetDeviceCaps(hDC, LOGPIXELSY);
    ReleaseDC(nullptr, hDC);
    return dpi > 0 ? dpi : 96;
}

}  // namespace stepctl::win32
