// The frame view: opened from the window menu, it draws the last frame's lanes exactly as the
// bytes that reached the link say, marks the latch pulses, shows the simulated board, saves
// VCD, and leaves the panel as it was.
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "../board/FrameHex.h"
#include "FrameDiagram.h"
#include "FrameView.h"
#include "Palette.h"
#include "PanelHarness.h"
#include "RecordingLink.h"
#include "SimulatedBoard.h"
#include "Vcd.h"

using stepctl::FrameKind;
using stepctl::RecordingLink;

namespace {

struct Road {
    const char* name;
    int row;
    int iface;  // 0 Serial, 1 Latched Parallel, 2 Serial Addressable
    int address;
    const char* typed;
    const char* typed2;
    FrameKind kind;
};

const Road kRoads[] = {
    {"serial-6", 3, 0, 1, "21", "", FrameKind::Serial6},
    {"serial-7", 9, 0, 1, "21.25", "", FrameKind::Serial7},
    {"parallel-6", 3, 1, 1, "21", "", FrameKind::Parallel6},
    {"parallel-7", 9, 1, 1, "31.75", "", FrameKind::Parallel7},
    {"addressable-6", 7, 2, 5, "21", "", FrameKind::Addressable6},
    {"addressable-7", 11, 2, 3, "21.25", "", FrameKind::Addressable7},
    {"dual", 14, 0, 1, "21", "10.5", FrameKind::Dual},
};

void drive(Panel& p, const Road& road) {
    p.choose(road.row, road.iface, road.address);
    p.type(p.atten(), QString::fromLatin1(road.typed));
    if (p.atten2()->isEnabled())
        p.type(p.atten2(), QString::fromLatin1(road.typed2));
    p.clickSend();
}

// Right-click on the panel's background and take "Frame view" with its mnemonic.
FrameView* openFromMenu(Panel& p) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            p.dlg().mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&p.dlg(), &event);
    QMenu* menu = p.dlg().windowMenu();
    if (!QTest::qWaitForWindowExposed(menu))
        return nullptr;
    QTest::keyClick(menu, Qt::Key_F);
    FrameView* view = p.dlg().frameView();
    if (view == nullptr || !QTest::qWaitForWindowExposed(view))
        return nullptr;
    return view;
}

}  // namespace

class FrameViewTest : public QObject {
    Q_OBJECT

  private slots:
    void lanesMatchTheBytes();
    void followsSendsAndShowsTheSimulatedBoard();
    void savesTheFrameAsVcd();
    void saveFailureIsReported();
    void leavesThePanelAlone();
    void screenshotsForTheDocs();
    void summaryNamesWhatWasSent();
    void escapeClosesIt();
    void readsOnLightAndDark();
    void fitsTheScreenAndFollowsItsContent();
};

void FrameViewTest::lanesMatchTheBytes() {
    for (const Road& road : kRoads) {
        RecordingLink link;
        Panel p(&link);
        drive(p, road);
        const stepctl::Frame bytes = lastWrite(link);
        FrameView* view = openFromMenu(p);
        QVERIFY2(view != nullptr, road.name);
        FrameDiagram* diagram = view->diagram();

        const auto expected = stepctl::lanesFor(road.kind);
        QCOMPARE(diagram->lanes().size(), expected.size());
        const QImage image = diagram->grab().toImage();
        const QColor trace = diagram->traceColour();
        const QColor latch = diagram->latchColour();
        int latchSamples = 0;
        for (std::size_t lane = 0; lane < expected.size(); ++lane) {
            QCOMPARE(diagram->lanes()[lane].name, expected[lane].name);
            const int l = static_cast<int>(lane);
            for (int s = 0; s < 36; ++s) {
                const bool high = (bytes[static_cast<std::size_t>(s)] & expected[lane].mask) != 0;
                const int x = (diagram->sampleLeft(s) + diagram->sampleLeft(s + 1)) / 2;
                const QColor atHigh = image.pixelColor(x, diagram->highY(l));
                const QColor atLow = image.pixelColor(x, diagram->lowY(l));
                const QByteArray where = QByteArray(road.name) + " lane " +
                                         QByteArray(expected[lane].name.data()) + " sample " +
                                         QByteArray::number(s);
                QVERIFY2((atHigh == trace) == high, where);
                QVERIFY2((atLow == trace) == !high, where);
                if (high && (expected[lane].name == "LE" || expected[lane].name == "LE2")) {
                    // The latch band runs across the lanes, between the levels.
                    const int between = (diagram->highY(0) + diagram->lowY(0)) / 2;
                    QVERIFY2(image.pixelColor(x, between) == latch, where);
                    ++latchSamples;
                }
            }
        }
        // One latch pulse per frame, two in the dual frame.
        QCOMPARE(latchSamples, road.kind == FrameKind::Dual ? 2 : 1);
        QVERIFY(view->findChild<QLabel*>("summary")->text().contains(QLatin1String(road.name)));
        QVERIFY(view->grab().save(
            QStringLiteral(SCREENSHOT_DIR "/frame-view-%1.png").arg(QLatin1String(road.name))));
    }
}

