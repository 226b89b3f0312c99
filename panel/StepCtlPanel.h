// The control panel's behaviour: the state texts bound to the two state fields, the start-up
// steps that concern the controls and the board, and the handlers the message map names. A
// front end builds the window, implements Dialog on it and calls these in the map's order.
#pragma once

#include <optional>
#include <string>

#include "BoardChoice.h"
#include "Dialog.h"
#include "Exchange.h"
#include "LastSend.h"

namespace stepctl::panel {

class StepCtlPanel {
  public:
    explicit StepCtlPanel(Dialog& dialog);

    // After the front end has created the controls: both lists filled, the selections, the
    // enabled states, the one probe with its indicator and Serial check, the trackbar range and
    // position, "0" in both state fields, and the banner and the indicator's tooltip. The
    // window's colour, menu, icons and focus stay with the front end.
    void OnInitDialog();

    // false: m_strState and m_strState2 into the state fields; true: the fields back into them.
    void UpdateData(bool bSaveAndValidate);

    void OnBnClickedButtonSend();
    void OnCbnSelchangeComboDevice();
    void OnCbnSelchangeComboAddress();
    // A list's field lost the focus: a typed text that names an entry picks it, any other text
    // goes back to the selected entry. A Send does the same first.
    void OnCbnKillfocusComboDevice();
    void OnCbnKillfocusComboAddress();
    void OnBnClickedRadioSerial();
    void OnBnClickedRadioParallel();
    void OnBnClickedRadioSerialAddr();
    void OnHScroll(int nSBCode, int nPos);  // the trackbar's scroll code and thumb position
    void OnDeltaposSpinAtten(int iDelta);   // the up-down control's signed step

    // The last frame transfer, for whoever shows it; none before the first.
    const std::optional<SendOutcome>& lastOutcome() const { return m_lastSend.outcome(); }
    // The same, with the watcher a view registers to follow every Send.
    LastSend& lastSend() { return m_lastSend; }

    // The board for this run: the Board menu's lines, and a pick from them. The banner and the
    // tooltip follow the pick.
    BoardChoice& board() { return m_board; }
    const BoardChoice& board() const { return m_board; }
    std::vector<BoardOption> boardOptions(bool listChips) const {
        return m_board.options(listChips);
    }
    void OnBoardChosen(const BoardOption& option);

    std::string m_strState;
    std::string m_strState2;

  private:
    void SettleTypedText(int nID);
    void ShowBoardState();

    Dialog& m_dialog;
    LastSend m_lastSend;
    BoardChoice m_board;
    int m_nDeviceShown = -1;   // the device list's selected entry, as the user last picked it
    int m_nAddressShown = -1;  // the address list's
    std::string m_strFailure;  // the last failed Send's words, until a Send succeeds
};

}  // namespace stepctl::panel
