// A radio button that stands alone in its group: clicking checks it and clears nothing else.
// A click on it while checked leaves it checked (Qt would uncheck a non-exclusive radio) and
// still reports the click, so its handler runs again.
#pragma once

#include <QRadioButton>

class SelectorRadio final : public QRadioButton {
    Q_OBJECT
  public:
    SelectorRadio(const QString& text, QWidget* parent);

  protected:
    void nextCheckState() override;
};
