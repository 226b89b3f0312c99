// The connection indicator: centred text in its own colour inside a neutral one-pixel frame.
#pragma once

#include <QLabel>

class Indicator final : public QLabel {
    Q_OBJECT
  public:
    Indicator(const QString& text, const QColor& textColour, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