void FrameViewTest::followsSendsAndShowsTheSimulatedBoard() {
    stepctl::SimulatedBoard sim;
    Panel p(&sim, &sim);
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    QVERIFY(!view->diagram()->hasFrame());
    QVERIFY(!view->findChild<QPushButton*>("saveVcd")->isEnabled());
    auto* board = view->findChild<QLabel*>("simulatedBoard");
    QVERIFY(board->isVisible());

    drive(p, kRoads[6]);  // dual: 42 and 21
    QVERIFY(view->diagram()->hasFrame());
    QCOMPARE(view->diagram()->lanes().size(), std::size_t{4});
    QVERIFY2(board->text().contains(QStringLiteral("attenuator 1: code 42 (21.00 dB)")),
             qPrintable(board->text()));
    QVERIFY(board->text().contains(QStringLiteral("attenuator 2: code 21 (10.50 dB)")));
    QVERIFY(view->findChild<QLabel*>("bytes")->text().startsWith(QStringLiteral("40 60 00 20")));

    // A transfer that fails shows the frame that was built, marked as not sent.
    sim.plug(false);
    drive(p, kRoads[0]);
    QVERIFY(view->findChild<QLabel*>("summary")->text().contains(QStringLiteral("not sent")));
    QCOMPARE(view->diagram()->lanes().size(), std::size_t{3});

    // Without the simulated board there is nothing to report.
    RecordingLink link;
    Panel plain(&link);
    FrameView* other = openFromMenu(plain);
    QVERIFY(other != nullptr);
    QVERIFY(!other->findChild<QLabel*>("simulatedBoard")->isVisible());
}

void FrameViewTest::savesTheFrameAsVcd() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("dual.vcd"));
    RecordingLink link;
    Panel p(&link);
    drive(p, kRoads[6]);
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);

    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        asked = dialog != nullptr;
        if (dialog == nullptr)
            return;
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    });
    QTest::mouseClick(view->findChild<QPushButton*>("saveVcd"), Qt::LeftButton);
    QVERIFY(asked);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written.toStdString(), stepctl::frameToVcd(FrameKind::Dual, lastWrite(link)));
    QVERIFY(written.contains("LE2"));
    // The dialog keeps no history behind.
    const QDir config(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    QVERIFY(!config.exists(QStringLiteral("QtProject.conf")));
}

void FrameViewTest::saveFailureIsReported() {
    RecordingLink link;
    Panel p(&link);
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    QString error;
    QVERIFY(!view->saveVcd(QStringLiteral("/tmp/x.vcd"), &error));  // nothing sent yet
    QVERIFY(!error.isEmpty());
    drive(p, kRoads[0]);
    QVERIFY(!view->saveVcd(QStringLiteral("/nonexistent-dir/x.vcd"), &error));
    QVERIFY(error.contains(QStringLiteral("/nonexistent-dir/x.vcd")));
}

void FrameViewTest::leavesThePanelAlone() {
    RecordingLink link;
    Panel p(&link);
    drive(p, kRoads[4]);
    const QStringList before = {p.state()->text(), p.atten()->text(),
                                QString::number(p.slider()->value()),
                                QString::number(p.slider()->maximum())};
    link.clear();
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    view->refresh();
    view->close();
    QVERIFY(openFromMenu(p) == view);  // the same window again
    QVERIFY(link.calls().empty());
    QCOMPARE(
        (QStringList{p.state()->text(), p.atten()->text(), QString::number(p.slider()->value()),
                     QString::number(p.slider()->maximum())}),
        before);
    // Non-modal: the panel still takes clicks while the view is open.
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    p.spinUp();
    QCOMPARE(p.state()->text(), QString::number(before[0].toInt() + 1));
}

void FrameViewTest::screenshotsForTheDocs() {
    // The pictures in the README: `cmake --build build --target docs-screenshots` writes them
    // into docs/; a plain test run writes them into the build tree.
    const QString dir = qEnvironmentVariableIsSet("STEPCTL_SHOT_DIR")
                            ? qEnvironmentVariable("STEPCTL_SHOT_DIR")
                            : QStringLiteral(SCREENSHOT_DIR);
    stepctl::SimulatedBoard sim;
    Panel p(&sim, &sim);
    drive(p, kRoads[6]);  // the dual device: two codes, two latch pulses
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    QVERIFY(p.dlg().grab().save(dir + QStringLiteral("/panel.png")));
    QVERIFY(view->grab().save(dir + QStringLiteral("/frame-view.png")));
}

