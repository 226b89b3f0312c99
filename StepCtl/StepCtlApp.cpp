#include "StepCtlApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QtDebug>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "ChipDriver.h"
#include "Palette.h"
#include "ResourceIds.h"
#include "SendRoutines.h"
#include "StepCtlDlg.h"

namespace {

std::unique_ptr<CStepCtlDlg> makePanel(const stepctl::SimulatedBoard* simulated) {
    try {
        return std::make_unique<CStepCtlDlg>(nullptr, simulated);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

CStepCtlApp::CStepCtlApp() : m_factory(makePanel) {}

CStepCtlApp::~CStepCtlApp() {
    if (m_pSimulatedBoard || m_pChosenChip)
        stepctl::setBoardLink(nullptr);
}

bool CStepCtlApp::InitInstance(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Control panel for DSA/DVGA evaluation boards driven through an FTDI chip in bit-bang "
        "mode."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Drive a simulated evaluation board instead of the first FTDI chip."));
    parser.addOption(simulate);
    const QCommandLineOption serial(
        QStringLiteral("serial"),
        QStringLiteral("Use the FTDI chip with this serial number instead of the first one "
                       "(see \"stepctl-cli list\"). The window menu's Board entry changes it "
                       "for this run."),
        QStringLiteral("SN"));
    parser.addOption(serial);
    parser.process(arguments);

    if (parser.isSet(simulate)) {
        // Follows the device and interface chosen in the panel, as if the matching board were
        // plugged in.
        m_pSimulatedBoard = std::make_unique<stepctl::SimulatedBoard>();
        stepctl::setBoardLink(m_pSimulatedBoard.get());
        if (parser.isSet(serial))
            std::fputs("stepctl: --serial is ignored with --simulate\n", stderr);
    } else if (parser.isSet(serial)) {
        const QString number = parser.value(serial).trimmed();
        if (number.isEmpty()) {
            // As QCommandLineParser ends the process on any other bad option.
            std::fputs("stepctl: --serial: the serial number is empty\n", stderr);
            std::exit(EXIT_FAILURE);
        }
        m_serial = number.toStdString();
        m_pChosenChip = stepctl::makeChipLink(stepctl::defaultChipDriver(), m_serial);
        stepctl::setBoardLink(m_pChosenChip.get());
    }

    // The menus, the About box and the file dialog share the panel's light look.
    QApplication::setPalette(panelPalette());

    std::unique_ptr<CStepCtlDlg> dlg = m_factory(m_pSimulatedBoard.get());
    if (dlg && !m_pSimulatedBoard) {
        using stepctl::panel::BoardKind;
        dlg->describeBoard({m_pChosenChip ? BoardKind::Chip : BoardKind::FirstChip, m_serial});
    }
    if (dlg) {
        const int result = dlg->DoModal();
        m_nResponse = result == QDialog::Accepted ? IDOK : IDCANCEL;
    } else {
        m_nResponse = -1;
        qWarning("Warning: dialog creation failed, so application is terminating unexpectedly.");
        qWarning(
            "Warning: if you are using MFC controls on the dialog, you cannot #define "
            "_AFX_NO_MFC_CONTROLS_IN_DIALOGS.");
    }
    return false;
}
