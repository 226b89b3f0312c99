// The panel as it opens: template, layout, start-up state with and without a board, the typed
// text rule of the lists, the About box, closing, and the application's start-up.
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AboutDlg.h"
#include "BoardMenu.h"
#include "Catalogue.h"
#include "DialogUnits.h"
#include "Frames.h"
#include "FtdiLink.h"
#include "PanelHarness.h"
#include "RecordingLink.h"
#include "ResourceIds.h"
#include "SelectionState.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"
#include "StepCtlApp.h"
#include "Version.h"

using stepctl::LinkOp;

namespace {

// Runs `action` on the modal dialog that opens next, once it is up.
void onNextModal(std::function<void(QDialog*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr) {
            QTimer::singleShot(10, [action] { onNextModal(action); });
            return;
        }
        action(modal);
    });
}

struct Snapshot {
    QStringList texts;
    QList<bool> flags;
    int slider = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const Panel& p) {
    Snapshot s;
    s.texts = {p.state()->text(),  p.state2()->text(),        p.atten()->text(),
               p.atten2()->text(), p.device()->currentText(), p.address()->currentText()};
    s.flags = {p.serial()->isChecked(),       p.parallel()->isChecked(),
               p.addressable()->isChecked(),  p.connected()->isVisible(),
               p.notConnected()->isVisible(), p.atten2()->isEnabled(),
               p.address()->isEnabled(),      p.addressable()->isEnabled()};
    s.slider = p.slider()->value();
    return s;
}

}  // namespace

class PanelInitTest : public QObject {
    Q_OBJECT

  private slots:
    void initialState_data();
    void initialState();
    void templateOrderAndNames();
    void layoutInDialogUnits();
    void dialogUnitsFollowTheFont();
    void typedTextInLists();
    void aboutBoxOpensAndCloses();
    void closingResults();
    void startUpRunsThePanelModally();
    void startUpReportsAPanelThatCannotBeCreated();
    void simulateOption();
    void commandLineOfTheProgram();
    void serialOptionPicksTheChip();
    void boardMenuForThisRunOnly();
    void screenshot();
};

void PanelInitTest::initialState_data() {
    QTest::addColumn<bool>("board");
    QTest::newRow("board answers") << true;
    QTest::newRow("no board") << false;
}

