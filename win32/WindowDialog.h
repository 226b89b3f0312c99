// The panel's Dialog on a real dialog window: every operation is the platform's own call on the
// child with that id.
#pragma once

#include <windows.h>

#include "Dialog.h"

namespace stepctl::win32 {

class WindowDialog final : public panel::Dialog {
  public:
    explicit WindowDialog(HWND hDlg) : m_hDlg(hDlg) {}

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    void enable(int id, bool enabled) override;
    void show(int id, bool shown) override;
    void check(int id, bool checked) override;
    int selectedIndex(int id) const override;
    void select(int id, int index) override;
    void setTrackbarRange(int id, int min, int max) override;
    void setTrackbarPos(int id, int pos) override;

  private:
    HWND m_hDlg;
};

// UTF-8 for the panel, UTF-16 for the window system.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace stepctl::win32
