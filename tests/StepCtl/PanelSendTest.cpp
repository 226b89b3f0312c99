// The Send road, driven from the keyboard and the mouse: quantisation, the fields and the
// trackbar it leaves, the frame that reaches the link, what the simulated board latched, the
// connection indicator, bad input and a German locale.
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

// The frame of the last write, as hex.
QString lastWrite(const RecordingLink& link) {
    const auto writes = link.writes();
    if (writes.empty())
        return QStringLiteral("<nothing written>");
    stepctl::Frame frame{};
    std::copy(writes.back().begin(), writes.back().end(), frame.begin());
    return QString::fromStdString(hexOf(frame));
}

QString hex(const stepctl::Frame& frame) {
    return QString::fromStdString(hexOf(frame));
}

void chooseInterface(Panel& p, int iface) {
    switch (iface) {
        case 1:
            p.click(p.parallel());
            break;
        case 2:
            p.click(p.addressable());
            break;
        default:
            p.click(p.serial());
            break;
    }
}

std::optional<int> latched(const SimulatedBoard& sim, const std::string& label) {
    for (const auto& a : sim.attenuators()) {
        if (a.setup().label == label)
            return a.code();
    }
    return std::nullopt;
}

}  // namespace

class PanelSendTest : public QObject {
    Q_OBJECT

  private slots:
    void sendRoad_data();
    void sendRoad();
    void simulatedBoardLatches();
    void row14WithSerialAddressableSendsOnlyTheFirstCode();
    void secondFieldOffTheDualRow();
    void enterSends();
    void indicatorFollowsEverySend();
    void indicatorShowsAFrameThatArrivedAfterAFailedProbe();
    void noAddressSelectedSendsNothing();
    void badInput_data();
    void badInput();
    void germanLocale();
};

