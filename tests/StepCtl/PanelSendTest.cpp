// The Send road, driven from the keyboard and the mouse: the fields and the trackbar it leaves,
// the frame that reaches the link, the connection indicator, bad input and a German locale.
// What the simulated board latches after each Send is checked by the random-action and soak
// tests, the faults of an exchange by the fault table (tests/e2e).
#include <QLocale>
#include <QTest>
#include <clocale>

#include "../board/FrameHex.h"
#include "../model/LocaleGuard.h"
#include "Frames.h"
#include "PanelHarness.h"
#include "RecordingLink.h"
#include "SelectionState.h"
#include "SimulatedBoard.h"

using stepctl::FrameKind;
using stepctl::Interface;
using stepctl::LinkOp;
using stepctl::RecordingLink;
using stepctl::SimulatedBoard;

namespace {

QString hex(const stepctl::Frame& frame) {
    return QString::fromStdString(hexOf(frame));
}

QString lastHex(const RecordingLink& link) {
    return link.writes().empty() ? QStringLiteral("<nothing written>") : hex(lastWrite(link));
}

// One Send per frame kind and the worked Sends: quantising itself is the model's (DbCode).
struct SendCase {
    const char* name;
    int row, iface, address;
    const char *typed1, *typed2;
    const char *state1, *field1, *state2, *field2;
    FrameKind kind;
    stepctl::Frame frame;
};

const stepctl::Frame kDual63And14 = stepctl::buildDualFrame(63, 14);

// clang-format off
const SendCase kSends[] = {
    {"row 3 serial 10.7", 3, 0, 1, "10.7", "", "21", "10.50", "0", "0.00", FrameKind::Serial6,
     frameFromHex("00 20 40 60 00 20 40 60 00 20 40 60 00 08")},
    {"row 9 parallel 10.7", 9, 1, 1, "10.7", "", "42", "10.50", "0", "0.00", FrameKind::Parallel7,
     stepctl::buildControlFrame(Interface::LatchedParallel, true, 42)},
    {"row 12 addressable 5, 1.25", 12, 2, 5, "1.25", "", "5", "1.25", "0", "0.00",
     FrameKind::Addressable7, stepctl::buildControlFrame(Interface::SerialAddressable, true, 1285)},
    {"row 14 serial 40 / 7.3", 14, 0, 1, "40", "7.3", "63", "31.50", "14", "7.00", FrameKind::Dual,
     kDual63And14},
    {"row 14 parallel is the dual frame too", 14, 1, 1, "40", "7.3", "63", "31.50", "14", "7.00",
     FrameKind::Dual, kDual63And14},
    {"6-bit code 1 shows 0.50", 0, 0, 1, "0.5", "", "1", "0.50", "0", "0.00", FrameKind::Serial6,
     stepctl::buildControlFrame(Interface::Serial, false, 1)},
    {"7-bit top 31.75", 8, 0, 1, "31.75", "", "127", "31.75", "0", "0.00", FrameKind::Serial7,
     frameFromHex("40 60 40 60 40 60 40 60 40 60 40 60 40 60 00 20 00 08")},
    {"7-bit code 1 shows 0.25", 10, 1, 1, "0.25", "", "1", "0.25", "0", "0.00",
     FrameKind::Parallel7, frameFromHex("00 01 09 01")},
    {"empty", 3, 0, 1, "", "", "0", "0.00", "0", "0.00", FrameKind::Serial6,
     frameFromHex("00 20 00 20 00 20 00 20 00 20 00 20 00 08")},
    {"negative", 3, 0, 1, "-0.3", "", "0", "0.00", "0", "0.00", FrameKind::Serial6,
     stepctl::buildControlFrame(Interface::Serial, false, 0)},
    {"row 2 parallel 21", 2, 1, 1, "21", "", "42", "21.00", "0", "0.00", FrameKind::Parallel6,
     frameFromHex("00 C4 CC C4")},
    {"row 7 addressable 6-bit, address 7", 7, 2, 7, "0", "", "0", "0.00", "0", "0.00",
     FrameKind::Addressable6,
     frameFromHex("00 20 00 20 00 20 00 20 00 20 00 20 40 60 40 60 40 60 00 00 00 08")},
};

// Bad input, typed into both fields of the dual row: the code, and the text shown back.
const struct {
    const char* name;
    QString typed;
    const char *state, *shown;
} kBadInputs[] = {
    {"empty", "", "0", "0.00"},
    {"spaces", "   ", "0", "0.00"},
    {"abc", "abc", "0", "0.00"},
    {"5dB", "5dB", "10", "5.00"},
    {"1e1", "1e1", "20", "10.00"},
    {"-3", "-3", "0", "0.00"},
    {"1e39", "1e39", "63", "31.50"},
    {"-1e39", "-1e39", "0", "0.00"},
    {"nan", "nan", "0", "0.00"},
    {"inf", "inf", "63", "31.50"},
    {"comma", "10,7", "20", "10.00"},
    {"10,000 digits", QString(10000, QLatin1Char('9')), "63", "31.50"},
};
// clang-format on

// A board that is not there for its first `absentOpens` opens, then is.
class PluggedInLate final : public stepctl::BoardLink {
  public:
    PluggedInLate(stepctl::BoardLink& board, int absentOpens)
        : board_(board), absentOpens_(absentOpens) {}
    stepctl::LinkStatus open() override {
        if (absentOpens_-- > 0)
            return {stepctl::LinkCode::DeviceNotFound, "not yet"};
        return board_.open();
    }
    stepctl::LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override {
        return board_.setBitMode(mask, mode);
    }
    stepctl::LinkStatus setBaudRate(int baud) override { return board_.setBaudRate(baud); }
    stepctl::LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
        return board_.write(bytes, written);
    }
    stepctl::LinkStatus close() override { return board_.close(); }

