#include "StepCtlDlg.h"

#include <commctrl.h>

#include <string>

#include "AboutDlg.h"
#include "ControlIds.h"
#include "Dpi.h"
#include "FrameView.h"

namespace stepctl::win32 {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// The logo bitmap's own size, at 96 DPI.
constexpr int kLogoWidth = 168;
constexpr int kLogoHeight = 53;

// Posted to itself after a change of DPI.
constexpr UINT kRescaleMessage = WM_APP + 1;

bool hasClass(HWND hWnd, const wchar_t* name) {
    wchar_t className[32] = {};
    GetClassNameW(hWnd, className, static_cast<int>(std::size(className)));
    return lstrcmpiW(className, name) == 0;
}

// The Board line behind a menu command, or -1.
int boardLineOf(UINT nID) {
    const UINT command = nID & 0xFFF0;
    if (command < IDM_BOARD_FIRST || command >= IDM_BOARD_FIRST + 0x10 * IDM_BOARD_LINES)
        return -1;
    return static_cast<int>((command - IDM_BOARD_FIRST) / 0x10);
}

}  // namespace

CStepCtlDlg::CStepCtlDlg(HINSTANCE hInstance, panel::StartBoard start)
    : m_hInstance(hInstance),
      m_start(std::move(start)),
      m_hIcon(static_cast<HICON>(LoadImageW(hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                            0, 0, LR_DEFAULTSIZE | LR_SHARED))),
      m_hSmallIcon(static_cast<HICON>(LoadImageW(hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED))),
      m_brBkgr(CreateSolidBrush(kWhite)) {}

CStepCtlDlg::~CStepCtlDlg() {
    m_frameView.reset();  // it watches the panel
    if (m_bModeless && m_hDlg != nullptr)
        DestroyWindow(m_hDlg);
    DeleteObject(m_brBkgr);
    if (m_hLogo != nullptr)
        DeleteObject(m_hLogo);
}

