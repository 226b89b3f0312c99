#include "Trackbar.h"

#include <QProxyStyle>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QToolTip>

#include "TextFormat.h"

namespace {

class TrackbarStyle final : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::NoButton;
        if (hint == SH_Slider_PageSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void showPosition(QSlider* slider, int position) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = position;
    option.sliderValue = position;
    const QRect handle = slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                         QStyle::SC_SliderHandle, slider);
    QToolTip::showText(slider->mapToGlobal(handle.topLeft()),
                       QString::fromStdString(stepctl::formatCode(position)), slider);
}

}  // namespace

void setUpTrackbar(QSlider* slider) {
    // A widget does not own its style; the window that holds the slider outlives it and does.
    auto* style = new TrackbarStyle;
    style->setParent(slider->parent() != nullptr ? slider->parent() : slider);
    slider->setStyle(style);
    QObject::connect(slider, &QSlider::sliderMoved, slider,
                     [slider](int position) { showPosition(slider, position); });
    QObject::connect(slider, &QSlider::sliderReleased, slider, [] { QToolTip::hideText(); });
}
