// A vertical up-down control without a buddy field: two arrow buttons that repeat while held.
// Each press and each repeat is one notification carrying a signed step. As on the platform
// whose default range runs from high to low, the up arrow reports a negative step and the down
// arrow a positive one. While an arrow is held the step grows (1, then 5, then 20), as the
// platform's control accelerates; receivers that only look at the sign are unaffected.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QToolButton;

class UpDownControl final : public QWidget {
    Q_OBJECT
  public:
    explicit UpDownControl(QWidget* parent);

    QToolButton* upArrow() const { return up_; }
    QToolButton* downArrow() const { return down_; }

    // The step reported after an arrow has been held for this many notifications.
    static int stepAfter(int notifications);

  signals:
    void deltaPos(int iDelta);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void notify(int direction, QToolButton* arrow);

    QToolButton* up_;
    QToolButton* down_;
    int held_ = 0;  // notifications since the arrow went down
};
