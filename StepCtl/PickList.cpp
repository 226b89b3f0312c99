#include "PickList.h"

#include <QLineEdit>
#include <QWheelEvent>

PickList::PickList(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: the field shows what was typed, and only a whole name picks.
    setCompleter(nullptr);
    setFocusPolicy(Qt::StrongFocus);  // a click or Tab, not the wheel, gives the focus
    connect(this, &QComboBox::activated, this, &PickList::picked);
    connect(lineEdit(), &QLineEdit::editingFinished, this, &PickList::fieldLeft);
}

void PickList::addEntry(const QString& text) {
    int at = count();
    if (sorted_) {
        // As a sorted list of the platform orders its entries: by text, case ignored.
        at = 0;
        while (at < count() && QString::compare(itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    insertItem(at, text);
}

void PickList::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
