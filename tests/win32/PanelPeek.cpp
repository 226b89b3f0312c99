// Looks at a running panel from outside, as an accessibility tool would: for each control id
// given, one line "id enabled visible checked left top right bottom pos min max|text", with the
// rectangle in screen coordinates and pos/min/max from a trackbar (0 otherwise). The id "focus"
// gives "focus <id of the control with the keyboard focus>"; "tip" gives "tip <shown>|<text>"
// for the window's tooltip on show (shown 0 and no text when none is); "menu" gives "menu 1"
// while a menu of the window is open, else "menu 0".
// Usage: panel-peek "window title" id...   Exit 1 when no such window is open.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

LRESULT ask(HWND hCtl, UINT message) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(hCtl, message, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    return static_cast<LRESULT>(result);
}

struct TipSearch {
    DWORD process;
    HWND found = nullptr;
};

// A tooltip window of the panel's process that is on show.
BOOL CALLBACK findTip(HWND hWnd, LPARAM lParam) {
    auto& search = *reinterpret_cast<TipSearch*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    wchar_t cls[64] = {};
    GetClassNameW(hWnd, cls, 64);
    if (process == search.process && lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 &&
        IsWindowVisible(hWnd)) {
        search.found = hWnd;
        return FALSE;
    }
    return TRUE;
}

std::string utf8(const wchar_t* text) {
    char out[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out - 1, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2)
        return 2;
    HWND hDlg = FindWindowW(nullptr, argv[1]);
    if (hDlg == nullptr)
        return 1;
    for (int i = 2; i < argc; ++i) {
        if (lstrcmpW(argv[i], L"focus") == 0) {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            GetGUIThreadInfo(GetWindowThreadProcessId(hDlg, nullptr), &info);
            std::printf("focus %d\n", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
            continue;
        }
        if (lstrcmpW(argv[i], L"menu") == 0) {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            GetGUIThreadInfo(GetWindowThreadProcessId(hDlg, nullptr), &info);
            const DWORD open = GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE;
            std::printf("menu %d\n", (info.flags & open) != 0 ? 1 : 0);
            continue;
        }
        if (lstrcmpW(argv[i], L"tip") == 0) {
            TipSearch search{};
            GetWindowThreadProcessId(hDlg, &search.process);
            EnumWindows(findTip, reinterpret_cast<LPARAM>(&search));
            wchar_t tip[1024] = {};
            if (search.found != nullptr)
                SendMessageTimeoutW(search.found, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(tip),
                                    SMTO_ABORTIFHUNG, 2000, nullptr);
            std::string text = utf8(tip);
            for (char& c : text)
                if (c == '\r' || c == '\n')
                    c = ' ';
            std::printf("tip %d|%s\n", search.found != nullptr ? 1 : 0, text.c_str());
            continue;
        }
        const int id = _wtoi(argv[i]);
        HWND hCtl = id == 0 ? hDlg : GetDlgItem(hDlg, id);
        if (hCtl == nullptr) {
            std::printf("%d missing\n", id);
            continue;
        }
        wchar_t text[256] = {};
        SendMessageTimeoutW(hCtl, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, nullptr);
        wchar_t cls[64] = {};
        GetClassNameW(hCtl, cls, 64);
        const bool trackbar = lstrcmpiW(cls, TRACKBAR_CLASSW) == 0;
        const bool button = lstrcmpiW(cls, L"Button") == 0;
        RECT r;
        GetWindowRect(hCtl, &r);
        std::printf("%d %d %d %d %ld %ld %ld %ld %ld %ld %ld|%s\n", id,
                    IsWindowEnabled(hCtl) ? 1 : 0, IsWindowVisible(hCtl) ? 1 : 0,
                    button && ask(hCtl, BM_GETCHECK) == BST_CHECKED ? 1 : 0, r.left, r.top, r.right,
                    r.bottom, static_cast<long>(trackbar ? ask(hCtl, TBM_GETPOS) : 0),
                    static_cast<long>(trackbar ? ask(hCtl, TBM_GETRANGEMIN) : 0),
                    static_cast<long>(trackbar ? ask(hCtl, TBM_GETRANGEMAX) : 0),
                    utf8(text).c_str());
    }
    std::fflush(stdout);
    return 0;
}
