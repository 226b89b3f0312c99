#include "SelectorRadio.h"

SelectorRadio::SelectorRadio(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    setAutoExclusive(false);
}

void SelectorRadio::nextCheckState() {
    setChecked(true);
}
