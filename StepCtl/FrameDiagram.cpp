#include "FrameDiagram.h"

#include <QPainter>
#include <QPainterPath>

#include "TextFormat.h"

namespace {

constexpr int kLabelWidth = 64;
constexpr int kRightMargin = 12;
constexpr int kNumberHeight = 22;
constexpr int kLaneHeight = 34;
constexpr int kLaneGap = 8;  // from the trace's high level to the lane edge
constexpr int kLatchRow = 18;
constexpr int kSamples = static_cast<int>(stepctl::kFrameSize);

QString text(const std::string& s) {
    return QString::fromStdString(s);
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
    update();
}

QSize FrameDiagram::sizeHint() const {
    const int lanes = std::max<int>(4, static_cast<int>(lanes_.size()));
    return {kLabelWidth + kSamples * 22 + kRightMargin,
            kNumberHeight + lanes * kLaneHeight + kLatchRow};
}

QSize FrameDiagram::minimumSizeHint() const {
    const int lanes = std::max<int>(4, static_cast<int>(lanes_.size()));
    return {kLabelWidth + kSamples * 12 + kRightMargin,
            kNumberHeight + lanes * kLaneHeight + kLatchRow};
}

int FrameDiagram::sampleLeft(int sample) const {
    const int span = width() - kLabelWidth - kRightMargin;
    return kLabelWidth + sample * span / kSamples;
}

int FrameDiagram::laneTop(int lane) const {
    return kNumberHeight + lane * kLaneHeight;
}

int FrameDiagram::highY(int lane) const {
    return laneTop(lane) + kLaneGap;
}

int FrameDiagram::lowY(int lane) const {
    return laneTop(lane) + kLaneHeight - kLaneGap;
}

bool FrameDiagram::isLatchLane(std::size_t lane) const {
    return lanes_[lane].name == "LE" || lanes_[lane].name == "LE2";
}

void FrameDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    if (!hasFrame_) {
        p.setPen(pal.color(QPalette::PlaceholderText));
        p.drawText(rect(), Qt::AlignCenter, tr("No frame sent yet."));
        return;
    }
    const int laneCount = static_cast<int>(lanes_.size());
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
            const QRect band(sampleLeft(s), kNumberHeight, sampleLeft(s + 1) - sampleLeft(s),
                             bottom - kNumberHeight);
            p.fillRect(band, latchColour());
            p.setPen(pal.color(QPalette::Text));
            p.drawText(QRect(band.left() - 20, bottom, band.width() + 40, kLatchRow),
                       Qt::AlignCenter,
                       QString::fromLatin1(lanes_[lane].name.data(),
                                           static_cast<qsizetype>(lanes_[lane].name.size())));
        }
    }

    // Sample grid and numbers.
    const int every = (sampleLeft(10) - sampleLeft(0)) >= 180 ? 1 : 2;
    for (int s = 0; s <= kSamples; ++s) {
        p.setPen(QColor(0xe2, 0xe5, 0xea));
        p.drawLine(sampleLeft(s), kNumberHeight, sampleLeft(s), bottom);
        if (s < kSamples && s % every == 0) {
            p.setPen(pal.color(QPalette::PlaceholderText));
            p.drawText(QRect(sampleLeft(s), 0, sampleLeft(s + 1) - sampleLeft(s), kNumberHeight),
                       Qt::AlignHCenter | Qt::AlignBottom, text(stepctl::formatCode(s)));
        }
    }

    // Lanes: the role on the left, the levels as a trace.
    p.setFont(font());
    for (int lane = 0; lane < laneCount; ++lane) {
        const auto& pin = lanes_[static_cast<std::size_t>(lane)];
        p.setPen(pal.color(QPalette::Text));
        const QString name =
            QString::fromLatin1(pin.name.data(), static_cast<qsizetype>(pin.name.size()));
        p.drawText(QRect(4, laneTop(lane), kLabelWidth - 8, kLaneHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, name);
        p.setPen(QColor(0xb8, 0xbe, 0xc8));
        p.drawText(QRect(4, laneTop(lane), kLabelWidth - 8, kLaneHeight),
                   Qt::AlignBottom | Qt::AlignRight, QStringLiteral("D%1").arg(pin.pin));

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
