// The message map: each notification of a control goes to the panel's handler of the same
// name, which reads and writes the controls through WidgetDialog.
#include "StepCtlDlg.h"

void CStepCtlDlg::OnBnClickedButtonSend() {
    m_panel.OnBnClickedButtonSend();
    emit sendCompleted();
}

void CStepCtlDlg::OnCbnSelchangeComboDevice() {
    m_panel.OnCbnSelchangeComboDevice();
}

void CStepCtlDlg::OnCbnSelchangeComboAddress() {
    m_panel.OnCbnSelchangeComboAddress();
}

void CStepCtlDlg::OnCbnKillfocusComboDevice() {
    m_panel.OnCbnKillfocusComboDevice();
}

void CStepCtlDlg::OnCbnKillfocusComboAddress() {
    m_panel.OnCbnKillfocusComboAddress();
}

void CStepCtlDlg::OnBnClickedRadioSerial() {
    m_panel.OnBnClickedRadioSerial();
}

void CStepCtlDlg::OnBnClickedRadioParallel() {
    m_panel.OnBnClickedRadioParallel();
}

void CStepCtlDlg::OnBnClickedRadioSerialAddr() {
    m_panel.OnBnClickedRadioSerialAddr();
}

void CStepCtlDlg::OnHScroll(int nSBCode, int nPos) {
    m_panel.OnHScroll(nSBCode, nPos);
}

void CStepCtlDlg::OnDeltaposSpinAtten(int iDelta) {
    m_panel.OnDeltaposSpinAtten(iDelta);
}
