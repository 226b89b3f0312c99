// The dialog as the panel's handlers see it: controls reached by id, with the few operations
// the handlers use. The Qt panel implements it on widgets, the Windows panel on a dialog
// window, the tests on a table.
#pragma once

#include <string>
#include <string_view>

namespace stepctl::panel {

class Dialog {
  public:
    virtual ~Dialog() = default;

    // Text of an edit field, static or button (GetDlgItemText / SetDlgItemText).
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, std::string_view text) = 0;

    virtual void enable(int id, bool enabled) = 0;  // EnableWindow
    virtual void show(int id, bool shown) = 0;      // ShowWindow
    virtual void check(int id, bool checked) = 0;   // a radio's check mark

    // Selected entry of a drop-down list, -1 when none is selected; select(-1) clears it.
    // text() and setText() of a list are its edit field's.
    virtual int selectedIndex(int id) const = 0;
    virtual void select(int id, int index) = 0;

    // A list's entries (CB_ADDSTRING, CB_GETCOUNT, CB_GETLBTEXT). A sorted list puts a new
    // entry in its place.
    virtual void addEntry(int id, std::string_view text) = 0;
    virtual int entryCount(int id) const = 0;
    virtual std::string entryText(int id, int index) const = 0;

    // The tooltip shown over a control; empty for none.
    virtual void setToolTip(int id, std::string_view text) = 0;
    // Text in the connection indicator's red (true) or in the control's own colour.
    virtual void setAlert(int id, bool alert) = 0;

    // Trackbar range, set without a redraw request; the thumb moves into a narrower range by
    // itself.
    virtual void setTrackbarRange(int id, int min, int max) = 0;
    virtual void setTrackbarPos(int id, int pos) = 0;
};

}  // namespace stepctl::panel
