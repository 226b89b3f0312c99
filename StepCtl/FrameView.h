// The frame view: a window beside the panel showing the last frame sent as a timing diagram,
// its bytes, and with the simulated board what each attenuator now holds. It saves the frame
// as a VCD file. It only reads the panel; it never changes what the panel does. Its size
// follows the frame shown, within the screen; Escape closes it.
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

    // The board the panel now talks to, when it is the simulated one.
    void setSimulatedBoard(const stepctl::SimulatedBoard* simulated);

  public slots:
    void refresh();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void chooseFileAndSave();
    // The size the content asks for, within the screen the view is on.
    void fitToContent();

    stepctl::panel::LastSend& lastSend_;
    const stepctl::SimulatedBoard* simulated_;
    QLabel* summary_;
    FrameDiagram* diagram_;
    QLabel* bytes_;
    QLabel* boardTitle_;
    QLabel* board_;
    QPushButton* save_;
};
