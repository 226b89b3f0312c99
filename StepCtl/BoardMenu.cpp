#include "BoardMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "FtdiLink.h"
#include "LinkWords.h"
#include "ResourceIds.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"
#include "StepCtlDlg.h"

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

BoardMenu::BoardMenu(CStepCtlDlg* panel)
    : QObject(panel), panel_(panel), before_(&stepctl::boardLink()), watch_(before_) {
    if (auto* sim = dynamic_cast<stepctl::SimulatedBoard*>(before_)) {
        startSim_ = sim;
        choice_ = Choice::Simulated;
    } else if (auto* chip = dynamic_cast<stepctl::FtdiLink*>(before_)) {
        choice_ = chip->serial().empty() ? Choice::FirstChip : Choice::Chip;
        serial_ = text(chip->serial());
    }
    stepctl::setBoardLink(&watch_);
}

BoardMenu::~BoardMenu() {
    if (&stepctl::boardLink() == &watch_)
        stepctl::setBoardLink(before_);
}

QMenu* BoardMenu::addTo(QMenu* windowMenu) {
    menu_ = new QMenu(tr("&Board"), windowMenu);
    // Beside the frame view, above the About entry.
    const QList<QAction*> actions = windowMenu->actions();
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < actions.size(); ++i)
        if (actions[i]->data().toUInt() == IDM_FRAMEVIEW)
            before = actions[i + 1];
    windowMenu->insertMenu(before, menu_);
    menu_->setObjectName(QStringLiteral("boardMenu"));
    menu_->setPalette(windowMenu->palette());
    // The chips attached now, each time the menu opens.
    connect(menu_, &QMenu::aboutToShow, this, [this] { rebuild(true); });
    // Listing reads every chip's strings, so it waits until someone opens the menu.
    rebuild(false);
    return menu_;
}

void BoardMenu::rebuild(bool listChips) {
    menu_->clear();
    auto* group = new QActionGroup(menu_);
    auto item = [&](const QString& label, bool checked, auto onPick) {
        QAction* action = menu_->addAction(label);
        action->setCheckable(true);
        action->setChecked(checked);
        group->addAction(action);
        connect(action, &QAction::triggered, this, onPick);
        return action;
    };
    item(tr("&First chip"), choice_ == Choice::FirstChip, [this] { choose(Choice::FirstChip); });

    std::string error;
    const std::vector<stepctl::FtdiChipInfo> chips =
        listChips ? stepctl::listFtdiChips(&error) : std::vector<stepctl::FtdiChipInfo>{};
    for (const auto& chip : chips) {
        if (chip.serial.empty()) {
            // Without its serial number a chip cannot be asked for again.
            const QString why =
                chip.stringError.empty() ? tr("no serial number") : text(chip.stringError);
            menu_
                ->addAction(tr("Chip on USB bus %1, address %2: %3")
                                .arg(chip.bus)
                                .arg(chip.address)
                                .arg(why))
                ->setEnabled(false);
            continue;
        }
        const QString serial = text(chip.serial);
        item(tr("%1 \u2014 %2").arg(serial, text(chip.description)),
             choice_ == Choice::Chip && serial_ == serial,
             [this, serial] { choose(Choice::Chip, serial); });
    }
    if (!error.empty())
        menu_->addAction(tr("Cannot list the chips: %1").arg(text(error)))->setEnabled(false);
    else if (listChips && chips.empty())
        menu_->addAction(tr("No FTDI chip attached"))->setEnabled(false);

    menu_->addSeparator();
    item(tr("&Simulated board"), choice_ == Choice::Simulated,
         [this] { choose(Choice::Simulated); });
}

void BoardMenu::choose(Choice choice, const QString& serial) {
    stepctl::SimulatedBoard* sim = nullptr;
    switch (choice) {
        case Choice::FirstChip:
            chosen_ = std::make_unique<stepctl::FtdiLink>();
            watch_.setInner(chosen_.get());
            break;
        case Choice::Chip:
            chosen_ = std::make_unique<stepctl::FtdiLink>(serial.toStdString());
            watch_.setInner(chosen_.get());
            break;
        case Choice::Simulated:
            if (startSim_ == nullptr && !ownSim_)
                ownSim_ = std::make_unique<stepctl::SimulatedBoard>();
            sim = startSim_ != nullptr ? startSim_ : ownSim_.get();
            watch_.setInner(sim);
            break;
        case Choice::Installed:
            watch_.setInner(before_);
            break;
    }
    choice_ = choice;
    serial_ = serial;
    changed_ = true;
    shownExchanges_ = watch_.exchanges();
    panel_->setSimulatedBoard(sim);
    showLastExchange();
}

QString BoardMenu::toolTip() const {
    if (changed_ && watch_.exchanges() == shownExchanges_) {
        return tr("Board for this run: %1.\nNo exchange with it yet; the next Send uses it.")
            .arg(text(watch_.describeDevice()));
    }
    return text(stepctl::exchangeWords(watch_.last()));
}

void BoardMenu::showLastExchange() {
    const QString tip = toolTip();
    for (const int id : {IDC_STATIC_CONNECTED, IDC_STATIC_NOTCONNECTED})
        panel_->GetDlgItem(id)->setToolTip(tip);
}