INT_PTR CStepCtlDlg::DoModal(HWND hParent) {
    return DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(IDD_STEPCTL_DIALOG), hParent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

HWND CStepCtlDlg::Create(HWND hParent) {
    m_bModeless = true;
    return CreateDialogParamW(m_hInstance, MAKEINTRESOURCEW(IDD_STEPCTL_DIALOG), hParent,
                              DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CStepCtlDlg::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<CStepCtlDlg*>(lParam);
        SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
        self->m_hDlg = hDlg;
        return self->OnMessage(message, wParam, lParam);
    }
    auto* self = reinterpret_cast<CStepCtlDlg*>(GetWindowLongPtrW(hDlg, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY)
        self->m_hDlg = nullptr;
    return self->OnMessage(message, wParam, lParam);
}

// The message map. FALSE hands a message to the platform's default dialog handling.
INT_PTR CStepCtlDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_SYSCOMMAND:
            return OnMenuCommand(static_cast<UINT>(wParam)) ? TRUE : FALSE;
        case WM_INITMENUPOPUP:
            // The chips attached now, each time the Board menu opens.
            if (reinterpret_cast<HMENU>(wParam) == m_hBoardMenu && m_hBoardMenu != nullptr)
                FillBoardMenu(true);
            return FALSE;
        case WM_HELP:  // F1
            OpenAbout();
            return TRUE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_COMMAND:
            // A submenu's line of the window menu may come this way, from no control.
            if (HIWORD(wParam) == 0 && lParam == 0 && OnMenuCommand(LOWORD(wParam)))
                return TRUE;
            return OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_HSCROLL:
            // Only the trackbar scrolls horizontally; the handler keeps the codes that count.
            m_panel->OnHScroll(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(m_brBkgr);
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<INT_PTR>(OnCtlColor(
                reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), CTLCOLOR_STATIC));
        case WM_DPICHANGED:
            // The dialog manager lays the template out again at the new scale; the bitmap and
            // the tips follow once it has.
            PostMessageW(m_hDlg, kRescaleMessage, 0, 0);
            return FALSE;
        case kRescaleMessage:
            ScaleLogo();
            m_dialog->placeToolTips();
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CStepCtlDlg::OnInitDialog() {
    m_dialog = std::make_unique<WindowDialog>(m_hDlg);
    m_panel = std::make_unique<panel::StepCtlPanel>(*m_dialog);
    m_panel->board().describeStart(m_start);

    // The white background is in force from here on (WM_CTLCOLORDLG and the static colours).
    InvalidateRect(m_hDlg, nullptr, TRUE);
    ScaleLogo();

    // Both lists, the selections, the enabled states, the probe, the trackbar, the state
    // fields, the banner and the indicator's tooltip.
    m_panel->OnInitDialog();

    BuildWindowMenu();
    SendMessageW(m_hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    // The platform gives the focus to the first tab stop, Close.
    return TRUE;
}

void CStepCtlDlg::ScaleLogo() {
    const int dpi = windowDpi(m_hDlg);
    if (dpi == 96 && m_hLogo == nullptr)
        return;  // the template's bitmap is drawn for 96 DPI
    auto* hLogo =
        static_cast<HBITMAP>(LoadImageW(m_hInstance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP,
                                        scaled(kLogoWidth, dpi), scaled(kLogoHeight, dpi), 0));
    if (hLogo == nullptr)
        return;
    // The static takes the bitmap's size; the one it showed before is ours to free, if ours.
    SendDlgItemMessageW(m_hDlg, IDC_PICTURE_LOGO, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(hLogo));
    if (m_hLogo != nullptr)
        DeleteObject(m_hLogo);
    m_hLogo = hLogo;
}

void CStepCtlDlg::BuildWindowMenu() {
    HMENU hSysMenu = GetSystemMenu(m_hDlg, FALSE);
    if (hSysMenu == nullptr)
        return;
    // The frame view and the board, as in the Qt panel's window menu; About stays last.
    AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hSysMenu, MF_STRING, IDM_FRAMEVIEW, L"&Frame view...");
    m_hBoardMenu = CreatePopupMenu();
    FillBoardMenu(false);
    AppendMenuW(hSysMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hBoardMenu), L"&Board");

    wchar_t strAboutMenu[64] = {};
    if (LoadStringW(m_hInstance, IDS_ABOUTBOX, strAboutMenu,
                    static_cast<int>(std::size(strAboutMenu))) <= 0) {
        OutputDebugStringA("StepCtl: the About entry's text (string 101) is missing.\n");
        return;
    }
    AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
}

void CStepCtlDlg::FillBoardMenu(bool listChips) {
    while (GetMenuItemCount(m_hBoardMenu) > 0)
        DeleteMenu(m_hBoardMenu, 0, MF_BYPOSITION);
    m_boardLines = m_panel->boardOptions(listChips);
    if (m_boardLines.size() > IDM_BOARD_LINES)
        m_boardLines.resize(IDM_BOARD_LINES);
    for (std::size_t i = 0; i < m_boardLines.size(); ++i) {
        const panel::BoardOption& line = m_boardLines[i];
        if (line.separatorBefore)
            AppendMenuW(m_hBoardMenu, MF_SEPARATOR, 0, nullptr);
        UINT flags = MF_STRING;
        if (!line.enabled)
            flags |= MF_GRAYED;
        if (line.checked)
            flags |= MF_CHECKED;
        AppendMenuW(m_hBoardMenu, flags, IDM_BOARD_FIRST + 0x10 * i, widen(line.label).c_str());
    }
}

// Window-menu commands. The lines of a submenu may come as WM_COMMAND instead.
bool CStepCtlDlg::OnMenuCommand(UINT nID) {
    switch (nID & 0xFFF0) {
        case IDM_ABOUTBOX:
            OpenAbout();
            return true;
        case IDM_FRAMEVIEW:
            OpenFrameView();
            return true;
        default:
            break;
    }
    const int line = boardLineOf(nID);
    if (line < 0 || static_cast<std::size_t>(line) >= m_boardLines.size() ||
        !m_boardLines[static_cast<std::size_t>(line)].enabled)
        return false;
    m_panel->OnBoardChosen(m_boardLines[static_cast<std::size_t>(line)]);
    FillBoardMenu(false);  // the check mark moves
    if (m_frameView)
        m_frameView->setSimulatedBoard(m_panel->board().simulatedBoard());
    return true;
}

bool CStepCtlDlg::OnCommand(int nID, int nCode) {
    switch (nID) {
        case IDOK:  // "Close": the state fields back into their texts, then the end
            m_panel->UpdateData(true);
            End(IDOK);
            return true;
        case IDCANCEL:  // Escape, the close box and Close on the window menu
            End(IDCANCEL);
            return true;
        default:
            break;
    }
    if (nCode == BN_CLICKED) {
        switch (nID) {
            case IDC_BUTTON_SEND:
                m_panel->OnBnClickedButtonSend();
                return true;
            case IDC_RADIO_SERIAL:
                m_panel->OnBnClickedRadioSerial();
                return true;
            case IDC_RADIO_PARALLEL:
                m_panel->OnBnClickedRadioParallel();
                return true;
            case IDC_RADIO_SERIAL_ADDR:
                m_panel->OnBnClickedRadioSerialAddr();
                return true;
            default:
                return false;
        }
    }
    if (nCode == CBN_SELCHANGE || nCode == CBN_KILLFOCUS) {
        const bool left = nCode == CBN_KILLFOCUS;
        switch (nID) {
            case IDC_COMBO_DEVICE:
                left ? m_panel->OnCbnKillfocusComboDevice() : m_panel->OnCbnSelchangeComboDevice();
                return true;
            case IDC_COMBO_ADDRESS:
                left ? m_panel->OnCbnKillfocusComboAddress()
                     : m_panel->OnCbnSelchangeComboAddress();
                return true;
            default:
                return false;
        }
    }
    return false;
}

void CStepCtlDlg::End(INT_PTR nResult) {
    m_frameView.reset();
    if (m_bModeless)
        DestroyWindow(m_hDlg);
    else
        EndDialog(m_hDlg, nResult);
}

void CStepCtlDlg::OpenAbout() {
    CAboutDlg dlgAbout(m_hInstance);
    dlgAbout.DoModal(m_hDlg);
}

void CStepCtlDlg::OpenFrameView() {
    // One view, kept while the panel lives; it follows every Send by itself.
    if (!m_frameView) {
        m_frameView = std::make_unique<CFrameView>(m_hInstance, m_panel->lastSend(),
                                                   m_panel->board().simulatedBoard());
    }
    m_frameView->Show(m_hDlg);
}

bool CStepCtlDlg::OnPaint() {
    if (!IsIconic(m_hDlg))
        return false;  // the platform paints the (white) background
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(m_hDlg, &ps);
    SendMessageW(m_hDlg, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(m_hDlg, &rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(hDC, x, y, m_hIcon);
    EndPaint(m_hDlg, &ps);
    return true;
}

INT_PTR CStepCtlDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_SPIN_ATTEN && header.code == UDN_DELTAPOS) {
        const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
        m_panel->OnDeltaposSpinAtten(change.iDelta);
        // 0: the up-down control applies its own change.
        SetWindowLongPtrW(m_hDlg, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    // The trackbar's custom-draw requests get 0 as well: the platform draws it.
    return FALSE;
}

HBRUSH CStepCtlDlg::BaseCtlColor(HDC hDC, HWND hCtl, UINT nCtlColor) {
    // Labels, group boxes and radios show the white background through their text; every other
    // control keeps the platform's colours.
    if (nCtlColor == CTLCOLOR_STATIC && (hasClass(hCtl, L"Static") || hasClass(hCtl, L"Button"))) {
        SetBkMode(hDC, TRANSPARENT);
        return m_brBkgr;
    }
    return nullptr;
}

HBRUSH CStepCtlDlg::OnCtlColor(HDC hDC, HWND hCtl, UINT nCtlColor) {
    HBRUSH hbr = BaseCtlColor(hDC, hCtl, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC) {
        switch (GetDlgCtrlID(hCtl)) {
            case IDC_STATIC_CONNECTED:
                SetTextColor(hDC, kBlue);
                SetBkColor(hDC, kWhite);
                break;
            case IDC_STATIC_NOTCONNECTED:
                SetTextColor(hDC, kRed);
                SetBkColor(hDC, kGreen);
                break;
            case IDC_STATIC_BANNER:
                // A failed Send's words, in the indicator's red.
                if (m_dialog && m_dialog->alert(IDC_STATIC_BANNER))
                    SetTextColor(hDC, kRed);
                break;
            default:
                break;
        }
    }
    return hbr;
}

}  // namespace stepctl::win32