void PanelInitTest::initialState() {
    QFETCH(bool, board);
    stepctl::SimulatedBoard sim;
    sim.plug(board);
    stepctl::RecordingLink link(sim);
    Panel p(&link);

    // The probe: one open, a close only after a successful open, nothing written.
    const std::vector<LinkOp> expected = board ? std::vector<LinkOp>{LinkOp::Open, LinkOp::Close}
                                               : std::vector<LinkOp>{LinkOp::Open};
    QCOMPARE(link.ops(), expected);
    QVERIFY(link.writes().empty());
    QVERIFY(!sim.isOpen());

    QCOMPARE(p.indicatorConnected(), board);
    QCOMPARE(p.serial()->isChecked(), board);
    QVERIFY(p.serial()->isEnabled());
    QVERIFY(!p.parallel()->isChecked());
    QVERIFY(p.parallel()->isEnabled());
    QVERIFY(!p.addressable()->isChecked());
    QVERIFY(!p.addressable()->isEnabled());
    QCOMPARE(p.device()->currentIndex(), 1);
    QCOMPARE(p.device()->currentText(), QStringLiteral("ZMG-A2"));
    QVERIFY(p.device()->isEnabled());
    QCOMPARE(p.address()->currentText(), QStringLiteral("1"));
    QVERIFY(!p.address()->isEnabled());
    QCOMPARE(p.slider()->minimum(), 0);
    QCOMPARE(p.slider()->maximum(), 63);
    QCOMPARE(p.slider()->value(), 0);
    QCOMPARE(p.slider()->tickPosition(), QSlider::TicksBothSides);
    QVERIFY(p.spin()->isEnabled());
    QCOMPARE(p.state()->text(), QStringLiteral("0"));
    QCOMPARE(p.state2()->text(), QStringLiteral("0"));
    QVERIFY(!p.state()->isEnabled());
    QVERIFY(!p.state2()->isEnabled());
    QVERIFY(p.atten()->text().isEmpty());
    QVERIFY(p.atten()->isEnabled());
    QVERIFY(p.atten2()->text().isEmpty());
    QVERIFY(!p.atten2()->isEnabled());
    for (const char* hidden : {"IDC_RADIO_6BIT", "IDC_RADIO_7BIT", "IDC_RADIO_DOUBLE"}) {
        QVERIFY2(p.item<SelectorRadio>(hidden)->isHidden(), hidden);
    }
    QCOMPARE(QApplication::focusWidget(), p.close());

    // Selection state untouched: row 0 while the list shows row 1.
    QCOMPARE(g_nDeviceIndex, 0);
    QCOMPARE(g_nInterface, 0);
    QCOMPARE(g_nAttenCode, 0);
    QCOMPARE(g_nAttenCode2, 0);

    // Colours: connected blue, not connected red, on a white window.
    QCOMPARE(p.connected()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(p.notConnected()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(p.dlg().palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(p.dlg().autoFillBackground());
    const QImage shot = p.dlg().grab().toImage();
    QCOMPARE(shot.pixelColor(2, 2), QColor(Qt::white));
}

void PanelInitTest::templateOrderAndNames() {
    stepctl::RecordingLink link;
    Panel p(&link);
    CStepCtlDlg& dlg = p.dlg();

    QCOMPARE(dlg.windowTitle(), QStringLiteral("Zozodoz DSA/DVGA GUI V2.4"));
    const Qt::WindowFlags flags = dlg.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!dlg.windowIcon().isNull());

    // Every named control carries the template's id, and the lookup by id finds it.
    // clang-format off
    const std::pair<const char*, int> controls[] = {
        {"IDOK", 1},                    {"IDC_EDIT_STATE", 1014},
        {"IDC_BUTTON_SEND", 1015},      {"IDC_EDIT_ATTEN", 1017},
        {"IDC_SLIDER_ATTEN", 1018},     {"IDC_RADIO_6BIT", 1016},
        {"IDC_RADIO_7BIT", 1019},       {"IDC_RADIO_SERIAL", 1020},
        {"IDC_RADIO_PARALLEL", 1021},   {"IDC_SPIN_ATTEN", 1023},
        {"IDC_STATIC_CONNECTED", 1025}, {"IDC_STATIC_NOTCONNECTED", 1026},
        {"IDC_STATIC_BANNER", 1027},    {"IDC_RADIO_DOUBLE", 1024},
        {"IDC_COMBO_ADDRESS", 1030},    {"IDC_RADIO_SERIAL_ADDR", 1028},
        {"IDC_COMBO_DEVICE", 1031},     {"IDC_EDIT_ATTEN2", 1029},
        {"IDC_EDIT_STATE2", 1032},      {"IDC_PICTURE_LOGO", 1022},
    };
    // clang-format on
    for (const auto& [name, id] : controls) {
        QWidget* w = p.item<QWidget>(name);
        QVERIFY2(w != nullptr, name);
        QCOMPARE(w->property(kControlIdProperty).toInt(), id);
        QCOMPARE(dlg.GetDlgItem(id), w);
    }
    // The labels share IDC_STATIC, which names no control.
    QCOMPARE(dlg.GetDlgItem(IDC_STATIC), nullptr);

    // Texts of the controls.
    QCOMPARE(p.close()->text(), QStringLiteral("Close"));
    QCOMPARE(p.send()->text(), QStringLiteral("Send Signal"));
    // Send is the default button whenever no other push button has the focus.
    p.atten()->setFocus();
    QVERIFY(p.send()->isDefault());
    QVERIFY(!p.close()->isDefault());
    QCOMPARE(p.serial()->text(), QStringLiteral("Serial"));
    QCOMPARE(p.parallel()->text(), QStringLiteral("Latched Parallel"));
    QCOMPARE(p.addressable()->text(), QStringLiteral("Serial Addressable"));
    QCOMPARE(p.item<SelectorRadio>("IDC_RADIO_6BIT")->text(), QStringLiteral("ZMT/ZMG-6bit"));
    QCOMPARE(p.item<SelectorRadio>("IDC_RADIO_7BIT")->text(), QStringLiteral("ZMT/ZMG-7bit"));
    QCOMPARE(p.item<SelectorRadio>("IDC_RADIO_DOUBLE")->text(), QStringLiteral("ZMG-6bit Double"));
    QCOMPARE(p.connected()->text(), QStringLiteral("Success Interface Board Connected!!"));
    QCOMPARE(p.notConnected()->text(), QStringLiteral("*******Not Connected*********"));
    QCOMPARE(p.connected()->geometry(), p.notConnected()->geometry());
    QVERIFY(!p.item<QLabel>("IDC_STATIC_BANNER")->text().isEmpty());
    QCOMPARE(p.item<QLabel>("IDC_PICTURE_LOGO")->pixmap().size(), QSize(168, 53));
    QStringList labels;
    for (QLabel* l : dlg.findChildren<QLabel*>()) {
        if (l->objectName().isEmpty())
            labels << l->text();
    }
    for (const char* text : {"Attenuation State:", "[dB]",
                             "Attenuation [dB] :", "2nd Attenuation [dB] :", "1st", "2nd"}) {
        QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    }
    QStringList boxes;
    for (QGroupBox* g : dlg.findChildren<QGroupBox*>())
        boxes << g->title();
    boxes.sort();
    QCOMPARE(boxes, (QStringList{"Attenuation Control", "Control Interface", "Select Device"}));

    // The lists: addresses sorted, devices in catalogue order; neither grows.
    QStringList addresses;
    for (int i = 0; i < p.address()->count(); ++i)
        addresses << p.address()->itemText(i);
    QCOMPARE(addresses, (QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}));
    QCOMPARE(p.device()->count(), stepctl::kDeviceCount);
    for (int row = 0; row < stepctl::kDeviceCount; ++row) {
        const auto name = stepctl::catalogue()[static_cast<std::size_t>(row)].name;
        QCOMPARE(p.device()->itemText(row).toStdString(), std::string(name));
    }
    QVERIFY(p.device()->isEditable());
    QVERIFY(p.address()->isEditable());

    // Radios stand alone: no automatic exclusivity.
    for (const char* name : {"IDC_RADIO_SERIAL", "IDC_RADIO_PARALLEL", "IDC_RADIO_SERIAL_ADDR",
                             "IDC_RADIO_6BIT", "IDC_RADIO_7BIT", "IDC_RADIO_DOUBLE"}) {
        QVERIFY2(!p.item<SelectorRadio>(name)->autoExclusive(), name);
    }

    // Tab order is template order over the controls that take the focus.
    QStringList chain;
    QWidget* w = p.close();
    do {
        if (w->isVisibleTo(&dlg) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->objectName().isEmpty() && w->parentWidget() == &dlg) {
            chain << w->objectName();
        }
        w = w->nextInFocusChain();
    } while (w != p.close());
    QCOMPARE(chain, (QStringList{"IDOK", "IDC_BUTTON_SEND", "IDC_EDIT_ATTEN", "IDC_SLIDER_ATTEN",
                                 "IDC_RADIO_SERIAL", "IDC_RADIO_PARALLEL", "IDC_COMBO_DEVICE"}));
    // The up-down control is no tab stop.
    QCOMPARE(p.spin()->focusPolicy(), Qt::NoFocus);
}

void PanelInitTest::layoutInDialogUnits() {
    stepctl::RecordingLink link;
    Panel p(&link);
    const DialogUnits dlu(p.dlg().font());
    QCOMPARE(p.dlg().size(), dlu.size(295, 257));
    QCOMPARE(p.slider()->geometry(), dlu.rect(18, 108, 242, 28));
    QCOMPARE(p.spin()->geometry(), dlu.rect(269, 107, 11, 31));
    QCOMPARE(p.send()->geometry(), dlu.rect(201, 152, 79, 36));
    QCOMPARE(p.close()->geometry(), dlu.rect(203, 211, 78, 14));
    QCOMPARE(p.connected()->geometry(), dlu.rect(7, 217, 143, 14));
    // The banner takes the whole bottom line, right-aligned, for a failed Send's reason.
    QCOMPARE(p.item<QLabel>("IDC_STATIC_BANNER")->geometry(), dlu.rect(7, 239, 281, 14));
    QCOMPARE(p.item<QLabel>("IDC_PICTURE_LOGO")->pos(), dlu.rect(18, 26, 1, 1).topLeft());
    QMap<QString, QRect> boxes;
    for (QGroupBox* g : p.dlg().findChildren<QGroupBox*>())
        boxes[g->title()] = g->geometry();
    QCOMPARE(boxes["Select Device"], dlu.rect(157, 9, 131, 28));
    QCOMPARE(boxes["Control Interface"], dlu.rect(157, 41, 131, 49));
    QCOMPARE(boxes["Attenuation Control"], dlu.rect(7, 99, 281, 107));
    QCOMPARE(p.address()->width(), dlu.rect(245, 70, 40, 12).width());

    // Every visible control lies inside the window, and the ones inside a group box inside it.
    const QRect window(QPoint(0, 0), p.dlg().size());
    for (QWidget* w : p.dlg().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isHidden())
            QVERIFY2(window.contains(w->geometry()), qPrintable(w->objectName()));
    }
    for (QWidget* w : {static_cast<QWidget*>(p.device())})
        QVERIFY(boxes["Select Device"].contains(w->geometry()));
    for (QWidget* w :
         std::initializer_list<QWidget*>{p.serial(), p.parallel(), p.addressable(), p.address()})
        QVERIFY2(boxes["Control Interface"].contains(w->geometry()), qPrintable(w->objectName()));
    for (QWidget* w : std::initializer_list<QWidget*>{p.slider(), p.spin(), p.state(), p.state2(),
                                                      p.atten(), p.atten2(), p.send()})
        QVERIFY2(boxes["Attenuation Control"].contains(w->geometry()), qPrintable(w->objectName()));

    // Clicks reach the controls beneath the group boxes' area.
    QTest::mouseClick(p.atten(), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), p.atten());
}

