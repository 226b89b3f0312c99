#include "StepCtlPanel.h"

#include "Catalogue.h"
#include "ControlIds.h"
#include "DbCode.h"
#include "SelectionState.h"
#include "SendRoad.h"
#include "SendRoutines.h"
#include "TextFormat.h"

namespace stepctl::panel {

namespace {

// The trackbar keeps its thumb inside a narrower range by itself.
void setTrackbarRangeByRow(Dialog& dialog) {
    dialog.setTrackbarRange(IDC_SLIDER_ATTEN, 0, trackbarMax(g_nDeviceIndex));
}

// Exactly one of the two indicator statics on show.
void showConnection(Dialog& dialog, bool bConnected) {
    dialog.show(IDC_STATIC_CONNECTED, bConnected);
    dialog.show(IDC_STATIC_NOTCONNECTED, !bConnected);
}

}  // namespace

StepCtlPanel::StepCtlPanel(Dialog& dialog) : m_dialog(dialog) {}

void StepCtlPanel::OnInitDialog() {
    // 1. The lists hold their entries already; the bound fields show their (empty) members.
    UpdateData(false);

    // 2..5. Address "1", Serial Addressable and the list disabled, "ZMG-A2" shown while the
    // selection state stays on row 0 (same group, same interfaces).
    m_dialog.select(IDC_COMBO_ADDRESS, 1);
    m_dialog.enable(IDC_RADIO_SERIAL_ADDR, false);
    m_dialog.enable(IDC_COMBO_ADDRESS, false);
    m_dialog.select(IDC_COMBO_DEVICE, 1);
    m_dialog.enable(IDC_EDIT_ATTEN2, false);
    m_dialog.enable(IDC_COMBO_ADDRESS, false);

    // 7. One probe: is the board there? Without it no radio is checked, yet Serial is in force.
    if (probeBoard()) {
        m_dialog.check(IDC_RADIO_SERIAL, true);
        m_dialog.show(IDC_STATIC_CONNECTED, true);
    } else {
        m_dialog.show(IDC_STATIC_NOTCONNECTED, true);
    }

    // 10. Trackbar range by the row, thumb at 0.
    setTrackbarRangeByRow(m_dialog);
    m_dialog.setTrackbarPos(IDC_SLIDER_ATTEN, 0);

    // 11. Both state fields show "0".
    m_strState = "0";
    m_strState2 = "0";
    UpdateData(false);
}

void StepCtlPanel::UpdateData(bool bSaveAndValidate) {
    if (bSaveAndValidate) {
        m_strState = m_dialog.text(IDC_EDIT_STATE);
        m_strState2 = m_dialog.text(IDC_EDIT_STATE2);
    } else {
        m_dialog.setText(IDC_EDIT_STATE, m_strState);
        m_dialog.setText(IDC_EDIT_STATE2, m_strState2);
    }
}

void StepCtlPanel::OnBnClickedButtonSend() {
    // 1. The address is the index of the selected entry ("0".."7"), -1 when none is.
    const int nAddress = m_dialog.selectedIndex(IDC_COMBO_ADDRESS);

    // 2. Trackbar range by the row; undoes the 0..126 of Serial Addressable.
    setTrackbarRangeByRow(m_dialog);

    // 3. Is the board there? The answer only sets the indicator.
    showConnection(m_dialog, probeBoard());

    // 4, 5. Read both fields, on every row, and quantise.
    const std::string strGetVal = m_dialog.text(IDC_EDIT_ATTEN);
    const std::string strGetVal2 = m_dialog.text(IDC_EDIT_ATTEN2);
    const SendPlan plan =
        planAndStore({g_nDeviceIndex, g_nInterface, nAddress, strGetVal, strGetVal2});
    if (plan.code2)
        m_strState2 = formatCode(g_nAttenCode2);

    // 6..10. State texts, thumb, both dB fields, then the bound fields: all shown before the
    // frame goes out.
    m_strState = formatCode(g_nAttenCode);
    m_dialog.setTrackbarPos(IDC_SLIDER_ATTEN, g_nAttenCode);
    m_dialog.setText(IDC_EDIT_ATTEN, formatDb(plan.db1));
    m_dialog.setText(IDC_EDIT_ATTEN2, formatDb(plan.db2));
    UpdateData(false);

    // 11. Dispatch; Serial Addressable without a selected address sends nothing.
    std::optional<SendOutcome> outcome = dispatchSend(plan);

    // The transfer is the newer word on the board: a frame that did not reach it must not
    // leave "Connected" on show, and one that did must not leave "Not Connected".
    if (outcome)
        showConnection(m_dialog, outcome->sent());
    m_lastSend.completed(std::move(outcome),
                         {g_nDeviceIndex, g_nAttenCode, g_nAttenCode2, nAddress});
}

void StepCtlPanel::OnCbnSelchangeComboDevice() {
    g_nDeviceIndex = m_dialog.selectedIndex(IDC_COMBO_DEVICE);
    setTrackbarRangeByRow(m_dialog);

    // Enabled by what the row offers; checks and g_nInterface stay as they are.
    const int row = g_nDeviceIndex;
    const bool addressable = offers(row, Interface::SerialAddressable);
    m_dialog.enable(IDC_EDIT_ATTEN2, groupOf(row) == Group::DualSixBit);
    m_dialog.enable(IDC_RADIO_SERIAL, offers(row, Interface::Serial));
    m_dialog.enable(IDC_RADIO_PARALLEL, offers(row, Interface::LatchedParallel));
    m_dialog.enable(IDC_RADIO_SERIAL_ADDR, addressable);
    m_dialog.enable(IDC_COMBO_ADDRESS, addressable);
}

void StepCtlPanel::OnCbnSelchangeComboAddress() {
    // The address is read at the next Send.
}

// Each radio stands alone in its group: the platform checks the clicked one, the handler
// clears the other two.
void StepCtlPanel::OnBnClickedRadioSerial() {
    m_dialog.enable(IDC_COMBO_ADDRESS, false);
    m_dialog.check(IDC_RADIO_PARALLEL, false);
    m_dialog.check(IDC_RADIO_SERIAL_ADDR, false);
    g_nInterface = static_cast<int>(Interface::Serial);
}

void StepCtlPanel::OnBnClickedRadioParallel() {
    m_dialog.enable(IDC_COMBO_ADDRESS, false);
    m_dialog.check(IDC_RADIO_SERIAL, false);
    m_dialog.check(IDC_RADIO_SERIAL_ADDR, false);
    g_nInterface = static_cast<int>(Interface::LatchedParallel);
}

void StepCtlPanel::OnBnClickedRadioSerialAddr() {
    m_dialog.enable(IDC_COMBO_ADDRESS, true);
    m_dialog.check(IDC_RADIO_PARALLEL, false);
    m_dialog.check(IDC_RADIO_SERIAL, false);
    // 0..126 on every row, until the next spin click, Send or device pick.
    m_dialog.setTrackbarRange(IDC_SLIDER_ATTEN, 0, 126);
    g_nInterface = static_cast<int>(Interface::SerialAddressable);
}

void StepCtlPanel::OnHScroll(int nSBCode, int nPos) {
    // Only a drag of the thumb, or its release, carries a position that counts.
    if (nSBCode != TB_THUMBPOSITION && nSBCode != TB_THUMBTRACK)
        return;
    m_strState = formatCode(nPos);
    g_nAttenCode = nPos;
    g_fAttenDb = dbFromCode(g_nDeviceIndex, nPos);
    g_strAttenDb = formatDb(g_fAttenDb);
    m_dialog.setText(IDC_EDIT_ATTEN, g_strAttenDb);
    UpdateData(false);
}

void StepCtlPanel::OnDeltaposSpinAtten(int iDelta) {
    setTrackbarRangeByRow(m_dialog);

    // Only the sign counts: one step per notification, up arrow (negative) raises the state.
    // The step comes before the clamp, so a state left above the top by a wider row comes back
    // to the top on the first click either way.
    g_nAttenCode += iDelta < 0 ? 1 : -1;
    if (g_nAttenCode < 0)
        g_nAttenCode = 0;
    if (g_nAttenCode > topCode(g_nDeviceIndex))
        g_nAttenCode = topCode(g_nDeviceIndex);
    g_fAttenDb = dbFromCode(g_nDeviceIndex, g_nAttenCode);

    m_strState = formatCode(g_nAttenCode);
    const std::string strGetVal = formatDb(g_fAttenDb);
    m_dialog.setTrackbarPos(IDC_SLIDER_ATTEN, g_nAttenCode);
    m_dialog.setText(IDC_EDIT_ATTEN, strGetVal);
    UpdateData(false);
}

}  // namespace stepctl::panel
