#include "WindowDialog.h"

#include <commctrl.h>

#include <string>

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

void WindowDialog::setTrackbarRange(int id, int min, int max) {
    // No redraw request: the trackbar repaints when it next has to, and clamps its thumb itself.
    SendDlgItemMessageW(m_hDlg, id, TBM_SETRANGE, FALSE, MAKELPARAM(min, max));
}

void WindowDialog::setTrackbarPos(int id, int pos) {
    SendDlgItemMessageW(m_hDlg, id, TBM_SETPOS, TRUE, pos);
}

}  // namespace stepctl::win32