void PanelSendTest::sendRoad_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("iface");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("typed1");
    QTest::addColumn<QString>("typed2");
    QTest::addColumn<QString>("state1");
    QTest::addColumn<QString>("field1");
    QTest::addColumn<QString>("state2");
    QTest::addColumn<QString>("field2");
    QTest::addColumn<QString>("frame");

    using stepctl::buildControlFrame;
    QTest::newRow("row 3 serial 10.7") << 3 << 0 << 1 << "10.7"
                                       << ""
                                       << "21"
                                       << "10.50"
                                       << "0"
                                       << "0.00"
                                       << "00 20 40 60 00 20 40 60 00 20 40 60 00 08";
    QTest::newRow("row 9 parallel 10.7")
        << 9 << 1 << 1 << "10.7"
        << ""
        << "42"
        << "10.50"
        << "0"
        << "0.00" << hex(buildControlFrame(Interface::LatchedParallel, true, 42));
    QTest::newRow("row 12 addressable 5, 1.25")
        << 12 << 2 << 5 << "1.25"
        << ""
        << "5"
        << "1.25"
        << "0"
        << "0.00" << hex(buildControlFrame(Interface::SerialAddressable, true, 1285));
    QTest::newRow("row 14 serial 40 / 7.3") << 14 << 0 << 1 << "40"
                                            << "7.3"
                                            << "63"
                                            << "31.50"
                                            << "14"
                                            << "7.00" << hex(stepctl::buildDualFrame(63, 14));
    QTest::newRow("row 14 parallel is the dual frame too")
        << 14 << 1 << 1 << "40"
        << "7.3"
        << "63"
        << "31.50"
        << "14"
        << "7.00" << hex(stepctl::buildDualFrame(63, 14));
    QTest::newRow("6-bit 31.5") << 0 << 0 << 1 << "31.5"
                                << ""
                                << "63"
                                << "31.50"
                                << "0"
                                << "0.00" << hex(buildControlFrame(Interface::Serial, false, 63));
    QTest::newRow("6-bit 31.9") << 0 << 0 << 1 << "31.9"
                                << ""
                                << "63"
                                << "31.50"
                                << "0"
                                << "0.00" << hex(buildControlFrame(Interface::Serial, false, 63));
    QTest::newRow("6-bit 0.49") << 0 << 0 << 1 << "0.49"
                                << ""
                                << "0"
                                << "0.00"
                                << "0"
                                << "0.00" << hex(buildControlFrame(Interface::Serial, false, 0));
    QTest::newRow("6-bit 0.5") << 0 << 0 << 1 << "0.5"
                               << ""
                               << "1"
                               << "0.50"
                               << "0"
                               << "0.00" << hex(buildControlFrame(Interface::Serial, false, 1));
    QTest::newRow("7-bit 31.75") << 8 << 0 << 1 << "31.75"
                                 << ""
                                 << "127"
                                 << "31.75"
                                 << "0"
                                 << "0.00"
                                 << "40 60 40 60 40 60 40 60 40 60 40 60 40 60 00 20 00 08";
    QTest::newRow("7-bit 32") << 8 << 0 << 1 << "32"
                              << ""
                              << "127"
                              << "31.75"
                              << "0"
                              << "0.00" << hex(buildControlFrame(Interface::Serial, true, 127));
    QTest::newRow("7-bit 0.25") << 10 << 1 << 1 << "0.25"
                                << ""
                                << "1"
                                << "0.25"
                                << "0"
                                << "0.00"
                                << "00 01 09 01";
    QTest::newRow("7-bit 0.2") << 10 << 1 << 1 << "0.2"
                               << ""
                               << "0"
                               << "0.00"
                               << "0"
                               << "0.00"
                               << "00 00 08 00";
    QTest::newRow("empty") << 3 << 0 << 1 << ""
                           << ""
                           << "0"
                           << "0.00"
                           << "0"
                           << "0.00"
                           << "00 20 00 20 00 20 00 20 00 20 00 20 00 08";
    QTest::newRow("negative") << 3 << 0 << 1 << "-0.3"
                              << ""
                              << "0"
                              << "0.00"
                              << "0"
                              << "0.00" << hex(buildControlFrame(Interface::Serial, false, 0));
    QTest::newRow("row 2 parallel 21") << 2 << 1 << 1 << "21"
                                       << ""
                                       << "42"
                                       << "21.00"
                                       << "0"
                                       << "0.00"
                                       << "00 C4 CC C4";
    QTest::newRow("row 7 addressable 6-bit, address 7")
        << 7 << 2 << 7 << "0"
        << ""
        << "0"
        << "0.00"
        << "0"
        << "0.00"
        << "00 20 00 20 00 20 00 20 00 20 00 20 40 60 40 60 40 60 00 00 00 08";
}

void PanelSendTest::sendRoad() {
    QFETCH(int, row);
    QFETCH(int, iface);
    QFETCH(int, address);
    QFETCH(QString, typed1);
    QFETCH(QString, typed2);

    RecordingLink link;
    Panel p(&link);
    p.pick(p.device(), row);
    chooseInterface(p, iface);
    if (iface == 2)
        p.pick(p.address(), address);
    p.type(p.atten(), typed1);
    if (p.atten2()->isEnabled())
        p.type(p.atten2(), typed2);
    link.clear();
    p.clickSend();

    QTEST(p.state()->text(), "state1");
    QTEST(p.atten()->text(), "field1");
    QTEST(p.state2()->text(), "state2");
    QTEST(p.atten2()->text(), "field2");
    QCOMPARE(p.slider()->value(), p.state()->text().toInt());
    QCOMPARE(g_nAttenCode, p.state()->text().toInt());
    QCOMPARE(p.slider()->maximum(), row >= 8 && row <= 13 ? 127 : 63);
    QVERIFY(p.indicatorConnected());

    // The probe, then the transfer: open, bit-bang on every pin, 460800, one write, close.
    QCOMPARE(link.ops(),
             (std::vector<LinkOp>{LinkOp::Open, LinkOp::Close, LinkOp::Open, LinkOp::SetBitMode,
                                  LinkOp::SetBaudRate, LinkOp::Write, LinkOp::Close}));
    QCOMPARE(link.calls()[3].arg1, 0xFF);
    QCOMPARE(link.calls()[3].arg2, 1);
    QCOMPARE(link.calls()[4].arg1, 460800);
    QCOMPARE(link.calls()[5].bytes.size(), std::size_t{36});
    QFETCH(QString, frame);
    QCOMPARE(lastWrite(link), hex(frameFromHex(frame.toStdString())));
    QVERIFY(p.dlg().lastOutcome().has_value());
    QCOMPARE(hex(p.dlg().lastOutcome()->frame), lastWrite(link));
    const bool sevenBit = row >= 8 && row <= 13;
    const FrameKind kind = row == 14 && iface != 2
                               ? FrameKind::Dual
                               : stepctl::singleFrameKind(Interface(iface), sevenBit);
    QCOMPARE(p.dlg().lastOutcome()->kind, kind);
}