void PanelInitTest::dialogUnitsFollowTheFont() {
    // Base units 6 x 13 (an 8-point dialog font at 96 dpi): 4 units across, 8 down, are one
    // character cell.
    const DialogUnits classic(6, 13);
    QCOMPARE(classic.x(4), 6);
    QCOMPARE(classic.y(8), 13);
    QCOMPARE(classic.size(295, 257), QSize(443, 418));
    // Both corners are converted, so neighbours stay neighbours.
    const QRect a = classic.rect(7, 99, 281, 107);
    QCOMPARE(a, QRect(11, 161, 421, 174));
    QCOMPARE(classic.rect(7, 217, 143, 14).left(), a.left());

    QFont small = QApplication::font();
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const DialogUnits s(small);
    const DialogUnits l(large);
    QVERIFY(l.baseX() > s.baseX());
    QVERIFY(l.baseY() > s.baseY());
    const QSize ws = s.size(295, 257);
    const QSize wl = l.size(295, 257);
    QVERIFY(wl.width() > ws.width() * 3 / 2);
    QVERIFY(wl.height() > ws.height() * 3 / 2);
}

void PanelInitTest::typedTextInLists() {
    stepctl::RecordingLink link;
    Panel p(&link);

    // A typed name picks its entry as a click would, whatever its case.
    p.typeInList(p.device(), QStringLiteral("zmg-b6"));
    QCOMPARE(p.device()->currentIndex(), 12);
    QCOMPARE(p.device()->currentText(), QStringLiteral("ZMG-B6"));
    QCOMPARE(g_nDeviceIndex, 12);
    QVERIFY(p.addressable()->isEnabled());
    QVERIFY(!p.serial()->isEnabled());
    QCOMPARE(p.slider()->maximum(), 127);

    // Anything else goes back to the selected entry; the list never grows.
    for (const QString& typed : {QStringLiteral("ZMX-9"), QStringLiteral(""),
                                 QStringLiteral("ZMG-B"), QStringLiteral("  ")}) {
        p.typeInList(p.device(), typed);
        QCOMPARE(p.device()->currentIndex(), 12);
        QCOMPARE(p.device()->currentText(), QStringLiteral("ZMG-B6"));
        QCOMPARE(p.device()->count(), stepctl::kDeviceCount);
        QCOMPARE(g_nDeviceIndex, 12);
    }

    // The address list, once enabled, takes "0".."7" and nothing else.
    p.click(p.addressable());
    QVERIFY(p.address()->isEnabled());
    p.typeInList(p.address(), QStringLiteral("5"));
    QCOMPARE(p.address()->currentIndex(), 5);
    for (const QString& typed :
         {QStringLiteral("8"), QStringLiteral("-1"), QStringLiteral("x"), QStringLiteral("")}) {
        p.typeInList(p.address(), typed);
        QCOMPARE(p.address()->currentIndex(), 5);
        QCOMPARE(p.address()->currentText(), QStringLiteral("5"));
        QCOMPARE(p.address()->count(), 8);
    }

    // Enter takes the typed entry and then, as in any dialog, presses the default button:
    // the Send that follows already uses the typed address.
    QTest::mouseClick(p.address()->lineEdit(), Qt::LeftButton);
    QTest::keyClick(p.address(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(p.address(), QStringLiteral("3"));
    QTest::keyClick(p.address(), Qt::Key_Return);
    QCOMPARE(p.address()->currentIndex(), 3);
    QCOMPARE(link.writes().size(), std::size_t{1});
    QCOMPARE(p.dlg().lastOutcome()->frame,
             stepctl::buildControlFrame(stepctl::Interface::SerialAddressable, true, 3 * 256));

    // Picking with the mouse from the open list.
    p.pick(p.address(), 2);
    QCOMPARE(p.address()->currentIndex(), 2);
    p.pick(p.device(), 14);
    QCOMPARE(g_nDeviceIndex, 14);
    QCOMPARE(p.device()->currentText(), QStringLiteral("ZMG-C1"));
}

void PanelInitTest::aboutBoxOpensAndCloses() {
    stepctl::RecordingLink link;
    Panel p(&link);
    p.type(p.atten(), QStringLiteral("3.5"));
    const Snapshot before = snapshot(p);

    // F1 opens it; Enter closes it.
    bool seen = false;
    onNextModal([&seen](QDialog* about) {
        seen = qobject_cast<CAboutDlg*>(about) != nullptr;
        QCOMPARE(about->windowTitle(), QStringLiteral("About StepCtl"));
        QStringList texts, tips;
        for (QLabel* l : about->findChildren<QLabel*>()) {
            texts << l->text();
            tips << l->toolTip();
        }
        QVERIFY(texts.contains(QStringLiteral("StepCtl, Version 1.0")));
        QVERIFY(tips.join(' ').contains(QStringLiteral("stepctl ") + stepctl::kVersion));
        auto* icon = about->findChild<QLabel*>(QStringLiteral("IDC_ABOUT_ICON"));
        QVERIFY(icon != nullptr && !icon->pixmap().isNull());
        auto* ok = about->findChild<QPushButton*>(QStringLiteral("IDOK"));
        QVERIFY(ok != nullptr && ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QTest::keyClick(about, Qt::Key_Return);
    });
    QTest::keyClick(&p.dlg(), Qt::Key_F1);
    QVERIFY(seen);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(snapshot(p), before);

    // The window menu ends with a separator and the About entry; Escape closes the box.
    QMenu* menu = p.dlg().windowMenu();
    const QList<QAction*> actions = menu->actions();
    QAction* about = nullptr;
    for (int i = 1; i < actions.size(); ++i) {
        if (actions[i]->text() == QStringLiteral("&About StepCtl...")) {
            QVERIFY(actions[i - 1]->isSeparator());
            about = actions[i];
        }
    }
    QVERIFY(about != nullptr);
    seen = false;
    onNextModal([&seen](QDialog* box) {
        seen = qobject_cast<CAboutDlg*>(box) != nullptr;
        QTest::keyClick(box, Qt::Key_Escape);
    });
    about->trigger();
    QVERIFY(seen);
    QCOMPARE(snapshot(p), before);
    QVERIFY(link.writes().empty());
}

void PanelInitTest::closingResults() {
    stepctl::RecordingLink link;
    const std::pair<std::function<void(Panel&)>, int> ways[] = {
        {[](Panel& p) { p.click(p.close()); }, QDialog::Accepted},
        {[](Panel& p) { QTest::keyClick(&p.dlg(), Qt::Key_Escape); }, QDialog::Rejected},
        {[](Panel& p) { p.dlg().close(); }, QDialog::Rejected},  // the close box
        {[](Panel& p) { p.dlg().OnSysCommand(SC_CLOSE); }, QDialog::Rejected},
    };
    for (const auto& [close, result] : ways) {
        Panel p(&link);
        QTimer::singleShot(0, [&p, &close] { close(p); });
        QCOMPARE(p.dlg().DoModal(), result);
    }
}

void PanelInitTest::startUpRunsThePanelModally() {
    stepctl::RecordingLink link;
    stepctl::resetSelectionState();
    stepctl::setBoardLink(&link);
    CStepCtlApp app;
    onNextModal([](QDialog* panel) {
        QVERIFY(qobject_cast<CStepCtlDlg*>(panel) != nullptr);
        QTest::keyClick(panel, Qt::Key_Escape);
    });
    QCOMPARE(app.InitInstance({QStringLiteral("stepctl")}), false);
    QCOMPARE(app.dialogResult(), IDCANCEL);
    QVERIFY(!app.simulated());
    QCOMPARE(&stepctl::boardLink(), static_cast<stepctl::BoardLink*>(&link));
    stepctl::setBoardLink(nullptr);
}

void PanelInitTest::startUpReportsAPanelThatCannotBeCreated() {
    CStepCtlApp app;
    app.setDialogFactory([](const stepctl::SimulatedBoard*) { return nullptr; });
    QTest::ignoreMessage(QtWarningMsg,
                         "Warning: dialog creation failed, so application is terminating "
                         "unexpectedly.");
    QTest::ignoreMessage(QtWarningMsg,
                         "Warning: if you are using MFC controls on the dialog, you cannot "
                         "#define _AFX_NO_MFC_CONTROLS_IN_DIALOGS.");
    QCOMPARE(app.InitInstance({QStringLiteral("stepctl")}), false);
    QCOMPARE(app.dialogResult(), -1);
}

void PanelInitTest::simulateOption() {
    stepctl::resetSelectionState();
    QString banner;
    bool connected = false;
    {
        CStepCtlApp app;
        onNextModal([&](QDialog* panel) {
            banner = panel->findChild<QLabel*>(QStringLiteral("IDC_STATIC_BANNER"))->text();
            connected =
                panel->findChild<QLabel*>(QStringLiteral("IDC_STATIC_CONNECTED"))->isVisible();
            QCOMPARE(panel->windowTitle(), QStringLiteral("Zozodoz DSA/DVGA GUI V2.4"));
            panel->findChild<QPushButton*>(QStringLiteral("IDOK"))->click();
        });
        app.InitInstance({QStringLiteral("stepctl"), QStringLiteral("--simulate")});
        QVERIFY(app.simulated());
        QCOMPARE(app.dialogResult(), IDOK);
    }
    QVERIFY2(banner.contains(QStringLiteral("simulated")), qPrintable(banner));
    QVERIFY(connected);
}

void PanelInitTest::commandLineOfTheProgram() {
    struct Run {
        int exit;
        QByteArray out, err;
    };
    auto run = [](const QString& option) {
        QProcess stepctl;
        stepctl.start(QStringLiteral(STEPCTL_BINARY), {option});
        if (!stepctl.waitForFinished(20000))
            return Run{-1, {}, {}};
        return Run{stepctl.exitCode(), stepctl.readAllStandardOutput(),
                   stepctl.readAllStandardError()};
    };
    const Run version = run(QStringLiteral("--version"));
    QCOMPARE(version.exit, 0);
    QCOMPARE(version.out, QByteArray("stepctl ") + stepctl::kVersion + '\n');
    const Run help = run(QStringLiteral("--help"));
    QCOMPARE(help.exit, 0);
    QVERIFY(help.out.contains("--simulate"));
    QVERIFY(help.out.contains("--serial <SN>"));
    const Run wrong = run(QStringLiteral("--no-such-option"));
    QVERIFY(wrong.exit != 0);
    QVERIFY(wrong.err.contains("no-such-option"));
}

void PanelInitTest::serialOptionPicksTheChip() {
    stepctl::resetSelectionState();
    QString tip;
    std::string serial;
    {
        CStepCtlApp app;
        onNextModal([&](QDialog* dialog) {
            auto* panel = qobject_cast<CStepCtlDlg*>(dialog);
            auto* chip = dynamic_cast<stepctl::FtdiLink*>(panel->boardMenu()->current());
            serial = chip != nullptr ? chip->serial() : "(not an FTDI link)";
            tip = panel->findChild<QLabel*>(QStringLiteral("IDC_STATIC_NOTCONNECTED"))->toolTip();
            QTest::keyClick(panel, Qt::Key_Escape);
        });
        app.InitInstance(
            {QStringLiteral("stepctl"), QStringLiteral("--serial"), QStringLiteral("NOSUCH42")});
        QCOMPARE(app.dialogResult(), IDCANCEL);
    }
    QCOMPARE(serial, std::string("NOSUCH42"));
    // No such chip here: the start-up probe says which one it looked for.
    QVERIFY2(tip.contains(QStringLiteral("NOSUCH42")), qPrintable(tip));
    // Gone with the app: the link is the first chip's again.
    auto* after = dynamic_cast<stepctl::FtdiLink*>(&stepctl::boardLink());
    QVERIFY(after != nullptr && after->serial().empty());
}

void PanelInitTest::boardMenuForThisRunOnly() {
    stepctl::RecordingLink link;
    Panel p(&link);
    QVERIFY2(p.indicatorTip().contains(QStringLiteral("Connected")), qPrintable(p.indicatorTip()));

    // The simulated board: the next Send reaches it, the banner and the tooltip say so.
    const QStringList offered = p.pickBoard(QStringLiteral("&Simulated board"));
    QVERIFY(offered.contains(QStringLiteral("&First chip")));
    QVERIFY(p.dlg().simulatedBoard() != nullptr);
    QVERIFY(p.indicatorTip().contains(QStringLiteral("No exchange with it yet")));
    link.clear();
    p.type(p.atten(), QStringLiteral("21"));
    p.clickSend();
    QVERIFY(link.calls().empty());
    QVERIFY(p.indicatorConnected());
    QVERIFY(p.dlg().simulatedBoard()->report().front().find("code 42") != std::string::npos);
    QVERIFY(p.item<QLabel>("IDC_STATIC_BANNER")->text().contains(QStringLiteral("simulated")));
    QVERIFY2(p.indicatorTip().contains(QStringLiteral("the simulated board")),
             qPrintable(p.indicatorTip()));

    // The first chip again; no Send here, so no frame leaves for a real chip.
    p.pickBoard(QStringLiteral("&First chip"));
    auto* chip = dynamic_cast<stepctl::FtdiLink*>(p.dlg().boardMenu()->current());
    QVERIFY(chip != nullptr && chip->serial().empty());
    QVERIFY(p.dlg().simulatedBoard() == nullptr);
    QVERIFY(p.indicatorTip().contains(QStringLiteral("the first FTDI chip")));
}

void PanelInitTest::screenshot() {
    stepctl::SimulatedBoard sim;
    Panel p(&sim, &sim);
    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();
    const QString path = QStringLiteral(SCREENSHOT_DIR "/stepctl-panel.png");
    QVERIFY(p.dlg().grab().save(path));
}

QTEST_MAIN(PanelInitTest)
#include "PanelInitTest.moc"