  private:
    stepctl::BoardLink& board_;
    int absentOpens_;
};

}  // namespace

class PanelSendTest : public QObject {
    Q_OBJECT

  private slots:
    void sendRoad_data();
    void sendRoad();
    void row14WithSerialAddressableSendsOnlyTheFirstCode();
    void secondFieldOffTheDualRow();
    void noBoardThenOnePluggedIn();
    void indicatorFollowsTheProbeThoughTheFrameArrived();
    void failedWriteIsNamedOnScreen();
    void listWithoutSelectionGetsItBackBeforeTheSend();
    void badInput_data();
    void badInput();
    void germanLocale();
};

void PanelSendTest::sendRoad_data() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < std::size(kSends); ++i)
        QTest::newRow(kSends[i].name) << int(i);
}

void PanelSendTest::sendRoad() {
    QFETCH(int, index);
    const SendCase& c = kSends[index];

    RecordingLink link;
    Panel p(&link);
    p.choose(c.row, c.iface, c.address);
    p.type(p.atten(), QString::fromLatin1(c.typed1));
    if (p.atten2()->isEnabled())
        p.type(p.atten2(), QString::fromLatin1(c.typed2));
    link.clear();
    p.clickSend();

    QCOMPARE(p.state()->text(), QString::fromLatin1(c.state1));
    QCOMPARE(p.atten()->text(), QString::fromLatin1(c.field1));
    QCOMPARE(p.state2()->text(), QString::fromLatin1(c.state2));
    QCOMPARE(p.atten2()->text(), QString::fromLatin1(c.field2));
    QCOMPARE(p.slider()->value(), p.state()->text().toInt());
    QCOMPARE(g_nAttenCode, p.state()->text().toInt());
    QCOMPARE(p.slider()->maximum(), stepctl::isSevenBitKind(c.kind) ? 127 : 63);
    QVERIFY(p.indicatorConnected());

    // The probe, then the transfer: open, bit-bang on every pin, 460800, one write, close.
    QCOMPARE(link.ops(),
             (std::vector<LinkOp>{LinkOp::Open, LinkOp::Close, LinkOp::Open, LinkOp::SetBitMode,
                                  LinkOp::SetBaudRate, LinkOp::Write, LinkOp::Close}));
    QCOMPARE(link.calls()[3].arg1, 0xFF);
    QCOMPARE(link.calls()[3].arg2, 1);
    QCOMPARE(link.calls()[4].arg1, 460800);
    QCOMPARE(link.calls()[5].bytes.size(), std::size_t{36});
    QCOMPARE(lastHex(link), hex(c.frame));
    QVERIFY(p.dlg().lastOutcome().has_value());
    QCOMPARE(hex(p.dlg().lastOutcome()->frame), lastHex(link));
    QCOMPARE(p.dlg().lastOutcome()->kind, c.kind);
}

