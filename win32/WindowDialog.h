// The panel's Dialog on a real dialog window: every operation is the platform's own call on the
// child with that id.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "Dialog.h"

namespace stepctl::win32 {

class WindowDialog final : public panel::Dialog {
  public:
    explicit WindowDialog(HWND hDlg) : m_hDlg(hDlg) {}
    ~WindowDialog() override;
    WindowDialog(const WindowDialog&) = delete;
    WindowDialog& operator=(const WindowDialog&) = delete;

    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    void enable(int id, bool enabled) override;
    void show(int id, bool shown) override;
    void check(int id, bool checked) override;
    int selectedIndex(int id) const override;
    void select(int id, int index) override;
    void addEntry(int id, std::string_view text) override;
    int entryCount(int id) const override;
    std::string entryText(int id, int index) const override;
    // A tooltip control of the dialog's own, with one tool per control over its rectangle: the
    // statics take no mouse input, so the dialog beneath them sees the pointer.
    void setToolTip(int id, std::string_view text) override;
    void setAlert(int id, bool alert) override;
    void setTrackbarRange(int id, int min, int max) override;
    void setTrackbarPos(int id, int pos) override;

    // For the colour handler: the control's text goes in the indicator's red.
    bool alert(int id) const { return m_alerts.count(id) != 0; }
    // The tooltip control, once a tip has been set.
    HWND toolTipWindow() const { return m_hTip; }
    // The tools' rectangles again, after the layout changed (a new DPI).
    void placeToolTips();

  private:
    HWND m_hDlg;
    HWND m_hTip = nullptr;
    std::map<int, std::wstring> m_tips;
    std::set<int> m_alerts;
};

// UTF-8 for the panel, UTF-16 for the window system.
std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace stepctl::win32
