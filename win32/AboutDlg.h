// The About box: the icon, "StepCtl, Version 1.0" and OK, from its own template.
#pragma once

#include <windows.h>

namespace stepctl::win32 {

class CAboutDlg {
  public:
    explicit CAboutDlg(HINSTANCE hInstance) : m_hInstance(hInstance) {}

    // Modal over hOwner; OK, Enter and Escape close it.
    INT_PTR DoModal(HWND hOwner);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE m_hInstance;
};

}  // namespace stepctl::win32
