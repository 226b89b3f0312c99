// A timing diagram of one frame: a lane per pin the frame kind uses, named by its role, the
// sample numbers along the top and the latch pulses marked across all lanes.
#pragma once

#include <QWidget>
#include <vector>

#include "Frames.h"
#include "PinRoles.h"

class FrameDiagram final : public QWidget {
    Q_OBJECT
  public:
    explicit FrameDiagram(QWidget* parent = nullptr);

    void setFrame(stepctl::FrameKind kind, const stepctl::Frame& frame);
    void clear();
    bool hasFrame() const { return hasFrame_; }
    const std::vector<stepctl::PinLane>& lanes() const { return lanes_; }

    // Where things are drawn, for the tests that read the picture back.
    int sampleLeft(int sample) const;  // left edge of a sample; sample 36 is the right end
    int highY(int lane) const;
    int lowY(int lane) const;
    // Picked for the palette in force, so the picture reads on a light and on a dark ground.
    QColor traceColour() const;
    QColor latchColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int labelWidth() const;
    int numberHeight() const;
    int laneHeight() const;
    int latchRow() const;
    int laneTop(int lane) const;
    bool darkGround() const;
    bool isLatchLane(std::size_t lane) const;

    bool hasFrame_ = false;
    stepctl::FrameKind kind_ = stepctl::FrameKind::Serial6;
    stepctl::Frame frame_{};
    std::vector<stepctl::PinLane> lanes_;
};
