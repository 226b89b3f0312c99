// Device selection, interface selectors, trackbar and up-down control, driven by the mouse and
// the keys. None of them touches the board.
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "PanelHarness.h"
#include "RecordingLink.h"
#include "SelectionState.h"
#include "SimulatedBoard.h"

using stepctl::LinkOp;
using stepctl::RecordingLink;

namespace {

struct Enabled {
    bool atten2, serial, parallel, addressable, address;
    bool operator==(const Enabled&) const = default;
};

Enabled enabledOf(const Panel& p) {
    return {p.atten2()->isEnabled(), p.serial()->isEnabled(), p.parallel()->isEnabled(),
            p.addressable()->isEnabled(), p.address()->isEnabled()};
}

// The top of the trackbar by row: 127 on the 7-bit rows 8..13, else 63.
int topOf(int row) {
    return row >= 8 && row <= 13 ? 127 : 63;
}

// The enabled controls by row, as the device list puts them into effect.
Enabled expectedFor(int row) {
    if (row == 7 || row == 11)
        return {false, false, true, true, true};
    if (row == 12 || row == 13)
        return {false, false, false, true, true};
    if (row == 14)
        return {true, true, true, false, false};
    return {false, true, true, false, false};
}

struct Fields {
    QString state, state2, atten, atten2;
    int code;
    bool operator==(const Fields&) const = default;
};

Fields fieldsOf(const Panel& p) {
    return {p.state()->text(), p.state2()->text(), p.atten()->text(), p.atten2()->text(),
            g_nAttenCode};
}

struct Checks {
    bool serial, parallel, addressable;
    bool operator==(const Checks&) const = default;
};

Checks checksOf(const Panel& p) {
    return {p.serial()->isChecked(), p.parallel()->isChecked(), p.addressable()->isChecked()};
}

}  // namespace

class PanelControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void deviceSelectionByRow();
    void deviceChangeLeavesCodesAndFields();
    void deviceChangeKeepsADisabledInterfaceInForce();
    void sameRowAgainChangesNothing();
    void interfaceSelectors();
    void checkedRadioClickedAgain();
    void serialAddressableRangeUntilSpinSendOrDevice();
    void addressReadOnlyAtSend();
    void trackbarDrag();
    void trackbarFollowsWhileDragging();
    void trackbarKeysAndChannelClicksChangeNothing();
    void spinArrows();
    void spinAfterAWiderRow();
    void spinHeldDownStepsByOne();
    void spinOnTheDualRowTouchesOnlyTheFirst();
    void nothingButSendTouchesTheBoard();
};

void PanelControlsTest::deviceSelectionByRow() {
    RecordingLink link;
    Panel p(&link);
    QCOMPARE(enabledOf(p), expectedFor(0));  // start-up matches the first row
    for (int row : {12, 0, 14, 3, 7, 11, 13, 8, 14, 10, 1, 2, 4, 5, 6, 9}) {
        p.pick(p.device(), row);
        QCOMPARE(g_nDeviceIndex, row);
        QCOMPARE(enabledOf(p), expectedFor(row));
        QCOMPARE(p.slider()->minimum(), 0);
        QCOMPARE(p.slider()->maximum(), topOf(row));
    }
}

void PanelControlsTest::deviceChangeLeavesCodesAndFields() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 14);
    p.type(p.atten2(), QStringLiteral("7.3"));
    p.pick(p.device(), 9);
    p.drag(100);
    QCOMPARE(p.state()->text(), QStringLiteral("100"));
    const Fields before = fieldsOf(p);

    // A 6-bit row: the thumb is clamped by the trackbar; state, code and fields stay.
    p.pick(p.device(), 2);
    QCOMPARE(p.slider()->maximum(), 63);
    QCOMPARE(p.slider()->value(), 63);
    QCOMPARE(fieldsOf(p), before);
    QCOMPARE(g_nAttenCode, 100);
    QVERIFY(!p.atten2()->isEnabled());
    QCOMPARE(p.atten2()->text(), QStringLiteral("7.3"));
}

void PanelControlsTest::deviceChangeKeepsADisabledInterfaceInForce() {
    RecordingLink link;
    Panel p(&link);
    QVERIFY(p.serial()->isChecked());
    p.pick(p.device(), 13);
    QVERIFY(p.serial()->isChecked());
    QVERIFY(!p.serial()->isEnabled());
    QCOMPARE(g_nInterface, 0);

    // And Send uses it: the 7-bit serial frame.
    p.clickSend();
    QCOMPARE(p.dlg().lastOutcome()->kind, stepctl::FrameKind::Serial7);

    // Serial Addressable picked on row 12, then a row without it.
    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.pick(p.device(), 4);
    QVERIFY(p.addressable()->isChecked());
    QVERIFY(!p.addressable()->isEnabled());
    QVERIFY(!p.address()->isEnabled());
    QCOMPARE(g_nInterface, 2);
    p.clickSend();
    QCOMPARE(p.dlg().lastOutcome()->kind, stepctl::FrameKind::Addressable6);
}

