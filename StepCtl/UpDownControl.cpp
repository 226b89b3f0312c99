#include "UpDownControl.h"

#include <QToolButton>

namespace {

QToolButton* makeArrow(Qt::ArrowType type, QWidget* parent) {
    auto* arrow = new QToolButton(parent);
    arrow->setArrowType(type);
    arrow->setAutoRepeat(true);
    arrow->setAutoRepeatDelay(500);
    arrow->setAutoRepeatInterval(100);
    arrow->setFocusPolicy(Qt::NoFocus);  // no tab stop, as the control has no buddy to steer
    return arrow;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(makeArrow(Qt::UpArrow, this)), down_(makeArrow(Qt::DownArrow, this)) {
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    setFocusPolicy(Qt::NoFocus);
    // An auto-repeating button reports each repeat as a click.
    connect(up_, &QToolButton::clicked, this, [this] { notify(-1, up_); });
    connect(down_, &QToolButton::clicked, this, [this] { notify(+1, down_); });
}

int UpDownControl::stepAfter(int notifications) {
    if (notifications >= 20)
        return 20;
    if (notifications >= 5)
        return 5;
    return 1;
}

void UpDownControl::notify(int direction, QToolButton* arrow) {
    // Repeats arrive while the arrow is still down; the last notification comes with its release.
    const int step = stepAfter(held_);
    held_ = arrow->isDown() ? held_ + 1 : 0;
    emit deltaPos(direction * step);
}

void UpDownControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}