void PanelSendTest::row14WithSerialAddressableSendsOnlyTheFirstCode() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 14);
    p.type(p.atten(), QStringLiteral("3"));
    p.type(p.atten2(), QStringLiteral("4"));
    p.clickSend();  // dual: 6 and 8
    QCOMPARE(p.state2()->text(), QStringLiteral("8"));

    // Serial Addressable picked on a row that offers it, then back to the dual row.
    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.pick(p.device(), 14);
    QVERIFY(p.addressable()->isChecked());
    QVERIFY(!p.addressable()->isEnabled());
    p.type(p.atten(), QStringLiteral("10"));
    p.type(p.atten2(), QStringLiteral("5"));
    p.clickSend();

    // The address list still says "1": 1 x 256 + 20, in the 6-bit addressable frame.
    QCOMPARE(lastHex(link),
             hex(stepctl::buildControlFrame(Interface::SerialAddressable, false, 256 + 20)));
    QCOMPARE(p.dlg().lastOutcome()->kind, FrameKind::Addressable6);
    QCOMPARE(g_bSevenBit, 0);
    // The second code is computed and shown, but goes nowhere.
    QCOMPARE(p.state2()->text(), QStringLiteral("10"));
    QCOMPARE(p.atten2()->text(), QStringLiteral("5.00"));
    QCOMPARE(g_nAttenCode2, 10);
}

void PanelSendTest::secondFieldOffTheDualRow() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 14);
    p.type(p.atten2(), QStringLiteral("7.3"));
    p.pick(p.device(), 0);
    QVERIFY(!p.atten2()->isEnabled());
    QCOMPARE(p.atten2()->text(), QStringLiteral("7.3"));  // a device change leaves it
    p.type(p.atten(), QStringLiteral("1"));
    p.clickSend();
    // Read and rewritten as typed, neither quantised nor clamped; the second state untouched.
    QCOMPARE(p.atten2()->text(), QStringLiteral("7.30"));
    QCOMPARE(p.state2()->text(), QStringLiteral("0"));
    QCOMPARE(lastHex(link), hex(stepctl::buildControlFrame(Interface::Serial, false, 2)));
}

// No board at start nor at the Send: the fields still follow and nothing is written. Plugged in
// later, the next Send finds it.
void PanelSendTest::noBoardThenOnePluggedIn() {
    SimulatedBoard sim;
    sim.plug(false);
    RecordingLink link(sim);
    Panel p(&link, &sim);
    QVERIFY(!p.indicatorConnected());
    QVERIFY(!p.serial()->isChecked());

    p.type(p.atten(), QStringLiteral("10.7"));
    link.clear();
    p.clickSend();
    QVERIFY(!p.indicatorConnected());
    QCOMPARE(p.state()->text(), QStringLiteral("21"));
    QCOMPARE(p.atten()->text(), QStringLiteral("10.50"));
    QCOMPARE(link.ops(), (std::vector<LinkOp>{LinkOp::Open, LinkOp::Open}));
    QCOMPARE(p.dlg().lastOutcome()->status, stepctl::SendStatus::NoDevice);
    // No radio checked, yet the interface in force is Serial.
    QCOMPARE(p.dlg().lastOutcome()->kind, FrameKind::Serial6);

    sim.plug(true);
    p.clickSend();
    QVERIFY(p.indicatorConnected());
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(21));
}

// The Send's probe finds no board but its transfer does: the indicator says what the probe
// found, the tooltip what the transfer did.
void PanelSendTest::indicatorFollowsTheProbeThoughTheFrameArrived() {
    SimulatedBoard sim;
    PluggedInLate link(sim, 2);  // absent for the start-up probe and the Send's
    Panel p(&link, &sim);
    QVERIFY(!p.indicatorConnected());
    p.type(p.atten(), QStringLiteral("3"));
    p.clickSend();
    QVERIFY(p.dlg().lastOutcome()->sent());
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(6));
    QVERIFY(!p.indicatorConnected());
    QVERIFY2(p.indicatorTip().contains(QStringLiteral("Connected: the chip answered")),
             qPrintable(p.indicatorTip()));
}

