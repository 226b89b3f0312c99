#include "WindowDialog.h"

#include <commctrl.h>

#include <string>

#include "Dpi.h"

namespace stepctl::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty())
        return {};
    const int size = static_cast<int>(utf16.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::string WindowDialog::text(int id) const {
    HWND hCtl = GetDlgItem(m_hDlg, id);
    const int length = GetWindowTextLengthW(hCtl);
    if (length <= 0)
        return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetDlgItemTextW(m_hDlg, id, buffer.data(), length + 1);
    buffer.resize(static_cast<std::size_t>(got));
    return narrow(buffer);
}

void WindowDialog::setText(int id, std::string_view text) {
    SetDlgItemTextW(m_hDlg, id, widen(text).c_str());
}

void WindowDialog::enable(int id, bool enabled) {
    EnableWindow(GetDlgItem(m_hDlg, id), enabled ? TRUE : FALSE);
}

void WindowDialog::show(int id, bool shown) {
    ShowWindow(GetDlgItem(m_hDlg, id), shown ? SW_SHOW : SW_HIDE);
}

void WindowDialog::check(int id, bool checked) {
    CheckDlgButton(m_hDlg, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int WindowDialog::selectedIndex(int id) const {
    const LRESULT index = SendDlgItemMessageW(m_hDlg, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void WindowDialog::select(int id, int index) {
    SendDlgItemMessageW(m_hDlg, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

WindowDialog::~WindowDialog() {
    if (m_hTip != nullptr && IsWindow(m_hTip))
        DestroyWindow(m_hTip);
}

void WindowDialog::addEntry(int id, std::string_view text) {
    // A sorted list (CBS_SORT) puts the entry in its place by itself.
    SendDlgItemMessageW(m_hDlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

int WindowDialog::entryCount(int id) const {
    const LRESULT count = SendDlgItemMessageW(m_hDlg, id, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::string WindowDialog::entryText(int id, int index) const {
    const LRESULT length =
        SendDlgItemMessageW(m_hDlg, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0)
        return {};
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendDlgItemMessageW(m_hDlg, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(got == CB_ERR ? 0 : static_cast<std::size_t>(got));
    return narrow(buffer);
}

namespace {

// A control's rectangle in the dialog's client coordinates.
RECT rectInDialog(HWND hDlg, HWND hCtl) {
    RECT r{};
    GetWindowRect(hCtl, &r);
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TTTOOLINFOW toolFor(HWND hDlg, int id) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hDlg;
    tool.uId = static_cast<UINT_PTR>(id);
    return tool;
}

}  // namespace

void WindowDialog::setToolTip(int id, std::string_view text) {
    HWND hCtl = GetDlgItem(m_hDlg, id);
    if (hCtl == nullptr)
        return;
    if (m_hTip == nullptr) {
        m_hTip = CreateWindowExW(
            WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hDlg, nullptr,
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hDlg, GWLP_HINSTANCE)), nullptr);
        if (m_hTip == nullptr)
            return;
        // A width makes the tip wrap and take its line breaks; long enough to read it whole.
        SendMessageW(m_hTip, TTM_SETMAXTIPWIDTH, 0, scaled(420, windowDpi(m_hDlg)));
        SendMessageW(m_hTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    }
    // The platform breaks lines at CR LF.
    std::wstring tip;
    for (const wchar_t c : widen(text)) {
        if (c == L'\n')
            tip += L'\r';
        tip += c;
    }
    const bool known = m_tips.count(id) != 0;
    std::wstring& stored = m_tips[id];
    stored = std::move(tip);
    TTTOOLINFOW tool = toolFor(m_hDlg, id);
    tool.rect = rectInDialog(m_hDlg, hCtl);
    tool.lpszText = stored.data();
    SendMessageW(m_hTip, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0,
                 reinterpret_cast<LPARAM>(&tool));
}

void WindowDialog::placeToolTips() {
    for (const auto& [id, text] : m_tips) {
        TTTOOLINFOW tool = toolFor(m_hDlg, id);
        tool.rect = rectInDialog(m_hDlg, GetDlgItem(m_hDlg, id));
        SendMessageW(m_hTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void WindowDialog::setAlert(int id, bool alert) {
    const bool was = m_alerts.count(id) != 0;
    if (alert)
        m_alerts.insert(id);
    else
        m_alerts.erase(id);
    // The colour is chosen when the control paints.
    if (was != alert)
        InvalidateRect(GetDlgItem(m_hDlg, id), nullptr, TRUE);
}

void WindowDialog::setTrackbarRange(int id, int min, int max) {
    // No redraw request: the trackbar repaints when it next has to, and clamps its thumb itself.
    SendDlgItemMessageW(m_hDlg, id, TBM_SETRANGE, FALSE, MAKELPARAM(min, max));
}

void WindowDialog::setTrackbarPos(int id, int pos) {
    SendDlgItemMessageW(m_hDlg, id, TBM_SETPOS, TRUE, pos);
}

}  // namespace stepctl::win32