void PanelControlsTest::sameRowAgainChangesNothing() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 9);
    p.drag(70);
    const Fields fields = fieldsOf(p);
    const Enabled enabled = enabledOf(p);
    const Checks checks = checksOf(p);
    p.pick(p.device(), 9);
    QCOMPARE(fieldsOf(p), fields);
    QCOMPARE(enabledOf(p), enabled);
    QCOMPARE(checksOf(p), checks);
    QCOMPARE(p.slider()->value(), 70);
    QCOMPARE(p.slider()->maximum(), 127);
}

void PanelControlsTest::interfaceSelectors() {
    stepctl::SimulatedBoard sim;
    sim.plug(false);
    Panel p(&sim);
    // No board at start: nothing checked, Serial in force.
    QCOMPARE(checksOf(p), (Checks{false, false, false}));
    QCOMPARE(g_nInterface, 0);

    p.pick(p.device(), 7);  // offers Latched Parallel and Serial Addressable
    p.click(p.addressable());
    QCOMPARE(checksOf(p), (Checks{false, false, true}));
    QVERIFY(p.address()->isEnabled());
    QCOMPARE(p.slider()->maximum(), 126);
    QCOMPARE(g_nInterface, 2);

    p.click(p.parallel());
    QCOMPARE(checksOf(p), (Checks{false, true, false}));
    QVERIFY(!p.address()->isEnabled());
    QCOMPARE(p.slider()->maximum(), 126);  // unchanged
    QCOMPARE(g_nInterface, 1);

    p.pick(p.device(), 0);
    p.click(p.serial());
    QCOMPARE(checksOf(p), (Checks{true, false, false}));
    QVERIFY(!p.address()->isEnabled());
    QCOMPARE(g_nInterface, 0);

    // A disabled radio takes no click.
    p.click(p.addressable());
    QCOMPARE(checksOf(p), (Checks{true, false, false}));
    QCOMPARE(g_nInterface, 0);

    // The space bar on a focused radio is a click too.
    p.parallel()->setFocus();
    QTest::keyClick(p.parallel(), Qt::Key_Space);
    QCOMPARE(checksOf(p), (Checks{false, true, false}));
    QCOMPARE(g_nInterface, 1);
}

void PanelControlsTest::checkedRadioClickedAgain() {
    RecordingLink link;
    Panel p(&link);
    QVERIFY(p.serial()->isChecked());
    for (int i = 0; i < 2; ++i) {
        p.click(p.serial());
        QCOMPARE(checksOf(p), (Checks{true, false, false}));
        QCOMPARE(g_nInterface, 0);
    }

    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.spinUp();  // range back to 0..127
    QCOMPARE(p.slider()->maximum(), 127);
    QSignalSpy clicks(p.addressable(), &QAbstractButton::clicked);
    p.click(p.addressable());
    QCOMPARE(clicks.count(), 1);
    QVERIFY(p.addressable()->isChecked());
    QCOMPARE(p.slider()->maximum(), 126);  // the handler ran again
}

void PanelControlsTest::serialAddressableRangeUntilSpinSendOrDevice() {
    RecordingLink link;
    Panel p(&link);

    // 7-bit row: never beyond 126 while Serial Addressable's range holds.
    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.drag(127);
    QCOMPARE(p.slider()->value(), 126);
    QCOMPARE(p.state()->text(), QStringLiteral("126"));
    QCOMPARE(p.atten()->text(), QStringLiteral("31.50"));
    p.spinDown();
    QCOMPARE(p.slider()->maximum(), 127);
    QCOMPARE(p.state()->text(), QStringLiteral("125"));
    p.click(p.addressable());
    QCOMPARE(p.slider()->maximum(), 126);
    p.clickSend();
    QCOMPARE(p.slider()->maximum(), 127);

    // 6-bit row: a drag can reach 126 and shows 63.00; the next spin click clamps to 63.
    p.pick(p.device(), 7);
    p.click(p.addressable());
    QCOMPARE(p.slider()->maximum(), 126);
    p.drag(126);
    QCOMPARE(p.state()->text(), QStringLiteral("126"));
    QCOMPARE(p.atten()->text(), QStringLiteral("63.00"));
    QCOMPARE(g_nAttenCode, 126);
    p.spinUp();
    QCOMPARE(p.slider()->maximum(), 63);
    QCOMPARE(p.state()->text(), QStringLiteral("63"));
    QCOMPARE(p.atten()->text(), QStringLiteral("31.50"));
    QCOMPARE(p.slider()->value(), 63);

    // Send brings range and state back within 0..63 too.
    p.click(p.addressable());
    p.drag(100);
    QCOMPARE(p.atten()->text(), QStringLiteral("50.00"));
    p.clickSend();
    QCOMPARE(p.slider()->maximum(), 63);
    QCOMPARE(p.state()->text(), QStringLiteral("63"));
    QCOMPARE(p.atten()->text(), QStringLiteral("31.50"));

    // A device pick resets the range as well.
    p.click(p.addressable());
    p.pick(p.device(), 11);
    QCOMPARE(p.slider()->maximum(), 127);
}