void FrameViewTest::summaryNamesWhatWasSent() {
    struct Case {
        const Road& road;
        bool plugged;
        const char* summary;
    };
    const Case cases[] = {
        {kRoads[5], true, "ZMT-B4/B5, addressable-7, code 85 (21.25 dB) to address 3: sent"},
        {kRoads[6], true, "ZMG-C1, dual, codes 42 (21.00 dB) and 21 (10.50 dB): sent"},
        {kRoads[3], false, "ZMG-B2, parallel-7, code 127 (31.75 dB): not sent, no device"},
    };
    for (const Case& c : cases) {
        stepctl::SimulatedBoard sim;
        sim.plug(c.plugged);
        Panel p(&sim, &sim);
        drive(p, c.road);
        FrameView* view = openFromMenu(p);
        QVERIFY(view != nullptr);
        const QString summary = view->findChild<QLabel*>("summary")->text();
        QVERIFY2(summary.contains(QLatin1String(c.summary)), qPrintable(summary));
    }
    // The parallel lanes read as weights, not as the names a waveform file needs.
    RecordingLink link;
    Panel p(&link);
    drive(p, kRoads[3]);
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    QCOMPARE(view->diagram()->lanes()[5].label, std::string_view("0.5 dB"));
    QCOMPARE(view->diagram()->lanes()[6].label, std::string_view("0.25 dB"));
}

void FrameViewTest::escapeClosesIt() {
    RecordingLink link;
    Panel p(&link);
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    QVERIFY(p.dlg().isVisible());
}

void FrameViewTest::readsOnLightAndDark() {
    QPalette dark(QColor(0xee, 0xee, 0xee), QColor(0x35, 0x35, 0x35), QColor(0x50, 0x50, 0x50),
                  QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30), QColor(0xf0, 0xf0, 0xf0),
                  Qt::white, QColor(0x2a, 0x2a, 0x2a), QColor(0x23, 0x23, 0x23));
    for (const QPalette& palette : {QPalette(Qt::white), dark}) {
        RecordingLink link;
        Panel p(&link);
        drive(p, kRoads[6]);  // the dual frame: four lanes, two latch bands
        FrameView* view = openFromMenu(p);
        QVERIFY(view != nullptr);
        view->setPalette(palette);
        FrameDiagram* diagram = view->diagram();
        const QColor base = diagram->palette().color(QPalette::Base);
        const QString where = QStringLiteral("on %1").arg(base.name());
        // Lines at 3:1 on the ground and on the latch band, text at 4.5:1.
        QVERIFY2(contrastRatio(diagram->traceColour(), base) >= 3.0, qPrintable(where));
        QVERIFY2(contrastRatio(diagram->traceColour(), diagram->latchColour()) >= 3.0,
                 qPrintable(where));
        const QRect names(0, diagram->highY(0), diagram->sampleLeft(0),
                          diagram->lowY(3) - diagram->highY(0));
        const double text = drawnContrast(diagram, names);
        QVERIFY2(text >= 4.5, qPrintable(where + QStringLiteral(": %1:1").arg(text)));
        const QRect numbers(diagram->sampleLeft(0), 0, diagram->width() - diagram->sampleLeft(0),
                            diagram->highY(0) - 6);
        QVERIFY2(drawnContrast(diagram, numbers) >= 4.5, qPrintable(where));
        qInfo("lane names %s: %.2f:1", qPrintable(where), text);
    }
}

void FrameViewTest::fitsTheScreenAndFollowsItsContent() {
    stepctl::SimulatedBoard sim;
    Panel p(&sim, &sim);
    FrameView* view = openFromMenu(p);
    QVERIFY(view != nullptr);
    const QRect screen = view->screen()->availableGeometry();
    QHash<QByteArray, int> heights;
    for (const Road& road : kRoads) {
        drive(p, road);
        QVERIFY2(screen.contains(view->frameGeometry()), road.name);
        // Nothing cut off: the window is at least as large as its content needs.
        QVERIFY2(view->width() >= view->minimumSizeHint().width() &&
                     view->height() >= view->minimumSizeHint().height(),
                 road.name);
        heights.insert(road.name, view->height());
    }
    // Eight lanes ask for more room than three, and the view gives it back.
    QVERIFY(heights["parallel-7"] > heights["serial-6"]);
    drive(p, kRoads[0]);
    QCOMPARE(view->height(), heights["serial-6"]);
    qInfo("screen %dx%d, view %dx%d (serial-6) to %dx%d (parallel-7) at most", screen.width(),
          screen.height(), view->width(), heights["serial-6"], view->width(),
          heights["parallel-7"]);
}

QTEST_MAIN(FrameViewTest)
#include "FrameViewTest.moc"
