// The control panel as a dialog window: the template from the resources, the message map as a
// dialog procedure, and the panel's handlers behind it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "BoardChoice.h"
#include "StepCtlPanel.h"
#include "WindowDialog.h"

namespace stepctl::win32 {

class CFrameView;

class CStepCtlDlg {
  public:
    // `start` says how the program chose the board (the Board menu's check mark); the link
    // itself is installed by the caller.
    explicit CStepCtlDlg(HINSTANCE hInstance, panel::StartBoard start = {});
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
    WindowDialog* dialog() { return m_dialog.get(); }
    // The frame view window, once it has been opened.
    CFrameView* frameView() { return m_frameView.get(); }

  private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog();
    void BuildWindowMenu();
    void FillBoardMenu(bool listChips);
    bool OnCommand(int nID, int nCode);
    bool OnMenuCommand(UINT nID);
    void End(INT_PTR nResult);
    void OpenAbout();
    void OpenFrameView();
    bool OnPaint();
    INT_PTR OnNotify(const NMHDR& header);
    HBRUSH OnCtlColor(HDC hDC, HWND hCtl, UINT nCtlColor);
    HBRUSH BaseCtlColor(HDC hDC, HWND hCtl, UINT nCtlColor);
    void ScaleLogo();

    HINSTANCE m_hInstance;
    panel::StartBoard m_start;
    bool m_bModeless = false;
    HWND m_hDlg = nullptr;
    HICON m_hIcon;              // shared resource icon, never destroyed
    HICON m_hSmallIcon;         // the same icon at the small size
    HBRUSH m_brBkgr;            // the white background
    HBITMAP m_hLogo = nullptr;  // the logo at the window's scale, when it is not 1
    HMENU m_hBoardMenu = nullptr;
    std::vector<panel::BoardOption> m_boardLines;  // as the Board menu shows them
    std::unique_ptr<WindowDialog> m_dialog;
    std::unique_ptr<panel::StepCtlPanel> m_panel;
    std::unique_ptr<CFrameView> m_frameView;
};

}  // namespace stepctl::win32
