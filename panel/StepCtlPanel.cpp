#include "StepCtlPanel.h"

#include "Banner.h"
#include "Catalogue.h"
#include "ControlIds.h"
#include "DbCode.h"
#include "SelectionState.h"
#include "SendRoad.h"
#include "SendRoutines.h"
#include "TextFormat.h"
#include "TypedName.h"

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
    // Every exchange from here on goes through the watch, so that the tooltip can tell it.
    m_board.install();

    // 1. The lists receive their entries; the bound fields show their (empty) members.
    for (int address = 0; address < kAddressCount; ++address)
        m_dialog.addEntry(IDC_COMBO_ADDRESS, formatCode(address));
    for (const DeviceEntry& entry : catalogue())
        m_dialog.addEntry(IDC_COMBO_DEVICE, entry.name);
    UpdateData(false);

    // 2..5. Address "1", Serial Addressable and the list disabled, "ZMG-A2" shown while the
    // selection state stays on row 0 (same group, same interfaces).
    m_dialog.select(IDC_COMBO_ADDRESS, 1);
    m_nAddressShown = 1;
    m_dialog.enable(IDC_RADIO_SERIAL_ADDR, false);
    m_dialog.enable(IDC_COMBO_ADDRESS, false);
    m_dialog.select(IDC_COMBO_DEVICE, 1);
    m_nDeviceShown = 1;
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

    ShowBoardState();
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
    // Text typed into a list and not yet settled (Enter in its field) counts before anything
    // reads the lists, so a Send never goes out without a selected entry.
    SettleTypedText(IDC_COMBO_DEVICE);
    SettleTypedText(IDC_COMBO_ADDRESS);

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

    // The indicator keeps what the probe found; what became of the frame goes on the banner
    // line, so a failed write is never taken for a missing board nor left unsaid.
    if (outcome)
        m_strFailure = sendFailureWords(*outcome);
    ShowBoardState();
    m_lastSend.completed(std::move(outcome),
                         {g_nDeviceIndex, g_nAttenCode, g_nAttenCode2, nAddress});
}

void StepCtlPanel::OnCbnSelchangeComboDevice() {
    g_nDeviceIndex = m_dialog.selectedIndex(IDC_COMBO_DEVICE);
    if (g_nDeviceIndex >= 0)
        m_nDeviceShown = g_nDeviceIndex;
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
    // The address is read at the next Send; the pick is only kept to go back to.
    if (const int picked = m_dialog.selectedIndex(IDC_COMBO_ADDRESS); picked >= 0)
        m_nAddressShown = picked;
}

void StepCtlPanel::OnCbnKillfocusComboDevice() {
    SettleTypedText(IDC_COMBO_DEVICE);
}

void StepCtlPanel::OnCbnKillfocusComboAddress() {
    SettleTypedText(IDC_COMBO_ADDRESS);
}

void StepCtlPanel::SettleTypedText(int nID) {
    const bool device = nID == IDC_COMBO_DEVICE;
    const int shown = device ? m_nDeviceShown : m_nAddressShown;
    const std::string typed = m_dialog.text(nID);
    int named = -1;
    for (int i = 0, n = m_dialog.entryCount(nID); i < n && named < 0; ++i) {
        if (namesEntry(typed, m_dialog.entryText(nID, i)))
            named = i;
    }
    const int pick = named >= 0 ? named : shown;
    if (pick < 0)
        return;  // not initialised yet
    // The field ends showing the entry in the list's own spelling.
    if (m_dialog.selectedIndex(nID) != pick)
        m_dialog.select(nID, pick);
    if (const std::string entry = m_dialog.entryText(nID, pick); m_dialog.text(nID) != entry)
        m_dialog.setText(nID, entry);
    if (pick == shown)
        return;
    // A new entry named: the same as picking it in the list.
    if (device)
        OnCbnSelchangeComboDevice();
    else
        OnCbnSelchangeComboAddress();
}

void StepCtlPanel::OnBoardChosen(const BoardOption& option) {
    m_board.choose(option);
    m_strFailure.clear();  // that was another board's
    ShowBoardState();
}

void StepCtlPanel::ShowBoardState() {
    const BannerLine line =
        bannerLine({m_board.simulatedBoard() != nullptr, m_board.driverMissing(), m_strFailure});
    // The colour first, so the new words are drawn in it.
    m_dialog.setAlert(IDC_STATIC_BANNER, line.alert);
    m_dialog.setText(IDC_STATIC_BANNER, line.text);
    const std::string tip = m_board.toolTip();
    for (const int id : {IDC_STATIC_CONNECTED, IDC_STATIC_NOTCONNECTED})
        m_dialog.setToolTip(id, tip);
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
