// The control panel: one modal dialog with the device and interface choices, the attenuation
// entry controls, the Send button and the connection indicator.
#pragma once

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>
#include <optional>

#include "Exchange.h"
#include "StepCtlPanel.h"
#include "WidgetDialog.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSlider;
class BoardMenu;
class FrameView;
class PickList;
class SelectorRadio;
class UpDownControl;

namespace stepctl {
class SimulatedBoard;
}

class CStepCtlDlg : public QDialog {
    Q_OBJECT
  public:
    enum { IDD = 102 };

    // `simulated`: the simulated board the link goes to, when the panel runs without hardware.
    explicit CStepCtlDlg(QWidget* pParent = nullptr,
                         const stepctl::SimulatedBoard* simulated = nullptr);
    ~CStepCtlDlg() override;

    // Runs the panel modally; the result is QDialog::Accepted (Close) or Rejected.
    int DoModal();

    // The control with this id, as the platform's child lookup finds it; none for IDC_STATIC.
    QWidget* GetDlgItem(int nID) const;

    // The outcome of the last frame transfer; none before the first.
    const std::optional<stepctl::SendOutcome>& lastOutcome() const { return m_panel.lastOutcome(); }
    // The simulated board the link now goes to, or none: the frame view follows.
    const stepctl::SimulatedBoard* simulatedBoard() const {
        return m_panel.board().simulatedBoard();
    }
    // The frame view window, once it has been opened.
    FrameView* frameView() const { return m_pFrameView; }

    // The board choice for this run: the menu, and the panel's choice behind it.
    BoardMenu* boardMenu() const { return m_pBoardMenu; }
    stepctl::panel::BoardChoice& board() { return m_panel.board(); }
    // How the program chose the board at start, for the menu's check mark.
    void describeBoard(const stepctl::panel::StartBoard& start) {
        m_panel.board().describeStart(start);
    }
    // A line of the Board menu was picked: the banner, the tooltip and the frame view follow.
    void OnBoardChosen(const stepctl::panel::BoardOption& option);

    // The window menu (the frame view and "&About StepCtl..."), shown as the context menu.
    QMenu* windowMenu() const { return m_pWindowMenu; }
    void OnSysCommand(unsigned nID);

  signals:
    // A Send has run; lastOutcome() holds its transfer if one took place.
    void sendCompleted();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void CreateControls();  // the dialog template
    bool OnInitDialog();
    void OnOK();
    void OpenFrameView();

    // The message map's entries, each handing over to the panel's handler.
    void OnBnClickedButtonSend();
    void OnCbnSelchangeComboDevice();
    void OnCbnSelchangeComboAddress();
    void OnCbnKillfocusComboDevice();
    void OnCbnKillfocusComboAddress();
    void OnBnClickedRadioSerial();
    void OnBnClickedRadioParallel();
    void OnBnClickedRadioSerialAddr();
    void OnHScroll(int nSBCode, int nPos);
    void OnDeltaposSpinAtten(int iDelta);

    // Members bound to controls, in the order the data exchange binds them; the state texts
    // are the panel's.
    QIcon m_hIcon;
    QLineEdit* m_editState = nullptr;
    QLineEdit* m_editAtten = nullptr;
    QSlider* m_sliderAtten = nullptr;
    SelectorRadio* m_radio6Bit = nullptr;
    SelectorRadio* m_radio7Bit = nullptr;
    QLabel* m_picLogo = nullptr;
    SelectorRadio* m_radioSerial = nullptr;
    SelectorRadio* m_radioParallel = nullptr;
    QLabel* m_staticConnected = nullptr;
    SelectorRadio* m_radioDouble = nullptr;
    SelectorRadio* m_radioSerialAddr = nullptr;
    PickList* m_comboAddress = nullptr;
    PickList* m_comboDevice = nullptr;
    QLineEdit* m_editState2 = nullptr;

    QHash<int, QWidget*> m_controls;  // the template's controls by id, for GetDlgItem
    WidgetDialog m_dialog{m_controls};
    stepctl::panel::StepCtlPanel m_panel{m_dialog};

    QMenu* m_pWindowMenu = nullptr;
    FrameView* m_pFrameView = nullptr;
    BoardMenu* m_pBoardMenu = nullptr;
};
