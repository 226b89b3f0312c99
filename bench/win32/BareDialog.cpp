// The start-up baseline of the Windows panel: a Win32 program that shows one dialog from a
// template, of the panel's size and font, with a single button, and nothing else.
#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    return static_cast<int>(
        DialogBoxParamW(hInstance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0));
}
