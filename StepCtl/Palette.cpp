#include "Palette.h"

#include <cmath>

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

}  // namespace

QPalette panelPalette() {
    const QColor white(0xff, 0xff, 0xff);
    const QColor black(0x00, 0x00, 0x00);
    const QColor button(0xef, 0xef, 0xef);
    // Every role of every group is set, so nothing of the desktop's palette shows through.
    QPalette p(black, button, QColor(0xff, 0xff, 0xff), QColor(0x9f, 0x9f, 0x9f),
               QColor(0xb8, 0xb8, 0xb8), black, white, white, white);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Midlight, QColor(0xca, 0xca, 0xca));
        p.setColor(group, QPalette::Shadow, QColor(0x76, 0x76, 0x76));
        p.setColor(group, QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
        p.setColor(group, QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
        p.setColor(group, QPalette::ToolTipText, black);
        p.setColor(group, QPalette::PlaceholderText, QColor(0x6b, 0x6b, 0x6b));
        p.setColor(group, QPalette::Link, QColor(0x00, 0x00, 0xee));
        p.setColor(group, QPalette::LinkVisited, QColor(0x55, 0x1a, 0x8b));
        p.setColor(group, QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
        p.setColor(group, QPalette::HighlightedText, white);
    }
    // Disabled: labels and buttons fade, fields keep a readable text on a grey ground.
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9a, 0x9a, 0x9a));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x9a, 0x9a, 0x9a));
    p.setColor(QPalette::Disabled, QPalette::Base, button);
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x4d, 0x4d, 0x4d));
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
    return p;
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