void PanelControlsTest::addressReadOnlyAtSend() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.type(p.atten(), QStringLiteral("1.25"));
    p.pick(p.address(), 6);
    QVERIFY(link.writes().size() == 0);

    // Disabled, the list keeps its selection.
    p.pick(p.device(), 0);
    QVERIFY(!p.address()->isEnabled());
    QCOMPARE(p.address()->currentIndex(), 6);
    p.pick(p.device(), 12);
    QCOMPARE(p.address()->currentIndex(), 6);
    p.clickSend();
    QCOMPARE(p.dlg().lastOutcome()->frame,
             stepctl::buildControlFrame(stepctl::Interface::SerialAddressable, true, 6 * 256 + 5));
}

void PanelControlsTest::trackbarDrag() {
    RecordingLink link;
    Panel p(&link);
    struct Case {
        int row, to;
        const char* state;
        const char* db;
    };
    for (const Case c :
         {Case{0, 63, "63", "31.50"}, Case{9, 127, "127", "31.75"}, Case{14, 63, "63", "31.50"},
          Case{3, 1, "1", "0.50"}, Case{10, 1, "1", "0.25"}, Case{14, 1, "1", "0.50"},
          Case{5, 0, "0", "0.00"}}) {
        p.pick(p.device(), c.row);
        p.drag(c.to);
        QCOMPARE(p.slider()->value(), c.to);
        QCOMPARE(p.state()->text(), QString::fromLatin1(c.state));
        QCOMPARE(p.atten()->text(), QString::fromLatin1(c.db));
        QCOMPARE(g_nAttenCode, c.to);
        QCOMPARE(QString::fromStdString(g_strAttenDb), QString::fromLatin1(c.db));
        QCOMPARE(p.slider()->maximum(), topOf(c.row));  // the drag keeps it
    }
    QCOMPARE(p.state2()->text(), QStringLiteral("0"));
    QVERIFY(p.atten2()->text().isEmpty());
}

void PanelControlsTest::trackbarFollowsWhileDragging() {
    RecordingLink link;
    Panel p(&link);
    p.press();
    for (int to : {5, 17, 40, 12}) {
        p.moveTo(to);
        QCOMPARE(p.state()->text(), QString::number(to));
        QCOMPARE(g_nAttenCode, to);
    }
    QCOMPARE(p.atten()->text(), QStringLiteral("6.00"));
    p.release();
    QCOMPARE(p.state()->text(), QStringLiteral("12"));
    QCOMPARE(p.slider()->value(), 12);
}

void PanelControlsTest::trackbarKeysAndChannelClicksChangeNothing() {
    RecordingLink link;
    Panel p(&link);
    p.drag(30);
    const Fields fields = fieldsOf(p);
    const struct {
        Qt::Key key;
        int expected;
    } keys[] = {{Qt::Key_Right, 31},  {Qt::Key_Left, 30},     {Qt::Key_Up, 31},  {Qt::Key_Down, 30},
                {Qt::Key_PageUp, 40}, {Qt::Key_PageDown, 30}, {Qt::Key_End, 63}, {Qt::Key_Home, 0}};
    for (const auto& k : keys) {
        p.sliderKey(k.key);
        QCOMPARE(p.slider()->value(), k.expected);
        QCOMPARE(fieldsOf(p), fields);
    }
    p.clickChannelRight();
    QCOMPARE(p.slider()->value(), p.slider()->pageStep());
    QCOMPARE(fieldsOf(p), fields);

    // The next spin click continues from the state, not from the thumb.
    p.spinUp();
    QCOMPARE(p.state()->text(), QStringLiteral("31"));
    QCOMPARE(p.slider()->value(), 31);
}

