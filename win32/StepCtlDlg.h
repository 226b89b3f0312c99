// The control panel as a dialog window: the template from the resources, the message map as a
// dialog procedure, and the panel's handlers behind it.
#pragma once

#include <windows.h>

#include <memory>

#include "StepCtlPanel.h"
#include "WindowDialog.h"

namespace stepctl::win32 {

class CStepCtlDlg {
  public:
    // bSimulated only changes what the banner says; the link itself is chosen by the caller.
    explicit CStepCtlDlg(HINSTANCE hInstance, bool bSimulated = false);
    ~CStepCtlDlg();

    CStepCtlDlg(const CStepCtlDlg&) = delete;
    CStepCtlDlg& operator=(const CStepCtlDlg&) = delete;

    // Runs the dialog modally: IDOK or IDCANCEL, or -1 when the window could not be created.
    INT_PTR DoModal(HWND hParent = nullptr);

    // The same template as a modeless window, for tests that drive it from their own thread's
    // message loop. nullptr when it could not be created.
    HWND Create(HWND hParent = nullptr);

    // The dialog procedure of both: routes each message through the map.
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

    panel::StepCtlPanel* panel() { return m_panel.get(); }

  private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void FillLists();
    void AppendAboutEntry();
    bool OnCommand(int nID, int nCode);
    void End(INT_PTR nResult);
    void OnSysCommand(UINT nID);
    bool OnPaint();
    INT_PTR OnNotify(const NMHDR& header);
    HBRUSH OnCtlColor(HDC hDC, HWND hCtl, UINT nCtlColor);
    HBRUSH BaseCtlColor(HDC hDC, HWND hCtl, UINT nCtlColor);

    HINSTANCE m_hInstance;
    bool m_bSimulated;
    bool m_bModeless = false;
    HWND m_hDlg = nullptr;
    HICON m_hIcon;       // shared resource icon, never destroyed
    HICON m_hSmallIcon;  // the same icon at the small size
    HBRUSH m_brBkgr;     // the white background
    std::unique_ptr<WindowDialog> m_dialog;
    std::unique_ptr<panel::StepCtlPanel> m_panel;
};

}  // namespace stepctl::win32
