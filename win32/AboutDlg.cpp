#include "AboutDlg.h"

#include "ControlIds.h"

namespace stepctl::win32 {

INT_PTR CAboutDlg::DoModal(HWND hOwner) {
    return DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_ABOUTBOX), hOwner, DialogProc, 0);
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
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
