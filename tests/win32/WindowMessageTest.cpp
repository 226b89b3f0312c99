// The Windows panel in-process: the template as the dialog manager built it, and the trackbar's
// and up-down control's notifications sent to the real window as the controls send them.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "ControlIds.h"
#include "SelectionState.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"
#include "StepCtlDlg.h"
#include "WindowDialog.h"

namespace {

int g_failures = 0;

void expect(bool ok, const std::string& what) {
    if (!ok) {
        ++g_failures;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

std::string text(HWND hDlg, int id) {
    return stepctl::win32::WindowDialog(hDlg).text(id);
}

std::string className(HWND hCtl) {
    wchar_t name[64] = {};
    GetClassNameW(hCtl, name, 64);
    return stepctl::win32::narrow(name);
}

// Style bits each control must have and must not have, as the template gives them.
struct TemplateRow {
    int id;
    const char* cls;
    LONG must;
    LONG mustNot;
};

const TemplateRow kTemplate[] = {
    {IDOK, "Button", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0},
    {IDC_EDIT_STATE, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED, ES_READONLY},
    {IDC_BUTTON_SEND, "Button", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {IDC_SLIDER_ATTEN, TRACKBAR_CLASSA,
     TBS_AUTOTICKS | TBS_BOTH | TBS_ENABLESELRANGE | TBS_TOOLTIPS | WS_TABSTOP, TBS_VERT},
    {IDC_RADIO_6BIT, "Button", BS_AUTORADIOBUTTON | WS_GROUP, WS_VISIBLE},
    {IDC_RADIO_7BIT, "Button", BS_AUTORADIOBUTTON | WS_GROUP, WS_VISIBLE},
    {IDC_RADIO_DOUBLE, "Button", BS_AUTORADIOBUTTON | WS_GROUP, WS_VISIBLE},
    {IDC_RADIO_SERIAL, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {IDC_RADIO_PARALLEL, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {IDC_RADIO_SERIAL_ADDR, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {IDC_SPIN_ATTEN, UPDOWN_CLASSA, UDS_ARROWKEYS,
     UDS_HORZ | UDS_AUTOBUDDY | UDS_SETBUDDYINT | WS_TABSTOP},
    {IDC_STATIC_CONNECTED, "Static", SS_CENTER | WS_BORDER, SS_NOTIFY},
    {IDC_STATIC_NOTCONNECTED, "Static", SS_CENTER | WS_BORDER, SS_NOTIFY},
    {IDC_STATIC_BANNER, "Static", SS_RIGHT | SS_ENDELLIPSIS, SS_NOTIFY},
    {IDC_PICTURE_LOGO, "Static", SS_BITMAP, SS_NOTIFY},
    {IDC_COMBO_ADDRESS, "ComboBox", CBS_DROPDOWN | CBS_SORT | CBS_DISABLENOSCROLL, 0},
    {IDC_COMBO_DEVICE, "ComboBox", CBS_DROPDOWN | CBS_DISABLENOSCROLL, CBS_SORT},
    {IDC_EDIT_ATTEN2, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
    {IDC_EDIT_STATE2, "Edit", ES_AUTOHSCROLL | WS_BORDER | WS_DISABLED, ES_READONLY},
};

void checkTemplate(HWND hDlg) {
    for (const TemplateRow& row : kTemplate) {
        HWND hCtl = GetDlgItem(hDlg, row.id);
        const std::string name = "control " + std::to_string(row.id);
        expect(hCtl != nullptr, name + " exists");
        if (hCtl == nullptr)
            continue;
        expect(lstrcmpiA(className(hCtl).c_str(), row.cls) == 0, name + " is a " + row.cls);
        const LONG style = GetWindowLongW(hCtl, GWL_STYLE);
        // Button, combo box and static kinds are values in the low bits, not flags.
        const LONG kindMask = row.cls[0] == 'B'   ? BS_TYPEMASK
                              : row.cls[0] == 'C' ? 3
                              : row.cls[0] == 'S' ? SS_TYPEMASK
                                                  : 0;
        const LONG flags = row.must & ~kindMask;
        expect((style & kindMask) == (row.must & kindMask), name + " is of its kind");
        // The dialog manager turns a template's border into the 3-D edge of the day.
        const LONG exStyle = GetWindowLongW(hCtl, GWL_EXSTYLE);
        const LONG border = exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE) ? WS_BORDER : 0;
        expect(((style | border) & flags) == flags, name + " has its styles");
        expect((style & row.mustNot) == 0, name + " lacks the styles it must not have");
    }
    // The address list sorted as text still gives the address as the index.
    wchar_t item[8] = {};
    SendDlgItemMessageW(hDlg, IDC_COMBO_ADDRESS, CB_GETLBTEXT, 7, reinterpret_cast<LPARAM>(item));
    expect(stepctl::win32::narrow(item) == "7", "address 7 is the eighth entry");
    // The window menu ends with a separator and the About entry.
    HMENU hMenu = GetSystemMenu(hDlg, FALSE);
    const int n = GetMenuItemCount(hMenu);
    wchar_t entry[64] = {};
    GetMenuStringW(hMenu, IDM_ABOUTBOX, entry, 64, MF_BYCOMMAND);
    expect(n >= 2 && GetMenuItemID(hMenu, n - 1) == IDM_ABOUTBOX, "About is the last entry");
    expect(GetMenuState(hMenu, static_cast<UINT>(n - 2), MF_BYPOSITION) & MF_SEPARATOR,
           "a separator before About");
    expect(stepctl::win32::narrow(entry) == "&About StepCtl...", "the About entry's text");
    expect(SendMessageW(hDlg, WM_QUERYDRAGICON, 0, 0) != 0, "an icon to drag when minimised");
    expect((GetWindowLongW(hDlg, GWL_STYLE) & DS_CENTER) != 0, "the panel centred on the screen");

    // The manifest brings common controls 6, the side-by-side assembly of that version (its
    // DllGetVersion says 5 under wine, so the file it came from tells).
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), loaded, MAX_PATH);
    const std::string path = stepctl::win32::narrow(loaded);
    expect(path.find("common-controls") != std::string::npos &&
               path.find("_6.0.") != std::string::npos,
           "common controls 6 (" + path + ")");
}

std::string menuText(HMENU hMenu, UINT item, UINT by) {
    wchar_t text[128] = {};
    GetMenuStringW(hMenu, item, text, 128, by);
    return stepctl::win32::narrow(text);
}

// The window menu's frame view and Board entries; a Board line picked as a person picks it
// moves the check mark and the banner.
void checkWindowMenu(HWND hDlg) {
    HMENU hMenu = GetSystemMenu(hDlg, FALSE);
    expect(menuText(hMenu, IDM_FRAMEVIEW, MF_BYCOMMAND) == "&Frame view...",
           "the frame view entry");
    HMENU hBoard = nullptr;
    for (int i = 0; i < GetMenuItemCount(hMenu); ++i) {
        if (GetSubMenu(hMenu, i) != nullptr &&
            menuText(hMenu, static_cast<UINT>(i), MF_BYPOSITION) == "&Board")
            hBoard = GetSubMenu(hMenu, i);
    }
    expect(hBoard != nullptr, "a Board submenu");
    if (hBoard == nullptr)
        return;
    const UINT first = IDM_BOARD_FIRST, simulated = IDM_BOARD_FIRST + 0x10;
    expect(menuText(hBoard, first, MF_BYCOMMAND) == "&First chip", "the first chip's line");
    expect(menuText(hBoard, simulated, MF_BYCOMMAND) == "&Simulated board", "the simulated line");
    expect(GetMenuState(hBoard, simulated, MF_BYCOMMAND) & MF_CHECKED, "started on the simulated");
    expect(text(hDlg, IDC_STATIC_BANNER) == "StepCtl \u00b7 simulated board", "its banner");
    SendMessageW(hDlg, WM_SYSCOMMAND, first, 0);
    expect(GetMenuState(hBoard, first, MF_BYCOMMAND) & MF_CHECKED, "the first chip checked");
    expect(text(hDlg, IDC_STATIC_BANNER) == "StepCtl \u00b7 DSA/DVGA control", "a chip's banner");
    SendMessageW(hDlg, WM_COMMAND, simulated, 0);  // as a submenu's line may come
    expect(GetMenuState(hBoard, simulated, MF_BYCOMMAND) & MF_CHECKED, "the simulated again");
    expect(text(hDlg, IDC_STATIC_BANNER) == "StepCtl \u00b7 simulated board", "its banner again");
}

// A typed address settles when the list loses the focus; the tooltip control has a tool for
// each indicator static.
void checkTypedAddressAndTips(HWND hDlg, stepctl::win32::CStepCtlDlg& dlg) {
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_RADIO_SERIAL_ADDR, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_RADIO_SERIAL_ADDR)));
    SetDlgItemTextW(hDlg, IDC_COMBO_ADDRESS, L" 6 ");
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_COMBO_ADDRESS, CBN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDC_COMBO_ADDRESS)));
    expect(SendDlgItemMessageW(hDlg, IDC_COMBO_ADDRESS, CB_GETCURSEL, 0, 0) == 6, "address 6");
    expect(text(hDlg, IDC_COMBO_ADDRESS) == "6", "the field shows 6");
    HWND hTip = dlg.dialog()->toolTipWindow();
    expect(hTip != nullptr && SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0) == 2,
           "a tooltip over each indicator static");
}