void PanelSendTest::simulatedBoardLatches() {
    SimulatedBoard sim;
    Panel p(&sim, &sim);

    p.pick(p.device(), 3);
    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(21));

    p.pick(p.device(), 9);
    p.click(p.parallel());
    p.clickSend();  // the field now reads 10.50
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(42));

    p.pick(p.device(), 12);
    p.click(p.addressable());
    p.pick(p.address(), 5);
    p.type(p.atten(), QStringLiteral("1.25"));
    p.clickSend();
    QCOMPARE(latched(sim, "address 5"), std::optional<int>(5));
    for (int other : {0, 1, 2, 3, 4, 6, 7})
        QCOMPARE(latched(sim, "address " + std::to_string(other)), std::nullopt);

    p.pick(p.device(), 14);
    p.click(p.serial());
    p.type(p.atten(), QStringLiteral("40"));
    p.type(p.atten2(), QStringLiteral("7.3"));
    p.clickSend();
    QCOMPARE(latched(sim, "attenuator 1"), std::optional<int>(63));
    QCOMPARE(latched(sim, "attenuator 2"), std::optional<int>(14));
    QVERIFY(!sim.isOpen());
    QCOMPARE(sim.baudRate(), 460800);
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
    QCOMPARE(lastWrite(link),
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
    QCOMPARE(lastWrite(link), hex(stepctl::buildControlFrame(Interface::Serial, false, 2)));
}

void PanelSendTest::enterSends() {
    RecordingLink link;
    Panel p(&link);
    p.type(p.atten(), QStringLiteral("2"));
    QTest::keyClick(p.atten(), Qt::Key_Return);
    QCOMPARE(p.state()->text(), QStringLiteral("4"));
    QCOMPARE(link.writes().size(), std::size_t{1});
}

void PanelSendTest::indicatorFollowsEverySend() {
    SimulatedBoard sim;
    sim.plug(false);
    RecordingLink link(sim);
    Panel p(&link, &sim);
    QVERIFY(!p.indicatorConnected());
    QVERIFY(!p.serial()->isChecked());

    // No board: the fields still follow, nothing is written.
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

    // Plugged in later: the next Send finds it and the frame reaches it.
    sim.plug(true);
    p.clickSend();
    QVERIFY(p.indicatorConnected());
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(21));

    // The board answers the probe but the transfer fails: the indicator must not claim success.
    const std::pair<LinkOp, stepctl::Fault> faults[] = {
        {LinkOp::Write, stepctl::Fault::Fail},
        {LinkOp::Write, stepctl::Fault::ShortWrite},
        {LinkOp::SetBitMode, stepctl::Fault::Fail},
        {LinkOp::SetBaudRate, stepctl::Fault::Fail},
    };
    for (const auto& [op, fault] : faults) {
        sim.failCall(op, fault);
        p.clickSend();
        QVERIFY2(!p.indicatorConnected(), stepctl::linkOpName(op).data());
        QCOMPARE(p.dlg().lastOutcome()->status, stepctl::SendStatus::TransferFailed);
        QCOMPARE(p.state()->text(), QStringLiteral("21"));
        sim.clearFaults();
        p.clickSend();
        QVERIFY(p.indicatorConnected());
    }

    // A close that fails after a full write: the frame is out, the board stays "connected".
    sim.failCall(LinkOp::Close);
    p.clickSend();
    QVERIFY(p.dlg().lastOutcome()->sent());
    QVERIFY(p.indicatorConnected());
    sim.clearFaults();
}

