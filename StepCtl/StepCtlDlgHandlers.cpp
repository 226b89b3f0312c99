// The panel's handlers: Send, device selection, interface selectors, trackbar and up-down
// control. Each reads the widgets, asks model/ and board/, and writes the widgets back.
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "Catalogue.h"
#include "DbCode.h"
#include "PickList.h"
#include "ResourceIds.h"
#include "SelectionState.h"
#include "SelectorRadio.h"
#include "SendRoad.h"
#include "SendRoutines.h"
#include "StepCtlDlg.h"
#include "TextFormat.h"

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

void CStepCtlDlg::SetTrackbarRangeByRow() {
    // The slider keeps its thumb inside a narrower range by itself.
    m_sliderAtten->setRange(0, stepctl::trackbarMax(g_nDeviceIndex));
}

void CStepCtlDlg::ShowConnection(bool bConnected) {
    GetDlgItem(IDC_STATIC_CONNECTED)->setVisible(bConnected);
    GetDlgItem(IDC_STATIC_NOTCONNECTED)->setVisible(!bConnected);
}

void CStepCtlDlg::OnBnClickedButtonSend() {
    using namespace stepctl;

    // 1. The address is the index of the selected entry ("0".."7").
    const int nAddress = m_comboAddress->currentIndex();

    // 2. Trackbar range by the row; undoes the 0..126 of Serial Addressable.
    SetTrackbarRangeByRow();

    // 3. Is the board there? The answer only sets the indicator.
    ShowConnection(probeBoard());

    // 4, 5. Read both fields, on every row, and quantise.
    auto* editAtten2 = static_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_ATTEN2));
    const std::string strGetVal = m_editAtten->text().toStdString();
    const std::string strGetVal2 = editAtten2->text().toStdString();
    const SendPlan plan =
        planAndStore({g_nDeviceIndex, g_nInterface, nAddress, strGetVal, strGetVal2});
    if (plan.code2)
        m_strState2 = text(formatCode(g_nAttenCode2));

    // 6..10. State texts, thumb, both dB fields, then the bound fields.
    m_strState = text(formatCode(g_nAttenCode));
    m_sliderAtten->setValue(g_nAttenCode);
    m_editAtten->setText(text(formatDb(plan.db1)));
    editAtten2->setText(text(formatDb(plan.db2)));
    UpdateData(false);

    // 11. Dispatch; Serial Addressable without a selected address sends nothing.
    std::optional<SendOutcome> outcome = dispatchSend(plan);

    if (outcome) {
        // The transfer is the newer word on the board: a frame that did not reach it must not
        // leave "Connected" on show, and one that did must not leave "Not Connected".
        ShowConnection(outcome->sent());
        m_lastOutcome = std::move(outcome);
    }
    emit sendCompleted();
}

void CStepCtlDlg::OnCbnSelchangeComboDevice() {
    using namespace stepctl;
    g_nDeviceIndex = m_comboDevice->currentIndex();
    SetTrackbarRangeByRow();

    const int row = g_nDeviceIndex;
    GetDlgItem(IDC_EDIT_ATTEN2)->setEnabled(groupOf(row) == Group::DualSixBit);
    GetDlgItem(IDC_RADIO_SERIAL)->setEnabled(offers(row, Interface::Serial));
    GetDlgItem(IDC_RADIO_PARALLEL)->setEnabled(offers(row, Interface::LatchedParallel));
    GetDlgItem(IDC_RADIO_SERIAL_ADDR)->setEnabled(offers(row, Interface::SerialAddressable));
    GetDlgItem(IDC_COMBO_ADDRESS)->setEnabled(offers(row, Interface::SerialAddressable));
}

void CStepCtlDlg::OnCbnSelchangeComboAddress() {
    // The address is read at the next Send.
}

void CStepCtlDlg::OnBnClickedRadioSerial() {
    GetDlgItem(IDC_COMBO_ADDRESS)->setEnabled(false);
    m_radioParallel->setChecked(false);
    m_radioSerialAddr->setChecked(false);
    g_nInterface = static_cast<int>(stepctl::Interface::Serial);
}

void CStepCtlDlg::OnBnClickedRadioParallel() {
    GetDlgItem(IDC_COMBO_ADDRESS)->setEnabled(false);
    m_radioSerial->setChecked(false);
    m_radioSerialAddr->setChecked(false);
    g_nInterface = static_cast<int>(stepctl::Interface::LatchedParallel);
}

void CStepCtlDlg::OnBnClickedRadioSerialAddr() {
    GetDlgItem(IDC_COMBO_ADDRESS)->setEnabled(true);
    m_radioParallel->setChecked(false);
    m_radioSerial->setChecked(false);
    // 0..126 on every row, until the next spin click, Send or device pick.
    m_sliderAtten->setRange(0, 126);
    g_nInterface = static_cast<int>(stepctl::Interface::SerialAddressable);
}

void CStepCtlDlg::OnHScroll(int nSBCode, int nPos) {
    using namespace stepctl;
    // Only a drag of the thumb, or its release, carries a position that counts.
    if (nSBCode != TB_THUMBPOSITION && nSBCode != TB_THUMBTRACK)
        return;
    m_strState = text(formatCode(nPos));
    g_nAttenCode = nPos;
    g_fAttenDb = dbFromCode(g_nDeviceIndex, nPos);
    g_strAttenDb = formatDb(g_fAttenDb);
    m_editAtten->setText(text(g_strAttenDb));
    UpdateData(false);
}

void CStepCtlDlg::OnDeltaposSpinAtten(int iDelta) {
    using namespace stepctl;
    SetTrackbarRangeByRow();

    // Only the sign counts: one step per notification, up arrow (negative) raises the state.
    g_nAttenCode += iDelta < 0 ? 1 : -1;
    if (g_nAttenCode < 0)
        g_nAttenCode = 0;
    if (g_nAttenCode > topCode(g_nDeviceIndex))
        g_nAttenCode = topCode(g_nDeviceIndex);
    g_fAttenDb = dbFromCode(g_nDeviceIndex, g_nAttenCode);

    m_strState = text(formatCode(g_nAttenCode));
    const QString strGetVal = text(formatDb(g_fAttenDb));
    m_sliderAtten->setValue(g_nAttenCode);
    m_editAtten->setText(strGetVal);
    UpdateData(false);
}
