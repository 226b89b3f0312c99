#include "PickList.h"

#include <QLineEdit>
#include <QWheelEvent>

PickList::PickList(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: the field shows what was typed, and only a whole name picks.
    setCompleter(nullptr);
    setFocusPolicy(Qt::StrongFocus);  // a click or Tab, not the wheel, gives the focus
    connect(this, &QComboBox::activated, this, [this](int index) {
        pickedSinceTyping_ = true;
        emit picked(index);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { pickedSinceTyping_ = false; });
    connect(lineEdit(), &QLineEdit::editingFinished, this, &PickList::settleTypedText);
}

void PickList::settleTypedText() {
    const bool typing = lineEdit()->isModified();
    lineEdit()->setModified(false);
    if (typing && !pickedSinceTyping_) {
        const int typed = findText(lineEdit()->text().trimmed(), Qt::MatchFixedString);
        if (typed >= 0) {
            setCurrentIndex(typed);
            pickedSinceTyping_ = true;
            emit picked(typed);
        }
    }
    // The field always ends showing the selected entry in the list's own spelling.
    const QString selected = currentIndex() >= 0 ? itemText(currentIndex()) : QString();
    if (lineEdit()->text() != selected)
        setEditText(selected);
}

void PickList::wheelEvent(QWheelEvent* event) {
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}
