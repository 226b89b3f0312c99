#include "StepCtlDlg.h"

#include <commctrl.h>

#include <string>

#include "AboutDlg.h"
#include "Catalogue.h"
#include "ChipDriver.h"
#include "ControlIds.h"
#include "D2xxLink.h"
#include "SharedLibrary.h"

namespace stepctl::win32 {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

constexpr int kAddressCount = 8;

const wchar_t* const kBannerSimulated = L"StepCtl \u00b7 simulated board";
const wchar_t* const kBannerNoDriver = L"StepCtl \u00b7 D2XX driver (ftd2xx.dll) missing";

// "Not Connected" alone would leave a user without FTDI's driver guessing at cable and board.
bool d2xxDriverMissing() {
    if (stepctl::defaultChipDriver() != stepctl::ChipDriver::D2xx)
        return false;
    std::string error;
    return stepctl::SharedLibrary::open(stepctl::d2xxLibraryFileName(), error) == nullptr;
}

bool hasClass(HWND hWnd, const wchar_t* name) {
    wchar_t className[32] = {};
    GetClassNameW(hWnd, className, static_cast<int>(std::size(className)));
    return lstrcmpiW(className, name) == 0;
}

}  // namespace

CStepCtlDlg::CStepCtlDlg(HINSTANCE hInstance, bool bSimulated)
    : m_hInstance(hInstance),
      m_bSimulated(bSimulated),
      m_hIcon(static_cast<HICON>(LoadImageW(hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                            0, 0, LR_DEFAULTSIZE | LR_SHARED))),
      m_hSmallIcon(static_cast<HICON>(LoadImageW(hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED))),
      m_brBkgr(CreateSolidBrush(kWhite)) {}

CStepCtlDlg::~CStepCtlDlg() {
    if (m_bModeless && m_hDlg != nullptr)
        DestroyWindow(m_hDlg);
    DeleteObject(m_brBkgr);
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
            if ((wParam & 0xFFF0) != IDM_ABOUTBOX)
                return FALSE;
            OnSysCommand(static_cast<UINT>(wParam));
            return TRUE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_COMMAND:
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
        default:
            return FALSE;
    }
}

BOOL CStepCtlDlg::OnInitDialog() {
    m_dialog = std::make_unique<WindowDialog>(m_hDlg);
    m_panel = std::make_unique<panel::StepCtlPanel>(*m_dialog);

    // The base initialisation: the lists receive their entries.
    FillLists();
    if (m_bSimulated)
        SetDlgItemTextW(m_hDlg, IDC_STATIC_BANNER, kBannerSimulated);
    else if (d2xxDriverMissing())
        SetDlgItemTextW(m_hDlg, IDC_STATIC_BANNER, kBannerNoDriver);

    // The white background is in force from here on (WM_CTLCOLORDLG and the static colours).
    InvalidateRect(m_hDlg, nullptr, TRUE);

    // Selections, enabled states, the probe, the trackbar and the state fields.
    m_panel->OnInitDialog();

    AppendAboutEntry();
    SendMessageW(m_hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    // The platform gives the focus to the first tab stop, Close.
    return TRUE;
}

void CStepCtlDlg::FillLists() {
    for (int address = 0; address < kAddressCount; ++address) {
        const std::wstring item = std::to_wstring(address);
        SendDlgItemMessageW(m_hDlg, IDC_COMBO_ADDRESS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item.c_str()));
    }
    // The device list is unsorted: its entries stay in catalogue row order.
    for (const DeviceEntry& entry : catalogue()) {
        const std::wstring item = widen(entry.name);
        SendDlgItemMessageW(m_hDlg, IDC_COMBO_DEVICE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(item.c_str()));
    }
}

void CStepCtlDlg::AppendAboutEntry() {
    HMENU hSysMenu = GetSystemMenu(m_hDlg, FALSE);
    if (hSysMenu == nullptr)
        return;
    wchar_t strAboutMenu[64] = {};
    if (LoadStringW(m_hInstance, IDS_ABOUTBOX, strAboutMenu,
                    static_cast<int>(std::size(strAboutMenu))) <= 0) {
        OutputDebugStringA("StepCtl: the About entry's text (string 101) is missing.\n");
        return;
    }
    AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
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
    if (nCode == CBN_SELCHANGE) {
        switch (nID) {
            case IDC_COMBO_DEVICE:
                m_panel->OnCbnSelchangeComboDevice();
                return true;
            case IDC_COMBO_ADDRESS:
                m_panel->OnCbnSelchangeComboAddress();
                return true;
            default:
                return false;
        }
    }
    return false;
}

void CStepCtlDlg::End(INT_PTR nResult) {
    if (m_bModeless)
        DestroyWindow(m_hDlg);
    else
        EndDialog(m_hDlg, nResult);
}

void CStepCtlDlg::OnSysCommand(UINT nID) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout(m_hInstance);
        dlgAbout.DoModal(m_hDlg);
    }
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
            default:
                break;
        }
    }
    return hbr;
}

}  // namespace stepctl::win32
