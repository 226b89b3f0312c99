#include "WidgetDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "PickList.h"

namespace {

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

template <class Control>
Control* WidgetDialog::as(int id) const {
    return qobject_cast<Control*>(item(id));
}

std::string WidgetDialog::text(int id) const {
    if (const auto* edit = as<QLineEdit>(id))
        return edit->text().toStdString();
    if (const auto* label = as<QLabel>(id))
        return label->text().toStdString();
    if (const auto* button = as<QAbstractButton>(id))
        return button->text().toStdString();
    if (const auto* list = as<QComboBox>(id))
        return list->currentText().toStdString();
    return {};
}

void WidgetDialog::setText(int id, std::string_view text) {
    if (auto* edit = as<QLineEdit>(id))
        edit->setText(qtext(text));
    else if (auto* label = as<QLabel>(id))
        label->setText(qtext(text));
    else if (auto* button = as<QAbstractButton>(id))
        button->setText(qtext(text));
    else if (auto* list = as<QComboBox>(id))
        list->setEditText(qtext(text));
}

void WidgetDialog::enable(int id, bool enabled) {
    if (QWidget* control = item(id))
        control->setEnabled(enabled);
}

void WidgetDialog::show(int id, bool shown) {
    if (QWidget* control = item(id))
        control->setVisible(shown);
}

void WidgetDialog::check(int id, bool checked) {
    if (auto* button = as<QAbstractButton>(id))
        button->setChecked(checked);
}

int WidgetDialog::selectedIndex(int id) const {
    const auto* list = as<QComboBox>(id);
    return list != nullptr ? list->currentIndex() : -1;
}

void WidgetDialog::select(int id, int index) {
    if (auto* list = as<QComboBox>(id))
        list->setCurrentIndex(index);
}

void WidgetDialog::addEntry(int id, std::string_view text) {
    if (auto* pick = as<PickList>(id))
        pick->addEntry(qtext(text));
    else if (auto* list = as<QComboBox>(id))
        list->addItem(qtext(text));
}

int WidgetDialog::entryCount(int id) const {
    const auto* list = as<QComboBox>(id);
    return list != nullptr ? list->count() : 0;
}

std::string WidgetDialog::entryText(int id, int index) const {
    const auto* list = as<QComboBox>(id);
    return list != nullptr ? list->itemText(index).toStdString() : std::string();
}

void WidgetDialog::setToolTip(int id, std::string_view text) {
    if (QWidget* control = item(id))
        control->setToolTip(qtext(text));
}

void WidgetDialog::setAlert(int id, bool alert) {
    QWidget* control = item(id);
    if (control == nullptr)
        return;
    // The indicator's red, or the colour the control takes from its window.
    const QPalette::ColorRole role = control->foregroundRole();
    QPalette palette = control->palette();
    const QWidget* window = control->parentWidget();
    palette.setColor(role, alert
                               ? QColor(255, 0, 0)
                               : (window != nullptr ? window->palette() : QPalette()).color(role));
    control->setPalette(palette);
}

void WidgetDialog::setTrackbarRange(int id, int min, int max) {
    if (auto* slider = as<QSlider>(id))
        slider->setRange(min, max);
}

void WidgetDialog::setTrackbarPos(int id, int pos) {
    if (auto* slider = as<QSlider>(id))
        slider->setValue(pos);
}
