// The panel's own colours: one light palette whatever the desktop's, and the contrast rule the
// tests and the frame view measure colours by.
#pragma once

#include <QColor>
#include <QPalette>

// White window and fields, light grey buttons, black text. Disabled fields keep a text that
// reads at more than 4.5:1 on their grey, so the state fields stay legible while disabled.
QPalette panelPalette();

// Contrast ratio of two colours, 1 (same) to 21 (black on white), from their relative
// luminance in sRGB.
double contrastRatio(const QColor& a, const QColor& b);