// The probe finds the board, the write fails: "Connected" stays, and the banner line says in
// the indicator's red what failed, until a Send succeeds.
void PanelSendTest::failedWriteIsNamedOnScreen() {
    SimulatedBoard sim;
    RecordingLink link(sim);
    Panel p(&link);
    auto* banner = p.item<QLabel>("IDC_STATIC_BANNER");
    const QColor normal = banner->palette().color(banner->foregroundRole());
    sim.failCall(LinkOp::Write);
    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();
    QVERIFY(p.indicatorConnected());
    QVERIFY(banner->isVisible());
    QCOMPARE(banner->text(), QStringLiteral("Write failed: simulated write failure"));
    QCOMPARE(banner->palette().color(banner->foregroundRole()), QColor(255, 0, 0));
    QVERIFY2(p.indicatorTip().contains(QStringLiteral("writing the frame failed")),
             qPrintable(p.indicatorTip()));

    sim.clearFaults();
    p.clickSend();
    QCOMPARE(banner->text(), QStringLiteral("StepCtl \u00b7 DSA/DVGA control"));
    QCOMPARE(banner->palette().color(banner->foregroundRole()), normal);
}

void PanelSendTest::listWithoutSelectionGetsItBackBeforeTheSend() {
    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.type(p.atten(), QStringLiteral("1.25"));
    p.clickSend();
    const auto before = p.dlg().lastOutcome();
    QVERIFY(before.has_value());

    // The lists never lose their selection by themselves; this state only arises when the
    // selection is taken away from outside.
    p.address()->setCurrentIndex(-1);
    p.type(p.atten(), QStringLiteral("2.5"));
    link.clear();
    p.clickSend();

    // The list has its entry back before the Send reads it, and the frame goes to it.
    QCOMPARE(p.address()->currentIndex(), 1);
    QCOMPARE(p.state()->text(), QStringLiteral("10"));
    QCOMPARE(p.atten()->text(), QStringLiteral("2.50"));
    QCOMPARE(link.writes().size(), std::size_t{1});
    QVERIFY(p.indicatorConnected());
    QCOMPARE(p.dlg().lastOutcome()->frame,
             stepctl::buildControlFrame(stepctl::Interface::SerialAddressable, true, 256 + 10));
    QVERIFY(p.dlg().lastOutcome()->frame != before->frame);
}

void PanelSendTest::badInput_data() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < std::size(kBadInputs); ++i)
        QTest::newRow(kBadInputs[i].name) << int(i);
}

void PanelSendTest::badInput() {
    QFETCH(int, index);
    const auto& c = kBadInputs[index];
    RecordingLink link;
    Panel p(&link);
    // On the dual row both fields are quantised; the same text goes into both.
    p.pick(p.device(), 14);
    p.atten()->setMaxLength(20000);
    p.atten2()->setMaxLength(20000);
    p.type(p.atten(), c.typed);
    p.type(p.atten2(), c.typed);
    p.clickSend();
    QCOMPARE(p.state()->text(), QString::fromLatin1(c.state));
    QCOMPARE(p.atten()->text(), QString::fromLatin1(c.shown));
    QCOMPARE(p.state2()->text(), QString::fromLatin1(c.state));
    QCOMPARE(p.atten2()->text(), QString::fromLatin1(c.shown));
    const int code = p.state()->text().toInt();
    QCOMPARE(lastHex(link), hex(stepctl::buildDualFrame(code, code)));
}

void PanelSendTest::germanLocale() {
    LocaleGuard german("de_DE.UTF-8");
    QVERIFY2(german.active(), "de_DE.UTF-8 is not installed");
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    SimulatedBoard sim;
    Panel p(&sim, &sim);
    p.pick(p.device(), 3);
    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();
    QCOMPARE(p.state()->text(), QStringLiteral("21"));
    QCOMPARE(p.atten()->text(), QStringLiteral("10.50"));
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(21));

    // The trackbar and the arrows write points too.
    p.drag(43);
    QCOMPARE(p.atten()->text(), QStringLiteral("21.50"));
    p.spinUp();
    QCOMPARE(p.atten()->text(), QStringLiteral("22.00"));
    p.pick(p.device(), 9);
    p.spinUp();
    QCOMPARE(p.atten()->text(), QStringLiteral("11.25"));
    QCOMPARE(QString::fromStdString(g_strAttenDb), QStringLiteral("21.50"));

    QLocale::setDefault(saved);
}

QTEST_MAIN(PanelSendTest)
#include "PanelSendTest.moc"
