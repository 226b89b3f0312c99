// The control panel's behaviour: the state texts bound to the two state fields, the start-up
// steps that concern the controls and the board, and the handlers the message map names. A
// front end builds the window, implements Dialog on it and calls these in the map's order.
#pragma once

#include <optional>
#include <string>

#include "Dialog.h"
#include "Exchange.h"
#include "LastSend.h"

namespace stepctl::panel {

class StepCtlPanel {
  public:
    explicit StepCtlPanel(Dialog& dialog);

    // After the front end has created the controls and filled both lists: the selections, the
    // enabled states, the one probe with its indicator and Serial check, the trackbar range and
    // position, and "0" in both state fields. The window's colour, menu, icons and focus stay
    // with the front end.
    void OnInitDialog();

    // false: m_strState and m_strState2 into the state fields; true: the fields back into them.
    void UpdateData(bool bSaveAndValidate);

    void OnBnClickedButtonSend();
    void OnCbnSelchangeComboDevice();
    void OnCbnSelchangeComboAddress();
    void OnBnClickedRadioSerial();
    void OnBnClickedRadioParallel();
    void OnBnClickedRadioSerialAddr();
    void OnHScroll(int nSBCode, int nPos);  // the trackbar's scroll code and thumb position
    void OnDeltaposSpinAtten(int iDelta);   // the up-down control's signed step

    // The last frame transfer, for whoever shows it; none before the first.
    const std::optional<SendOutcome>& lastOutcome() const { return m_lastSend.outcome(); }
    // The same, with the watcher a view registers to follow every Send.
    LastSend& lastSend() { return m_lastSend; }

    std::string m_strState;
    std::string m_strState2;

  private:
    Dialog& m_dialog;
    LastSend m_lastSend;
};

}  // namespace stepctl::panel
