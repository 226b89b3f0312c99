#include "FrameDiagram.h"

#include <QPainter>
#include <QPainterPath>

#include "TextFormat.h"

namespace {

constexpr int kRightMargin = 12;
constexpr int kSamples = static_cast<int>(stepctl::kFrameSize);
constexpr int kMinLanes = 4;  // the empty diagram keeps the height of a serial one

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// `amount` of `top` over `ground`.
QColor blend(const QColor& ground, const QColor& top, double amount) {
    return QColor::fromRgbF(
        static_cast<float>(ground.redF() * (1 - amount) + top.redF() * amount),
        static_cast<float>(ground.greenF() * (1 - amount) + top.greenF() * amount),
        static_cast<float>(ground.blueF() * (1 - amount) + top.blueF() * amount));
}

}  // namespace

FrameDiagram::FrameDiagram(QWidget* parent) : QWidget(parent) {
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void FrameDiagram::setFrame(stepctl::FrameKind kind, const stepctl::Frame& frame) {
    hasFrame_ = true;
    kind_ = kind;
    frame_ = frame;
    lanes_ = stepctl::lanesFor(kind);
    updateGeometry();
    update();
}

void FrameDiagram::clear() {
    hasFrame_ = false;
    lanes_.clear();
    updateGeometry();
    update();
}

bool FrameDiagram::darkGround() const {
    return palette().color(QPalette::Base).lightnessF() < 0.5;
}

QColor FrameDiagram::traceColour() const {
    return darkGround() ? QColor(0x8a, 0xb4, 0xf8) : QColor(0x1f, 0x4e, 0x9a);
}

QColor FrameDiagram::latchColour() const {
    return darkGround() ? QColor(0x5c, 0x43, 0x12) : QColor(0xff, 0xe0, 0xb0);
}

// Sizes follow the font, so the diagram keeps its proportions at any scale.
int FrameDiagram::labelWidth() const {
    int widest = fontMetrics().horizontalAdvance(QStringLiteral("0.25 dB"));
    for (const auto& lane : lanes_)
        widest = std::max(widest, fontMetrics().horizontalAdvance(text(lane.label)));
    return widest + fontMetrics().horizontalAdvance(QStringLiteral("D7")) + 18;
}

int FrameDiagram::numberHeight() const {
    return fontMetrics().height() + 6;
}

int FrameDiagram::laneHeight() const {
    return fontMetrics().height() + 14;
}

int FrameDiagram::latchRow() const {
    return fontMetrics().height() + 2;
}

QSize FrameDiagram::sizeHint() const {
    const int lanes = std::max<int>(kMinLanes, static_cast<int>(lanes_.size()));
    const int sample = fontMetrics().horizontalAdvance(QStringLiteral("00")) + 8;
    return {labelWidth() + kSamples * sample + kRightMargin,
            numberHeight() + lanes * laneHeight() + latchRow()};
}

QSize FrameDiagram::minimumSizeHint() const {
    // Narrow enough for a small screen: the numbers then stand over every other sample.
    const int lanes = std::max<int>(kMinLanes, static_cast<int>(lanes_.size()));
    const int sample = fontMetrics().horizontalAdvance(QStringLiteral("0")) + 4;
    return {labelWidth() + kSamples * sample + kRightMargin,
            numberHeight() + lanes * laneHeight() + latchRow()};
}

int FrameDiagram::sampleLeft(int sample) const {
    const int span = width() - labelWidth() - kRightMargin;
    return labelWidth() + sample * span / kSamples;
}

int FrameDiagram::laneTop(int lane) const {
    return numberHeight() + lane * laneHeight();
}

int FrameDiagram::highY(int lane) const {
    return laneTop(lane) + laneHeight() / 4;
}

int FrameDiagram::lowY(int lane) const {
    return laneTop(lane) + laneHeight() - laneHeight() / 4;
}

bool FrameDiagram::isLatchLane(std::size_t lane) const {
    return lanes_[lane].name == "LE" || lanes_[lane].name == "LE2";
}

void FrameDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    const QColor ink = pal.color(QPalette::Text);
    const QColor ground = pal.color(QPalette::Base);
    if (!hasFrame_) {
        p.setPen(blend(ground, ink, 0.7));
        p.drawText(rect(), Qt::AlignCenter, tr("No frame sent yet."));
        return;
    }
    const int laneCount = static_cast<int>(lanes_.size());
    const int top = numberHeight();
    const int bottom = laneTop(laneCount);

    // Latch pulses: a band across every lane, named below the lanes.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    for (std::size_t lane = 0; lane < lanes_.size(); ++lane) {
        if (!isLatchLane(lane))
            continue;
        for (int s = 0; s < kSamples; ++s) {
            if ((frame_[static_cast<std::size_t>(s)] & lanes_[lane].mask) == 0)
                continue;
            const QRect band(sampleLeft(s), top, sampleLeft(s + 1) - sampleLeft(s), bottom - top);
            p.fillRect(band, latchColour());
            p.setPen(ink);
            p.drawText(QRect(band.left() - 20, bottom, band.width() + 40, latchRow()),
                       Qt::AlignCenter, text(lanes_[lane].label));
        }
    }

    // Sample grid and numbers; every other number when the samples are narrow.
    const int every = (sampleLeft(2) - sampleLeft(0)) >=
                              2 * (p.fontMetrics().horizontalAdvance(QStringLiteral("00")) + 4)
                          ? 1
                          : 2;
    for (int s = 0; s <= kSamples; ++s) {
        p.setPen(blend(ground, ink, 0.15));
        p.drawLine(sampleLeft(s), top, sampleLeft(s), bottom);
        if (s < kSamples && s % every == 0) {
            p.setPen(blend(ground, ink, 0.75));
            p.drawText(QRect(sampleLeft(s) - 10, 0, sampleLeft(s + 1) - sampleLeft(s) + 20, top),
                       Qt::AlignHCenter | Qt::AlignBottom, text(stepctl::formatCode(s)));
        }
    }

    // Lanes: the role and its pin on the left, the levels as a trace.
    const int labelRight = labelWidth() - 8;
    for (int lane = 0; lane < laneCount; ++lane) {
        const auto& pin = lanes_[static_cast<std::size_t>(lane)];
        const QRect label(4, laneTop(lane), labelRight - 4, laneHeight());
        p.setFont(font());
        p.setPen(ink);
        p.drawText(label, Qt::AlignVCenter | Qt::AlignLeft, text(pin.label));
        p.setFont(small);
        p.setPen(blend(ground, ink, 0.7));
        p.drawText(label, Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("D%1").arg(pin.pin));

        QPainterPath trace;
        auto level = [&](int s) {
            return (frame_[static_cast<std::size_t>(s)] & pin.mask) != 0 ? highY(lane) : lowY(lane);
        };
        trace.moveTo(sampleLeft(0), level(0));
        for (int s = 0; s < kSamples; ++s) {
            trace.lineTo(sampleLeft(s), level(s));
            trace.lineTo(sampleLeft(s + 1), level(s));
        }
        p.setPen(QPen(traceColour(), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(trace);
    }
}
