// The board the panel talks to, for this run only. A watch sits between the panel and the
// link in force; the "&Board" submenu of the window menu picks the first FTDI chip, an attached
// chip by its serial number, or the simulated board; the indicator's tooltip says which chip and
// driver the last exchange used and why it failed. Nothing is saved.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "WatchedLink.h"

class CStepCtlDlg;
class QMenu;

namespace stepctl {
class SimulatedBoard;
}

class BoardMenu final : public QObject {
    Q_OBJECT
  public:
    // Installs the watch around the link in force; that link is installed again when this goes.
    explicit BoardMenu(CStepCtlDlg* panel);
    ~BoardMenu() override;

    // Adds the submenu to the window menu.
    QMenu* addTo(QMenu* windowMenu);
    // The link the next exchange goes to.
    stepctl::BoardLink* current() const { return watch_.inner(); }

    // Puts the words for the last exchange on the indicator.
    void showLastExchange();

  private:
    enum class Choice { Installed, FirstChip, Chip, Simulated };
    void rebuild(bool listChips);
    void choose(Choice choice, const QString& serial = {});
    QString toolTip() const;

    CStepCtlDlg* panel_;
    stepctl::BoardLink* before_;
    stepctl::WatchedLink watch_;
    stepctl::SimulatedBoard* startSim_ = nullptr;  // the simulated board the panel started on
    std::unique_ptr<stepctl::BoardLink> chosen_;   // a link picked from the menu
    std::unique_ptr<stepctl::SimulatedBoard> ownSim_;
    Choice choice_ = Choice::Installed;
    QString serial_;
    bool changed_ = false;    // the choice was changed in the menu
    int shownExchanges_ = 0;  // exchanges when it was last changed
    QMenu* menu_ = nullptr;
};
