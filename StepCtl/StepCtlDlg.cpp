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
#include "Catalogue.h"
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
    : QDialog(pParent), m_hIcon(applicationIcon()), m_pSimulated(simulated) {
    setWindowTitle(QStringLiteral("Zozodoz DSA/DVGA GUI V2.4"));
    // Caption, window menu and close box; no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The panel's look is its own: a dark desktop theme must not turn its labels white.
    setPalette(panelPalette());
    m_pBoardMenu = new BoardMenu(this);  // watches the link from the first probe on
    CreateControls();
    OnInitDialog();
    m_pWindowMenu->setPalette(palette());
    m_pBoardMenu->addTo(m_pWindowMenu);
    m_pBoardMenu->showLastExchange();
    connect(this, &CStepCtlDlg::sendCompleted, m_pBoardMenu, &BoardMenu::showLastExchange);
}

void CStepCtlDlg::setSimulatedBoard(const stepctl::SimulatedBoard* simulated) {
    m_pSimulated = simulated;
    static_cast<QLabel*>(GetDlgItem(IDC_STATIC_BANNER))->setText(BannerText());
    if (m_pFrameView != nullptr)
        m_pFrameView->setSimulatedBoard(simulated);
}

CStepCtlDlg::~CStepCtlDlg() {
    // The view watches the panel's last transfer; it goes before the panel does.
    delete m_pFrameView;
}

int CStepCtlDlg::DoModal() {
    return exec();
}

QWidget* CStepCtlDlg::GetDlgItem(int nID) const {
    return m_controls.value(nID, nullptr);
}

bool CStepCtlDlg::OnInitDialog() {
    // 1. The lists receive their entries.
    for (int address = 0; address < 8; ++address)
        m_comboAddress->addItem(QString::number(address));
    m_comboAddress->model()->sort(0);  // a sorted list
    for (const auto& entry : stepctl::catalogue())
        m_comboDevice->addItem(
            QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size())));

    // The selections, the enabled states, the one probe with its indicator and Serial check,
    // the trackbar and both state fields.
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
        m_pFrameView = new FrameView(this, m_panel.lastSend(), m_pSimulated);
    m_pFrameView->show();
    m_pFrameView->raise();
    m_pFrameView->activateWindow();
}

void CStepCtlDlg::contextMenuEvent(QContextMenuEvent* event) {
    m_pWindowMenu->popup(event->globalPos());
}