void PanelControlsTest::spinArrows() {
    RecordingLink link;
    Panel p(&link);
    p.spinUp();
    QCOMPARE(p.state()->text(), QStringLiteral("1"));
    QCOMPARE(p.atten()->text(), QStringLiteral("0.50"));
    QCOMPARE(p.slider()->value(), 1);
    p.spinDown();
    p.spinDown();  // stays at 0
    QCOMPARE(p.state()->text(), QStringLiteral("0"));
    QCOMPARE(p.atten()->text(), QStringLiteral("0.00"));

    p.drag(63);
    p.spinUp();  // stays at the top
    QCOMPARE(p.state()->text(), QStringLiteral("63"));
    QCOMPARE(p.atten()->text(), QStringLiteral("31.50"));

    p.pick(p.device(), 8);
    p.drag(127);
    p.spinUp();
    QCOMPARE(p.state()->text(), QStringLiteral("127"));
    QCOMPARE(p.atten()->text(), QStringLiteral("31.75"));
    p.spinDown();
    QCOMPARE(p.state()->text(), QStringLiteral("126"));
    QCOMPARE(p.atten()->text(), QStringLiteral("31.50"));
    // The spin's text is its own: g_strAttenDb keeps the trackbar's.
    QCOMPARE(QString::fromStdString(g_strAttenDb), QStringLiteral("31.75"));
}

void PanelControlsTest::spinAfterAWiderRow() {
    for (bool up : {true, false}) {
        RecordingLink link;
        Panel p(&link);
        p.pick(p.device(), 10);
        p.drag(100);
        p.pick(p.device(), 3);
        QCOMPARE(p.state()->text(), QStringLiteral("100"));
        up ? p.spinUp() : p.spinDown();
        QCOMPARE(p.state()->text(), QStringLiteral("63"));
        QCOMPARE(p.atten()->text(), QStringLiteral("31.50"));
        QCOMPARE(p.slider()->value(), 63);
        QCOMPARE(g_nAttenCode, 63);
    }
}

void PanelControlsTest::spinHeldDownStepsByOne() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 8);
    for (QToolButton* arrow : {p.spin()->upArrow(), p.spin()->downArrow()}) {
        arrow->setAutoRepeatDelay(10);
        arrow->setAutoRepeatInterval(2);
    }
    QSignalSpy steps(p.spin(), &UpDownControl::deltaPos);
    QTest::mousePress(p.spin()->upArrow(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(steps.count() >= 30, 5000);
    QTest::mouseRelease(p.spin()->upArrow(), Qt::LeftButton);

    // The control accelerates, and every notification still moves the state by one.
    int largest = 0;
    for (const auto& step : steps) {
        QVERIFY(step.at(0).toInt() < 0);
        largest = std::max(largest, -step.at(0).toInt());
    }
    QVERIFY(largest > 1);
    const int expected = std::min(127, int(steps.count()));
    QCOMPARE(p.state()->text(), QString::number(expected));
    QCOMPARE(p.slider()->value(), expected);

    steps.clear();
    QTest::mousePress(p.spin()->downArrow(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(steps.count() >= 10, 5000);
    QTest::mouseRelease(p.spin()->downArrow(), Qt::LeftButton);
    for (const auto& step : steps)
        QVERIFY(step.at(0).toInt() > 0);
    QCOMPARE(p.state()->text(), QString::number(std::max(0, expected - int(steps.count()))));
}

void PanelControlsTest::spinOnTheDualRowTouchesOnlyTheFirst() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 14);
    p.type(p.atten(), QStringLiteral("3"));
    p.type(p.atten2(), QStringLiteral("4"));
    p.clickSend();
    QCOMPARE(p.state2()->text(), QStringLiteral("8"));
    p.type(p.atten2(), QStringLiteral("9.9"));
    p.spinUp();
    QCOMPARE(p.state()->text(), QStringLiteral("7"));
    QCOMPARE(p.atten()->text(), QStringLiteral("3.50"));
    QCOMPARE(p.state2()->text(), QStringLiteral("8"));
    QCOMPARE(p.atten2()->text(), QStringLiteral("9.9"));
    QCOMPARE(g_nAttenCode2, 8);
}

void PanelControlsTest::nothingButSendTouchesTheBoard() {
    RecordingLink link;
    Panel p(&link);
    link.clear();
    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.pick(p.address(), 3);
    p.drag(50);
    p.spinUp();
    p.sliderKey(Qt::Key_PageUp);
    p.type(p.atten(), QStringLiteral("7"));
    p.pick(p.device(), 14);
    p.click(p.parallel());
    QVERIFY(link.calls().empty());
}

QTEST_MAIN(PanelControlsTest)
#include "PanelControlsTest.moc"
