// The panel's controls, reached by id, as the handlers of panel/ see them. An id the template
// does not carry reads as empty and takes no change.
#pragma once

#include <QHash>

#include "Dialog.h"

class QWidget;

class WidgetDialog final : public stepctl::panel::Dialog {
  public:
    // `controls` is the dialog's index by id; it outlives this object.
    explicit WidgetDialog(const QHash<int, QWidget*>& controls) : controls_(controls) {}

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
    void setToolTip(int id, std::string_view text) override;
    void setAlert(int id, bool alert) override;
    void setTrackbarRange(int id, int min, int max) override;
    void setTrackbarPos(int id, int pos) override;

  private:
    QWidget* item(int id) const { return controls_.value(id, nullptr); }
    template <class Control>
    Control* as(int id) const;

    const QHash<int, QWidget*>& controls_;
};
