#include "StepCtlDlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

#include "AboutDlg.h"
#include "Art.h"
#include "BoardMenu.h"
#include "FrameView.h"
#include "Palette.h"
#include "PickList.h"
#include "ResourceIds.h"
#include "SelectorRadio.h"

namespace {

// The string resources of the panel.
QString loadString(int nID) {
    if (nID == IDS_ABOUTBOX)
        return QStringLiteral("&About StepCtl...");
    return {};
}

}  // namespace

CStepCtlDlg::CStepCtlDlg(QWidget* pParent, const stepctl::SimulatedBoard* simulated)
    : QDialog(pParent), m_hIcon(applicationIcon()) {
    setWindowTitle(QStringLiteral("Zozodoz DSA/DVGA GUI V2.4"));
    // Caption, window menu and close box; no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The panel's look is its own: a dark desktop theme must not turn its labels white.
    setPalette(panelPalette());
    if (simulated != nullptr)
        describeBoard({stepctl::panel::BoardKind::Simulated, {}, simulated});
    m_pBoardMenu = new BoardMenu(this);
    CreateControls();
    OnInitDialog();
    m_pWindowMenu->setPalette(palette());
    m_pBoardMenu->addTo(m_pWindowMenu);
}

void CStepCtlDlg::OnBoardChosen(const stepctl::panel::BoardOption& option) {
    m_panel.OnBoardChosen(option);
    if (m_pFrameView != nullptr)
        m_pFrameView->setSimulatedBoard(simulatedBoard());
}

CStepCtlDlg::~CStepCtlDlg() {
    // The view watches the panel's last transfer; it goes before the panel does.
    delete m_pFrameView;
    // The lists lose the focus as the window goes, after the panel has gone.
    for (PickList* list : {m_comboAddress, m_comboDevice})
        disconnect(list, nullptr, this, nullptr);
}

int CStepCtlDlg::DoModal() {
    return exec();
}

QWidget* CStepCtlDlg::GetDlgItem(int nID) const {
    return m_controls.value(nID, nullptr);
}

bool CStepCtlDlg::OnInitDialog() {
    // Both lists, the selections, the enabled states, the one probe with its indicator and
    // Serial check, the trackbar, both state fields, the banner and the indicator's tooltip.
    m_panel.OnInitDialog();

    // 6. White background.
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);

    // 8. The window menu. The platform owns the title-bar menu here, so it is offered as the
    // window's context menu instead, and F1 opens the About box.
    m_pWindowMenu = new QMenu(this);
    auto addCommand = [this](const QString& text, unsigned nID) {
        QAction* action = m_pWindowMenu->addAction(text);
        action->setData(nID);
        connect(action, &QAction::triggered, this, [this, nID] { OnSysCommand(nID); });
        return action;
    };
    addCommand(QStringLiteral("&Close"), SC_CLOSE);
    m_pWindowMenu->addSeparator();
    addCommand(QStringLiteral("&Frame view..."), IDM_FRAMEVIEW);
    const QString strAboutMenu = loadString(IDS_ABOUTBOX);
    if (!strAboutMenu.isEmpty()) {
        m_pWindowMenu->addSeparator();
        QAction* about = addCommand(strAboutMenu, IDM_ABOUTBOX);
        about->setShortcut(QKeySequence(Qt::Key_F1));
        addAction(about);  // F1 works anywhere in the window
    }

    // 9. Icons.
    setWindowIcon(m_hIcon);

    // 12. The first tab stop, Close, takes the focus.
    GetDlgItem(IDOK)->setFocus();
    return true;
}

void CStepCtlDlg::OnOK() {
    m_panel.UpdateData(true);
    accept();
}

void CStepCtlDlg::OnSysCommand(unsigned nID) {
    switch (nID & 0xFFF0) {
        case IDM_ABOUTBOX: {
            CAboutDlg dlgAbout(this);
            dlgAbout.exec();
            break;
        }
        case IDM_FRAMEVIEW:
            OpenFrameView();
            break;
        case SC_CLOSE:
            reject();
            break;
        default:
            break;
    }
}

void CStepCtlDlg::OpenFrameView() {
    // One view, kept while the panel lives; it follows every Send by itself.
    if (m_pFrameView == nullptr)
        m_pFrameView = new FrameView(this, m_panel.lastSend(), simulatedBoard());
    m_pFrameView->show();
    m_pFrameView->raise();
    m_pFrameView->activateWindow();
}

void CStepCtlDlg::contextMenuEvent(QContextMenuEvent* event) {
    m_pWindowMenu->popup(event->globalPos());
}
