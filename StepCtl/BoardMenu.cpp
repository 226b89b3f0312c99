#include "BoardMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "ResourceIds.h"
#include "StepCtlDlg.h"

BoardMenu::BoardMenu(CStepCtlDlg* panel) : QObject(panel), panel_(panel) {}

stepctl::BoardLink* BoardMenu::current() const {
    return panel_->board().current();
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
    for (const stepctl::panel::BoardOption& option : panel_->board().options(listChips)) {
        if (option.separatorBefore)
            menu_->addSeparator();
        QAction* action = menu_->addAction(QString::fromStdString(option.label));
        action->setEnabled(option.enabled);
        if (!option.enabled)
            continue;
        action->setCheckable(true);
        action->setChecked(option.checked);
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, option] { panel_->OnBoardChosen(option); });
    }
}
