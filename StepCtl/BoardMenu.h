// The "&Board" submenu of the window menu: the lines of the panel's board choice (first chip,
// an attached chip by its serial number, the simulated board; for this run only), drawn as Qt
// menu entries. The choice itself, the watch on the link and the tooltip are the panel's.
#pragma once

#include <QObject>
#include <vector>

#include "BoardChoice.h"

class CStepCtlDlg;
class QMenu;

class BoardMenu final : public QObject {
    Q_OBJECT
  public:
    explicit BoardMenu(CStepCtlDlg* panel);

    // Adds the submenu to the window menu.
    QMenu* addTo(QMenu* windowMenu);
    // The link the next exchange goes to.
    stepctl::BoardLink* current() const;

  private:
    void rebuild(bool listChips);

    CStepCtlDlg* panel_;
    QMenu* menu_ = nullptr;
};
