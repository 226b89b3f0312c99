#include "DialogUnits.h"

#include <QFontMetrics>

namespace {

// Rounds value * numerator / denominator to the nearest integer, halves away from zero.
int mulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width over the 52 Latin letters, rounded, is the horizontal base unit.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
    if (baseX_ < 1)
        baseX_ = 1;
    if (baseY_ < 1)
        baseY_ = 1;
}

int DialogUnits::x(int dluX) const {
    return mulDiv(dluX, baseX_, 4);
}

int DialogUnits::y(int dluY) const {
    return mulDiv(dluY, baseY_, 8);
}

QRect DialogUnits::rect(int dluX, int dluY, int dluWidth, int dluHeight) const {
    // Both corners are converted, as the platform does, so adjacent rectangles stay adjacent.
    const int left = x(dluX);
    const int top = y(dluY);
    return {left, top, x(dluX + dluWidth) - left, y(dluY + dluHeight) - top};
}

QSize DialogUnits::size(int dluWidth, int dluHeight) const {
    return {x(dluWidth), y(dluHeight)};
}
