// Dialog units: the panel's layout is given in them, so it keeps its proportions and grows with
// the font and the screen resolution. One horizontal unit is a quarter of the font's average
// character width, one vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);
    // Base units in pixels, for fonts measured elsewhere.
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int baseX() const { return baseX_; }  // average character width
    int baseY() const { return baseY_; }  // character height

    int x(int dluX) const;
    int y(int dluY) const;
    QRect rect(int dluX, int dluY, int dluWidth, int dluHeight) const;
    QSize size(int dluWidth, int dluHeight) const;

  private:
    int baseX_;
    int baseY_;
};
