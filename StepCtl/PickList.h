// The editable drop-down lists of the panel. Their text field takes typing, but a list never
// grows by it: what a typed text picks is the panel's to decide when the field is left (or a
// Send reads it). The wheel picks only in a list that has the focus, so scrolling past the
// panel never changes the device.
#pragma once

#include <QComboBox>

class PickList final : public QComboBox {
    Q_OBJECT
  public:
    explicit PickList(QWidget* parent);

    // A sorted list (the platform's sorted drop-down) puts each entry in its place.
    void setSorted(bool sorted) { sorted_ = sorted; }
    void addEntry(const QString& text);

  signals:
    // The user picked an entry in the list or with the keys.
    void picked(int index);
    // The field was left, or Enter pressed in it.
    void fieldLeft();

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    bool sorted_ = false;
};
