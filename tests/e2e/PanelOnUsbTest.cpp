// The panel, offscreen, on the real USB road: FtdiLink, libftdi1 and libusb down to an emulated
// FT232R. What a person does in the window and what leaves the host for the bus.
#include <QTest>
#include <memory>

#include "EmulatedFt232r.h"
#include "Frames.h"
#include "FtdiWire.h"
#include "PanelHarness.h"
#include "UsbQtTestMain.h"

using namespace stepctl::usbtest;

namespace {

QString text(const std::vector<SetupPacket>& requests) {
    QStringList lines;
    for (const SetupPacket& s : requests)
        lines << QString::fromStdString(describe(s));
    return lines.join(QStringLiteral("\n"));
}

QString text(const std::vector<std::vector<std::uint8_t>>& writes) {
    QStringList lines;
    for (const auto& w : writes)
        lines << QString::fromStdString(hex(w));
    return lines.join(QStringLiteral("\n"));
}

QString text(const stepctl::Frame& frame) {
    return QString::fromStdString(hex({frame.begin(), frame.end()}));
}

}  // namespace

class PanelOnUsbTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { bed = std::make_unique<EmulatedFt232r>(); }
    void cleanup() { bed.reset(); }
    void sendLatchedParallelOnASevenBitRow();
    void noChipAtStartThenOnePluggedIn();
    void boardMenuPicksTheBoardsChip();

  private:
    std::unique_ptr<EmulatedFt232r> bed;
};

void PanelOnUsbTest::sendLatchedParallelOnASevenBitRow() {
    const ChipId chip = bed->plug({});
    Panel p(nullptr);  // the FTDI link to the first chip, as the program runs

    QVERIFY(p.indicatorConnected());
    QCOMPARE(p.connected()->text(), QStringLiteral("Success Interface Board Connected!!"));
    QVERIFY(p.serial()->isChecked());
    QCOMPARE(text(bed->controlRequests(chip)), text(wire::probeSequence()));  // the start-up probe
    bed->forgetTraffic();

    p.pick(p.device(), 9);  // ZMG-B2, 7 bits, 0.25 dB
    p.click(p.parallel());
    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();

    QCOMPARE(p.state()->text(), QStringLiteral("42"));
    QCOMPARE(p.atten()->text(), QStringLiteral("10.50"));
    QVERIFY(p.indicatorConnected());
    // The Send's probe, then the transfer's open, bit-bang mode and rate, then the frame alone.
    auto requests = wire::probeSequence();
    for (const SetupPacket& s : wire::frameTransferSequence())
        requests.push_back(s);
    QCOMPARE(text(bed->controlRequests(chip)), text(requests));
    QCOMPARE(text(bed->bulkWrites(chip)),
             text(stepctl::buildControlFrame(stepctl::Interface::LatchedParallel, true, 42)));
    QCOMPARE(bed->transfers(chip).back().kind, Transfer::Kind::BulkOut);
    const HostActions actions = bed->hostActionsOnceClosed(chip);
    QCOMPARE(actions.claims, 2);
    QCOMPARE(actions.releases, 2);
    QCOMPARE(actions.closes, actions.opens);
    QVERIFY(!actions.claimed);
}

void PanelOnUsbTest::noChipAtStartThenOnePluggedIn() {
    Panel p(nullptr);
    QVERIFY(!p.indicatorConnected());
    QCOMPARE(p.notConnected()->text(), QStringLiteral("*******Not Connected*********"));
    QVERIFY(!p.serial()->isChecked());

    // Plugged in while the panel is open: the next Send finds it, nothing restarts.
    const ChipId chip = bed->plug({});
    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();

    QVERIFY(p.indicatorConnected());
    QCOMPARE(p.state()->text(), QStringLiteral("21"));
    QCOMPARE(text(bed->bulkWrites(chip)),
             text(stepctl::buildControlFrame(stepctl::Interface::Serial, false, 21)));
}

void PanelOnUsbTest::boardMenuPicksTheBoardsChip() {
    // A USB-serial cable listed first, the board second: the first chip would be the cable.
    const ChipId cable = bed->plug({.serial = "CABLE001", .description = "USB Serial Cable"});
    const ChipId board =
        bed->plug({.serial = "BOARD002", .description = "DSA Eval Board", .address = 3});
    Panel p(nullptr);
    QVERIFY2(p.indicatorTip().contains(QStringLiteral("libftdi1")), qPrintable(p.indicatorTip()));

    const QStringList offered = p.pickBoard(QStringLiteral("BOARD002"));
    QVERIFY2(offered.contains(QStringLiteral("CABLE001 \u2014 USB Serial Cable")),
             qPrintable(offered.join('|')));
    QVERIFY(offered.contains(QStringLiteral("&First chip")));
    QVERIFY(offered.contains(QStringLiteral("&Simulated board")));
    QVERIFY(p.indicatorTip().contains(QStringLiteral("BOARD002")));
    bed->forgetTraffic();

    p.type(p.atten(), QStringLiteral("10.7"));
    p.clickSend();
    QVERIFY(p.indicatorConnected());
    QCOMPARE(text(bed->bulkWrites(board)),
             text(stepctl::buildControlFrame(stepctl::Interface::Serial, false, 21)));
    QVERIFY(bed->bulkWrites(cable).empty());
    QVERIFY2(p.indicatorTip().contains(QStringLiteral("serial BOARD002")),
             qPrintable(p.indicatorTip()));
    qInfo("%s", qPrintable(p.indicatorTip()));

    // Unplugged: the tooltip says so in plain words.
    bed->unplug(board);
    p.clickSend();
    QVERIFY(!p.indicatorConnected());
    QVERIFY2(
        p.indicatorTip().contains(QStringLiteral("no FTDI device with serial number BOARD002")),
        qPrintable(p.indicatorTip()));
}

STEPCTL_USB_QTEST_MAIN(PanelOnUsbTest)
#include "PanelOnUsbTest.moc"
