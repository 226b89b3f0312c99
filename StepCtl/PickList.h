// The editable drop-down lists of the panel. Their text field takes typing, but a list never
// grows and never loses its selection: a typed text that names an entry (case ignored) picks
// that entry as a click in the list would, when the field is left or Enter is pressed; any
// other text goes back to the selected entry. The wheel picks only in a list that has the
// focus, so scrolling past the panel never changes the device.
#pragma once

#include <QComboBox>

class PickList final : public QComboBox {
    Q_OBJECT
  public:
    explicit PickList(QWidget* parent);

  signals:
    // The user picked an entry: in the list, with the keys, or by typing its name.
    void picked(int index);

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    void settleTypedText();

    bool pickedSinceTyping_ = false;  // Qt may already have picked the typed entry itself
};
