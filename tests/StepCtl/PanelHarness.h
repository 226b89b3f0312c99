// Drives the real panel as a person would: clicks, typing, drags, arrow clicks. Every Panel
// starts from a fresh selection state with the given board link installed.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <memory>
#include <optional>
#include <string_view>

#include "BoardLink.h"
#include "PickList.h"
#include "SelectorRadio.h"
#include "StepCtlDlg.h"
#include "UpDownControl.h"

namespace stepctl {
class SimulatedBoard;
}

class Panel {
  public:
    explicit Panel(stepctl::BoardLink* link, const stepctl::SimulatedBoard* simulated = nullptr);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    CStepCtlDlg& dlg() { return *dlg_; }

    template <class Control>
    Control* item(const char* name) const {
        return dlg_->findChild<Control*>(QString::fromLatin1(name));
    }

    QLineEdit* state() const { return item<QLineEdit>("IDC_EDIT_STATE"); }
    QLineEdit* state2() const { return item<QLineEdit>("IDC_EDIT_STATE2"); }
    QLineEdit* atten() const { return item<QLineEdit>("IDC_EDIT_ATTEN"); }
    QLineEdit* atten2() const { return item<QLineEdit>("IDC_EDIT_ATTEN2"); }
    QSlider* slider() const { return item<QSlider>("IDC_SLIDER_ATTEN"); }
    QPushButton* send() const { return item<QPushButton>("IDC_BUTTON_SEND"); }
    QPushButton* close() const { return item<QPushButton>("IDOK"); }
    QLabel* connected() const { return item<QLabel>("IDC_STATIC_CONNECTED"); }
    QLabel* notConnected() const { return item<QLabel>("IDC_STATIC_NOTCONNECTED"); }
    SelectorRadio* serial() const { return item<SelectorRadio>("IDC_RADIO_SERIAL"); }
    SelectorRadio* parallel() const { return item<SelectorRadio>("IDC_RADIO_PARALLEL"); }
    SelectorRadio* addressable() const { return item<SelectorRadio>("IDC_RADIO_SERIAL_ADDR"); }
    PickList* device() const { return item<PickList>("IDC_COMBO_DEVICE"); }
    PickList* address() const { return item<PickList>("IDC_COMBO_ADDRESS"); }
    UpDownControl* spin() const { return item<UpDownControl>("IDC_SPIN_ATTEN"); }
    // The radio of g_nInterface's value: 0 Serial, 1 Latched Parallel, 2 Serial Addressable.
    SelectorRadio* radio(int iface) const;

    // Clicks into the field, selects what is there and types the text over it.
    void type(QLineEdit* field, const QString& text);
    void clickSend();
    // Picks the device row, clicks the interface's radio and, for Serial Addressable, picks
    // the address.
    void choose(int row, int iface, int addressIndex = 1);
    void click(QAbstractButton* button);
    // Opens the list with a click on its arrow and takes the entry with the keys.
    void pick(QComboBox* list, int index);
    // Types into the list's field and leaves it with Tab.
    void typeInList(QComboBox* list, const QString& text);
    // Presses the thumb, moves it to the position of `value` and releases it.
    void drag(int value);
    // Presses the thumb and moves it through `values` without releasing; release() ends it.
    void press();
    void moveTo(int value);
    void release();
    void spinUp();
    void spinDown();
    // A key on the focused trackbar.
    void sliderKey(Qt::Key key);
    // A click in the trackbar's channel at the far right, beyond the thumb.
    void clickChannelRight();

    bool indicatorConnected() const;  // exactly one shown, else the test fails

    // Right-clicks the panel, opens "Board" with its mnemonic and clicks the entry whose text
    // begins with `label`. The entries it offered, or none when the menu did not open.
    QStringList pickBoard(const QString& label);
    // The indicator's tooltip.
    QString indicatorTip() const { return connected()->toolTip(); }

  private:
    QRect handleRect(int value) const;
    QPoint handleCentre(int value) const { return handleRect(value).center(); }

    std::unique_ptr<CStepCtlDlg> dlg_;
    QPoint grabbed_;
};

// The code the simulated attenuator with this label holds; none before its first latch or
// when the board has no such attenuator.
std::optional<int> latched(const stepctl::SimulatedBoard& board, std::string_view label);

// The colour most pixels of the picture have.
QColor mostCommon(const QImage& image);
// The contrast of what is drawn on its ground, read off the widget's picture (or the part of
// it in `area`): the ground is the most common colour, the text the pixel farthest from it.
// Anti-aliasing only lowers the figure.
double drawnContrast(QWidget* w, QRect area = {});
