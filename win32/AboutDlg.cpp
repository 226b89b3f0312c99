#include "AboutDlg.h"

#include <algorithm>

#include "ControlIds.h"

namespace stepctl::win32 {
namespace {

// Over the middle of its owner, kept on the owner's screen.
void centreOnOwner(HWND hDlg) {
    HWND hOwner = GetWindow(hDlg, GW_OWNER);
    if (hOwner == nullptr)
        return;  // the template's DS_CENTER has placed it on the screen
    RECT owner{}, self{};
    GetWindowRect(hOwner, &owner);
    GetWindowRect(hDlg, &self);
    const int w = self.right - self.left;
    const int h = self.bottom - self.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(hOwner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int x = std::clamp(static_cast<int>(owner.left + owner.right - w) / 2,
                             static_cast<int>(work.left), static_cast<int>(work.right) - w);
    const int y = std::clamp(static_cast<int>(owner.top + owner.bottom - h) / 2,
                             static_cast<int>(work.top), static_cast<int>(work.bottom) - h);
    SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

INT_PTR CAboutDlg::DoModal(HWND hOwner) {
    return DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_ABOUTBOX), hOwner, DialogProc, 0);
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            centreOnOwner(hDlg);
            return TRUE;  // focus to OK
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(hDlg, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace stepctl::win32