// WM_HSCROLL as the trackbar sends it: only a drag or its release moves the fields.
void checkScrollCodes(HWND hDlg) {
    HWND hBar = GetDlgItem(hDlg, IDC_SLIDER_ATTEN);
    const struct {
        int code;
        bool moves;
    } cases[] = {{TB_LINEUP, false},   {TB_LINEDOWN, false},     {TB_PAGEUP, false},
                 {TB_PAGEDOWN, false}, {TB_THUMBPOSITION, true}, {TB_THUMBTRACK, true},
                 {TB_TOP, false},      {TB_BOTTOM, false},       {TB_ENDTRACK, false}};
    for (const auto& c : cases) {
        SendMessageW(hDlg, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 10),
                     reinterpret_cast<LPARAM>(hBar));
        SendMessageW(hDlg, WM_HSCROLL, MAKEWPARAM(c.code, 40), reinterpret_cast<LPARAM>(hBar));
        const std::string name = "scroll code " + std::to_string(c.code);
        expect(text(hDlg, IDC_EDIT_STATE) == (c.moves ? "40" : "10"), name + ": state field");
        expect(text(hDlg, IDC_EDIT_ATTEN) == (c.moves ? "20.00" : "5.00"), name + ": dB field");
        expect(g_nAttenCode == (c.moves ? 40 : 10), name + ": g_nAttenCode");
    }
}

