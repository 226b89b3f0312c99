#include "Indicator.h"

#include <QPainter>

Indicator::Indicator(const QString& text, const QColor& textColour, QWidget* parent)
    : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    // The frame is drawn here: a plain QFrame box takes the text colour for its lines.
    setFrameStyle(QFrame::NoFrame);
    setContentsMargins(1, 1, 1, 1);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, textColour);
    setPalette(p);
}

void Indicator::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
