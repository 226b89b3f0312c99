// The frame view: a window beside the panel showing the last frame sent as a timing diagram,
// its bytes, and with the simulated board what each attenuator now holds. It saves the frame
// as a VCD file. It only reads the last transfer; it never changes what the panel does.
#pragma once

#include <QString>
#include <QWidget>

#include "LastSend.h"

namespace stepctl {
class SimulatedBoard;
}

class FrameDiagram;
class QLabel;
class QPushButton;

class FrameView final : public QWidget {
    Q_OBJECT
  public:
    // Follows `lastSend`, which must outlive the view; `simulated` is the board the link goes
    // to, if it is the simulated one.
    FrameView(QWidget* parent, stepctl::panel::LastSend& lastSend,
              const stepctl::SimulatedBoard* simulated);
    ~FrameView() override;

    FrameDiagram* diagram() const { return diagram_; }

    // Writes the shown frame as VCD; false with `error` set when it cannot.
    bool saveVcd(const QString& path, QString* error = nullptr) const;

  public slots:
    void refresh();

  private:
    void chooseFileAndSave();

    stepctl::panel::LastSend& lastSend_;
    const stepctl::SimulatedBoard* simulated_;
    QLabel* summary_;
    FrameDiagram* diagram_;
    QLabel* bytes_;
    QLabel* boardTitle_;
    QLabel* board_;
    QPushButton* save_;
};