// UDN_DELTAPOS: a negative step raises the state by one, any other lowers it by one; the
// control is always allowed its own change.
void checkDeltaPos(HWND hDlg) {
    HWND hSpin = GetDlgItem(hDlg, IDC_SPIN_ATTEN);
    const struct {
        int iDelta;
        const char* state;
    } cases[] = {{-1, "11"}, {-7, "11"}, {1, "9"}, {5, "9"}, {0, "9"}};
    for (const auto& c : cases) {
        g_nAttenCode = 10;
        NMUPDOWN change{};
        change.hdr.hwndFrom = hSpin;
        change.hdr.idFrom = IDC_SPIN_ATTEN;
        change.hdr.code = UDN_DELTAPOS;
        change.iDelta = c.iDelta;
        SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 1);
        const LRESULT handled =
            SendMessageW(hDlg, WM_NOTIFY, IDC_SPIN_ATTEN, reinterpret_cast<LPARAM>(&change));
        const std::string name = "iDelta " + std::to_string(c.iDelta);
        expect(text(hDlg, IDC_EDIT_STATE) == c.state, name + ": state field");
        expect(SendDlgItemMessageW(hDlg, IDC_SLIDER_ATTEN, TBM_GETPOS, 0, 0) == std::stoi(c.state),
               name + ": thumb");
        expect(handled == 0 && GetWindowLongPtrW(hDlg, DWLP_MSGRESULT) == 0, name + ": result 0");
    }
    // The control itself, with its default range: a click on the up arrow raises the state.
    g_nAttenCode = 10;
    RECT r;
    GetClientRect(hSpin, &r);
    const LPARAM upper = MAKELPARAM(r.right / 2, r.bottom / 4);
    SendMessageW(hSpin, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    SendMessageW(hSpin, WM_LBUTTONUP, 0, upper);
    pump();
    expect(text(hDlg, IDC_EDIT_STATE) == "11", "the up arrow raises the state");
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    stepctl::SimulatedBoard board;
    stepctl::setBoardLink(&board);

    stepctl::win32::CStepCtlDlg dlg(GetModuleHandleW(nullptr));
    HWND hDlg = dlg.Create();
    expect(hDlg != nullptr, "the panel opens");
    if (hDlg != nullptr) {
        pump();
        checkTemplate(hDlg);
        checkScrollCodes(hDlg);
        checkDeltaPos(hDlg);
        checkWindowMenu(hDlg);
        checkTypedAddressAndTips(hDlg, dlg);
    }
    stepctl::setBoardLink(nullptr);
    std::printf("%s\n", g_failures == 0 ? "all passed" : "some failed");
    return g_failures == 0 ? 0 : 1;
}
