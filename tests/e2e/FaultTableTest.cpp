// Every point where an exchange with the board can fail, crossed with every frame kind, through
// the simulated board, the emulated USB chip (libftdi) and the fake D2XX library (D2xxLink),
// driven through the panel and through the CLI. One table says how each backend is made to fail
// there and what must follow; one driver per surface checks it: the outcome, that the device ends
// closed and the interface released, the panel's indicator and its next Send, the CLI's exit code.
#include <QLabel>
#include <QTest>
#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "CliHarness.h"
#include "D2xxLink.h"
#include "EmulatedFt232r.h"
#include "FakeD2xx.h"
#include "Frames.h"
#include "FtdiWire.h"
#include "PanelHarness.h"
#include "SimulatedBoard.h"
#include "UsbQtTestMain.h"

using namespace stepctl;
using namespace stepctl::usbtest;

namespace {

// What reached the board. On the simulated board: what its attenuators latched. On the emulated
// chip, which models no pins: the bytes it took off the bus.
enum class Reached { Nothing, Part, Whole };

struct Expect {
    SendStatus status;
    const char* detail;  // how the outcome's detail begins; "" for none
    Reached reached;
    int exit;  // stepctl-cli: 0 sent, 3 no board, 4 transfer failed
};

struct FaultRow {
    const char* point;
    // The simulated board: the call that fails until cleared, and --sim-fault's name for it.
    LinkOp simOp;
    Fault simFault;
    const char* simFaultName;
    Expect sim;
    // The emulated chip: the request that fails, every time until cleared.
    Target usbTarget;
    BusFault usbFault;
    Expect usb;
    // The fake D2XX library: the call that fails and its status, or how many bytes every write
    // takes (d2xxStatus 0).
    const char* d2xxCall;
    std::uint32_t d2xxStatus;
    Expect d2xx;
};

// clang-format off
const FaultRow kFaults[] = {
    // The chip is held by another program: libftdi's claim of the interface is refused.
    {"open", LinkOp::Open, Fault::Fail, "open",
     {SendStatus::NoDevice, "simulated open failure", Reached::Nothing, 3},
     Target::claim(), BusFault::refused(EBUSY),
     {SendStatus::NoDevice,
      "busy: the chip is in use by another program (unable to claim usb device",
      Reached::Nothing, 3},
     "FT_Open", d2xx::kDeviceNotOpened,
     {SendStatus::NoDevice, "device not opened (in use by another program?) (D2XX status 3)",
      Reached::Nothing, 3}},
    // The write still follows. The simulated pins stay out of bit-bang mode, so nothing
    // latches; the emulated chip takes the bytes regardless.
    {"bit mode", LinkOp::SetBitMode, Fault::Fail, "bitmode",
     {SendStatus::TransferFailed, "setting bit-bang mode failed", Reached::Nothing, 4},
     Target::control(wire::kBitBangAllOutputs), BusFault::stall(),
     {SendStatus::TransferFailed, "setting bit-bang mode failed", Reached::Whole, 4},
     "FT_SetBitMode", d2xx::kIoError,
     {SendStatus::TransferFailed, "setting bit-bang mode failed: I/O error (D2XX status 4)",
      Reached::Whole, 4}},
    {"baud", LinkOp::SetBaudRate, Fault::Fail, "rate",
     {SendStatus::TransferFailed, "setting the rate failed", Reached::Whole, 4},
     Target::control(wire::kBaud460800), BusFault::stall(),
     {SendStatus::TransferFailed, "setting the rate failed", Reached::Whole, 4},
     "FT_SetBaudRate", d2xx::kInvalidBaudRate,
     {SendStatus::TransferFailed, "setting the rate failed: invalid baud rate (D2XX status 7)",
      Reached::Whole, 4}},
    {"write failed", LinkOp::Write, Fault::Fail, "write",
     {SendStatus::TransferFailed, "write failed", Reached::Nothing, 4},
     Target::bulkOut(), BusFault::stall(),
     {SendStatus::TransferFailed, "write failed: usb bulk write failed", Reached::Nothing, 4},
     "FT_Write", d2xx::kIoError,
     {SendStatus::TransferFailed, "write failed: I/O error (D2XX status 4)", Reached::Nothing, 4}},
    // The simulated chip takes half and says so. libftdi sends what a short URB left over in
    // a second one, so the whole frame gets there. D2XX reports what the chip took.
    {"short write", LinkOp::Write, Fault::ShortWrite, "short-write",
     {SendStatus::TransferFailed, "short write: 18 of 36 bytes", Reached::Part, 4},
     Target::bulkOut(), BusFault::shortWrite(20),
     {SendStatus::Sent, "", Reached::Whole, 0},
     "FT_Write", 0,
     {SendStatus::TransferFailed, "short write: 18 of 36 bytes", Reached::Part, 4}},
    // The frame is out; only the release of the device fails.
    {"close", LinkOp::Close, Fault::Fail, "close",
     {SendStatus::Sent, "closing the device failed: simulated close failure", Reached::Whole, 0},
     Target::release(), BusFault::refused(EIO),
     {SendStatus::Sent, "closing the device failed: releasing the USB interface failed",
      Reached::Whole, 0},
     "FT_Close", d2xx::kIoError,
     {SendStatus::Sent, "closing the device failed: I/O error (D2XX status 4)", Reached::Whole, 0}},
};
// clang-format on

struct KindCase {
    FrameKind kind;
    int row;
    Interface iface;
    const char* cliInterface;
    int address;  // Serial Addressable only
};

const KindCase kKinds[] = {
    {FrameKind::Serial6, 2, Interface::Serial, "serial", 0},
    {FrameKind::Serial7, 9, Interface::Serial, "serial", 0},
    {FrameKind::Parallel6, 2, Interface::LatchedParallel, "parallel", 0},
    {FrameKind::Parallel7, 9, Interface::LatchedParallel, "parallel", 0},
    {FrameKind::Addressable6, 7, Interface::SerialAddressable, "addressable", 5},
    {FrameKind::Addressable7, 12, Interface::SerialAddressable, "addressable", 3},
    {FrameKind::Dual, 14, Interface::Serial, "serial", 0},
};

// The dB texts of the Send before the fault and of the faulty one: different codes, so that a
// frame that did not get through shows.
struct Texts {
    const char* db;
    const char* db2;  // the dual device's second attenuator
};
constexpr Texts kBefore{"1.5", "2.5"};
constexpr Texts kFaulty{"10.7", "7.3"};

enum Backend { Simulated, Usb, D2xx };

const char* backendName(Backend backend) {
    return backend == Usb ? "usb" : backend == D2xx ? "d2xx" : "sim";
}

// The bytes each write to the fake D2XX library handed over, cut to what it took: its log has
// "FT_Write(#0, 36, took 18) 00 32 ..." for each.
std::vector<std::vector<std::uint8_t>> d2xxWrites(const std::vector<std::string>& calls) {
    std::vector<std::vector<std::uint8_t>> writes;
    for (const std::string& call : calls) {
        if (call.rfind("FT_Write(", 0) != 0)
            continue;
        const std::size_t took = std::stoul(call.substr(call.find("took ") + 5));
        std::istringstream bytes(call.substr(call.find(") ") + 2));
        std::vector<std::uint8_t> w;
        for (unsigned value = 0; w.size() < took && bytes >> std::hex >> value;)
            w.push_back(static_cast<std::uint8_t>(value));
        writes.push_back(w);
    }
    return writes;
}

// The codes a Send showed (the panel's state fields) or reported (the CLI).
struct Codes {
    int code1 = 0;
    int code2 = 0;
};

// attenuator label -> latched code, kNone before the first latch
using Latches = std::map<std::string, int>;
constexpr int kNone = -1;

// The attenuators the frame is meant for, with the codes they must latch.
Latches meantFor(const KindCase& k, Codes codes) {
    if (k.kind == FrameKind::Dual)
        return {{"attenuator 1", codes.code1}, {"attenuator 2", codes.code2}};
    if (k.iface == Interface::SerialAddressable)
        return {{"address " + std::to_string(k.address), codes.code1}};
    return {{"attenuator", codes.code1}};
}

Frame frameFor(const KindCase& k, Codes codes) {
    if (k.kind == FrameKind::Dual)
        return buildDualFrame(codes.code1, codes.code2);
    const int address = k.iface == Interface::SerialAddressable ? k.address : 0;
    return buildControlFrame(k.iface, isSevenBitKind(k.kind), address * 256 + codes.code1);
}

Latches latchesOf(const SimulatedBoard& board) {
    Latches out;
    for (const SimulatedAttenuator& a : board.attenuators())
        out[a.setup().label] = a.code().value_or(kNone);
    return out;
}

// What the attenuators hold after a Send, against what they held before it. An attenuator the
// frame is not meant for never changes; one it is meant for holds the new code (Whole), its old
// one (Nothing), or either (Part: the frame stopped somewhere, maybe after the latch).
bool checkLatches(const Latches& before, const Latches& after, const Latches& meant,
                  Reached reached) {
    for (const auto& [label, code] : after) {
        const auto held = before.find(label);
        const int was = held != before.end() ? held->second : kNone;
        const auto it = meant.find(label);
        const bool toNew = it != meant.end() && code == it->second;
        const bool ok = it == meant.end()             ? code == was
                        : reached == Reached::Whole   ? toNew
                        : reached == Reached::Nothing ? code == was
                                                      : code == was || toNew;
        if (!ok) {
            qWarning("%s holds %d, held %d before (%d: none)", label.c_str(), code, was, kNone);
            return false;
        }
    }
    return true;
}

// The bytes the chip took off the bus against the frame.
bool checkBus(const std::vector<std::vector<std::uint8_t>>& writes, const Frame& frame,
              Reached reached) {
    std::vector<std::uint8_t> bus;
    for (const auto& w : writes)
        bus.insert(bus.end(), w.begin(), w.end());
    const std::vector<std::uint8_t> whole(frame.begin(), frame.end());
    const bool ok = reached == Reached::Whole ? bus == whole
                    : reached == Reached::Nothing
                        ? bus.empty()
                        : !bus.empty() && bus.size() < whole.size() &&
                              std::equal(bus.begin(), bus.end(), whole.begin());
    if (!ok)
        qWarning("on the bus: %s\nthe frame: %s", hex(bus).c_str(), hex(whole).c_str());
    return ok;
}

QByteArray name(SendStatus status) {
    switch (status) {
        case SendStatus::Sent:
            return "sent";
        case SendStatus::NoDevice:
            return "no device";
        case SendStatus::TransferFailed:
            break;
    }
    return "transfer failed";
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

class FaultTableTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void panel_data() { rows(); }
    void panel();
    void cli_data() { rows(); }
    void cli();

  private:
    // One row of the table: where the Send goes, the frame kind, the fault and what it gives.
    struct Row {
        Backend on;
        const KindCase& k;
        const FaultRow& f;
        const Expect& want;
    };
    void rows();
    static Row currentRow();
    Panel& panelOn(Backend backend);
    void arm(Backend backend, const FaultRow& f);
    void disarm(Backend backend);
    void forgetTraffic(Backend backend);
    // What the chip took off the bus, write by write.
    std::vector<std::vector<std::uint8_t>> writes(Backend backend);
    // The device ends closed and, on USB, the interface released.
    bool letGo(Backend backend);
    // What reached the board of a panel Send: the bytes on the bus, or what the board latched.
    bool landed(Backend backend, const Latches& before, const KindCase& k, const Codes& codes,
                Reached reached);

    std::unique_ptr<EmulatedFt232r> bed_;
    ChipId chip_ = 0;
    SimulatedBoard sim_;
    std::unique_ptr<test::FakeD2xx> fake_;
    D2xxLink d2xx_;
    std::unique_ptr<Panel> panel_;
    Backend panelBackend_ = Simulated;
};

void FaultTableTest::initTestCase() {
    bed_ = std::make_unique<EmulatedFt232r>();
    chip_ = bed_->plug({});
    fake_ = std::make_unique<test::FakeD2xx>();
    fake_->reset();
}

void FaultTableTest::cleanupTestCase() {
    panel_.reset();
    bed_.reset();
}

void FaultTableTest::rows() {
    QTest::addColumn<int>("backend");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("fault");
    for (Backend backend : {Simulated, Usb, D2xx}) {
        for (std::size_t k = 0; k < std::size(kKinds); ++k) {
            for (std::size_t f = 0; f < std::size(kFaults); ++f) {
                QTest::addRow("%s %s %s", backendName(backend),
                              frameKindName(kKinds[k].kind).data(), kFaults[f].point)
                    << int(backend) << int(k) << int(f);
            }
        }
    }
}

FaultTableTest::Row FaultTableTest::currentRow() {
    QFETCH(int, backend);
    QFETCH(int, kind);
    QFETCH(int, fault);
    const auto on = Backend(backend);
    const FaultRow& f = kFaults[fault];
    return {on, kKinds[kind], f, on == Usb ? f.usb : on == D2xx ? f.d2xx : f.sim};
}

Panel& FaultTableTest::panelOn(Backend backend) {
    if (!panel_ || panelBackend_ != backend) {
        panel_.reset();
        // The simulated board, or the FTDI link to the first chip as the program uses it.
        panel_ = backend == Usb    ? std::make_unique<Panel>(nullptr)
                 : backend == D2xx ? std::make_unique<Panel>(&d2xx_)
                                   : std::make_unique<Panel>(&sim_, &sim_);
        panelBackend_ = backend;
    }
    return *panel_;
}

void FaultTableTest::arm(Backend backend, const FaultRow& f) {
    if (backend == Usb)
        bed_->failTransfer(chip_, f.usbTarget.everyTime(), f.usbFault);
    else if (backend == D2xx && f.d2xxStatus == 0)
        fake_->shortWrite(18);
    else if (backend == D2xx)
        fake_->fail(f.d2xxCall, f.d2xxStatus);
    else
        sim_.failCall(f.simOp, f.simFault);
}

void FaultTableTest::disarm(Backend backend) {
    if (backend == Usb)
        bed_->clearFaults(chip_);
    else if (backend == D2xx)
        fake_->reset();
    else
        sim_.clearFaults();
}

void FaultTableTest::forgetTraffic(Backend backend) {
    if (backend == D2xx)
        fake_->reset();  // before a fault is armed: the log only
    else
        bed_->forgetTraffic();
}

std::vector<std::vector<std::uint8_t>> FaultTableTest::writes(Backend backend) {
    return backend == D2xx ? d2xxWrites(fake_->calls()) : bed_->bulkWrites(chip_);
}

bool FaultTableTest::letGo(Backend backend) {
    if (backend == Simulated)
        return !sim_.isOpen() && sim_.opens() == sim_.closes();
    if (backend == D2xx) {
        int opened = 0, closed = 0;
        for (const std::string& call : fake_->calls()) {
            opened += call.rfind("FT_Open", 0) == 0 && call.find(" #") != std::string::npos;
            closed += call.rfind("FT_Close(", 0) == 0;
        }
        if (fake_->openHandles() != 0 || opened != closed) {
            qWarning("%d opened, %d closed, %d still open", opened, closed, fake_->openHandles());
            return false;
        }
        return true;
    }
    const HostActions actions = bed_->hostActionsOnceClosed(chip_);
    if (actions.closes != actions.opens || actions.claimed) {
        qWarning("%d handles opened, %d closed, interface %s", actions.opens, actions.closes,
                 actions.claimed ? "held" : "free");
        return false;
    }
    return true;
}

bool FaultTableTest::landed(Backend backend, const Latches& before, const KindCase& k,
                            const Codes& codes, Reached reached) {
    if (backend != Simulated)
        return checkBus(writes(backend), frameFor(k, codes), reached);
    return checkLatches(before, latchesOf(sim_), meantFor(k, codes), reached);
}

void FaultTableTest::panel() {
    const auto [on, k, f, want] = currentRow();
    Panel& p = panelOn(on);

    auto type = [&p, &k](const Texts& texts) {
        p.type(p.atten(), QString::fromLatin1(texts.db));
        if (k.kind == FrameKind::Dual)
            p.type(p.atten2(), QString::fromLatin1(texts.db2));
    };
    auto shown = [&p] { return Codes{p.state()->text().toInt(), p.state2()->text().toInt()}; };
    auto outcome = [&p] { return *p.dlg().lastOutcome(); };
    auto bannerRed = [&p] {
        const auto* banner = p.item<QLabel>("IDC_STATIC_BANNER");
        return banner->palette().color(banner->foregroundRole()) == QColor(255, 0, 0);
    };

    // The frame kind, as a person picks it, and a Send without a fault to start from.
    p.choose(k.row, static_cast<int>(k.iface), k.address);
    type(kBefore);
    p.clickSend();
    QVERIFY(outcome().sent());
    QCOMPARE(frameKindName(outcome().kind), frameKindName(k.kind));
    const Latches before = latchesOf(sim_);
    forgetTraffic(on);

    // The faulty Send.
    arm(on, f);
    type(kFaulty);
    p.clickSend();
    const SendOutcome out = outcome();
    const Codes codes = shown();
    QCOMPARE(name(out.status), name(want.status));
    QVERIFY2(startsWith(out.detail, want.detail), out.detail.c_str());
    QCOMPARE(frameKindName(out.kind), frameKindName(k.kind));
    QCOMPARE(codes.code1, isSevenBitKind(k.kind) ? 42 : 21);  // the fields follow regardless
    QVERIFY(letGo(on));
    // The indicator says what the probe found: only a failing open hides the board from it. A
    // frame that did not go out whole is named on the banner line, in the indicator's red.
    QCOMPARE(p.indicatorConnected(), want.status != SendStatus::NoDevice);
    QCOMPARE(bannerRed(), want.status != SendStatus::Sent);
    QVERIFY(landed(on, before, k, codes, want.reached));

    // The fault gone, the next Send goes through and the indicator says so.
    disarm(on);
    forgetTraffic(on);
    p.clickSend();
    QVERIFY2(outcome().sent(), outcome().detail.c_str());
    QVERIFY(p.indicatorConnected());
    QVERIFY(!bannerRed());
    QVERIFY(letGo(on));
    QVERIFY(landed(on, before, k, codes, Reached::Whole));
}

void FaultTableTest::cli() {
    const auto [on, k, f, want] = currentRow();
    // Each run of the CLI resets the selection state a panel lives on.
    panel_.reset();

    std::vector<std::string> args = {"send",        "--device",     std::to_string(k.row),
                                     "--interface", k.cliInterface, "--db",
                                     kFaulty.db,    "--json"};
    if (k.iface == Interface::SerialAddressable)
        args.insert(args.end(), {"--address", std::to_string(k.address)});
    if (k.kind == FrameKind::Dual)
        args.insert(args.end(), {"--db2", kFaulty.db2});
    std::vector<std::string> faulty = args;
    if (on == D2xx) {
        args.insert(args.end(), {"--driver", "d2xx"});
        faulty = args;
    }
    if (on == Simulated)
        faulty.insert(faulty.end(), {"--board", "sim", "--sim-fault", f.simFaultName});
    forgetTraffic(on);
    if (on != Simulated)
        arm(on, f);

    const cli::test::CliRun run = cli::test::runArgs(faulty);

    QCOMPARE(run.exit, want.exit);
    const nlohmann::json json = run.json();
    const std::string detail = json["detail"];
    QVERIFY2(startsWith(detail, want.detail), detail.c_str());
    // The detail reaches the user on stderr: as the error, or as a warning after a full write.
    if (*want.detail != '\0')
        QVERIFY2(run.err.find(want.detail) != std::string::npos, run.err.c_str());
    else
        QCOMPARE(run.err, std::string());
    QCOMPARE(json["kind"].get<std::string>(), std::string(frameKindName(k.kind)));
    const auto& sent = json["codes"];
    const Codes codes{sent[0].get<int>(), sent.size() > 1 ? sent[1].get<int>() : 0};

    if (on == Simulated) {
        // A board of its own for each run, so nothing was latched before.
        Latches after;
        for (const auto& a : json["latched"]) {
            after[a["attenuator"]] = a["code"].is_null() ? kNone : a["code"].get<int>();
        }
        QVERIFY(checkLatches({}, after, meantFor(k, codes), want.reached));
        return;
    }

    QVERIFY(letGo(on));
    QVERIFY(checkBus(writes(on), frameFor(k, codes), want.reached));
    // Nothing left behind for the next run.
    disarm(on);
    forgetTraffic(on);
    const cli::test::CliRun again = cli::test::runArgs(args);
    QCOMPARE(again.exit, 0);
    QVERIFY(letGo(on));
    QVERIFY(checkBus(writes(on), frameFor(k, codes), Reached::Whole));
}

STEPCTL_USB_QTEST_MAIN(FaultTableTest)
#include "FaultTableTest.moc"