namespace {

// A board that appears between the probe and the transfer: its first open fails.
class PluggedInAfterTheProbe final : public stepctl::BoardLink {
  public:
    explicit PluggedInAfterTheProbe(stepctl::BoardLink& board) : board_(board) {}
    stepctl::LinkStatus open() override {
        if (opens_++ == 0)
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
    int opens_ = 0;
};

}  // namespace

void PanelSendTest::indicatorShowsAFrameThatArrivedAfterAFailedProbe() {
    SimulatedBoard sim;
    PluggedInAfterTheProbe link(sim);
    Panel p(&link, &sim);  // the start-up probe takes the failing open
    QVERIFY(!p.indicatorConnected());
    p.type(p.atten(), QStringLiteral("3"));
    p.clickSend();
    QVERIFY(p.dlg().lastOutcome()->sent());
    QCOMPARE(latched(sim, "attenuator"), std::optional<int>(6));
    QVERIFY(p.indicatorConnected());
}

void PanelSendTest::noAddressSelectedSendsNothing() {
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

    // The fields follow the typed value; only the probe reaches the board.
    QCOMPARE(p.state()->text(), QStringLiteral("10"));
    QCOMPARE(p.atten()->text(), QStringLiteral("2.50"));
    QCOMPARE(link.ops(), (std::vector<LinkOp>{LinkOp::Open, LinkOp::Close}));
    QVERIFY(p.indicatorConnected());
    QCOMPARE(p.dlg().lastOutcome()->frame, before->frame);
}

void PanelSendTest::badInput_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << ""
                           << "0"
                           << "0.00";
    QTest::newRow("spaces") << "   "
                            << "0"
                            << "0.00";
    QTest::newRow("abc") << "abc"
                         << "0"
                         << "0.00";
    QTest::newRow("5dB") << "5dB"
                         << "10"
                         << "5.00";
    QTest::newRow("1e1") << "1e1"
                         << "20"
                         << "10.00";
    QTest::newRow("-3") << "-3"
                        << "0"
                        << "0.00";
    QTest::newRow("1e39") << "1e39"
                          << "63"
                          << "31.50";
    QTest::newRow("-1e39") << "-1e39"
                           << "0"
                           << "0.00";
    QTest::newRow("nan") << "nan"
                         << "0"
                         << "0.00";
    QTest::newRow("inf") << "inf"
                         << "63"
                         << "31.50";
    QTest::newRow("comma") << "10,7"
                           << "20"
                           << "10.00";
    QTest::newRow("10,000 digits") << QString(10000, QLatin1Char('9')) << "63"
                                   << "31.50";
}

void PanelSendTest::badInput() {
    QFETCH(QString, typed);
    RecordingLink link;
    Panel p(&link);
    // On the dual row both fields are quantised; the same text goes into both.
    p.pick(p.device(), 14);
    p.atten()->setMaxLength(20000);
    p.atten2()->setMaxLength(20000);
    p.type(p.atten(), typed);
    p.type(p.atten2(), typed);
    p.clickSend();
    QTEST(p.state()->text(), "state");
    QTEST(p.atten()->text(), "shown");
    QTEST(p.state2()->text(), "state");
    QTEST(p.atten2()->text(), "shown");
    const int code = p.state()->text().toInt();
    QCOMPARE(lastWrite(link), hex(stepctl::buildDualFrame(code, code)));
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
