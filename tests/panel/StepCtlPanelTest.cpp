// The panel's handlers on a fake dialog with a simulated board behind a recording link: what
// each control shows afterwards and what reached the board.
#include "StepCtlPanel.h"

#include <gtest/gtest.h>

#include "FakeDialog.h"
#include "Frames.h"
#include "RecordingLink.h"
#include "SelectionState.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"

namespace stepctl::panel {
namespace {

constexpr int kRadio[] = {IDC_RADIO_SERIAL, IDC_RADIO_PARALLEL, IDC_RADIO_SERIAL_ADDR};

class PanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetSelectionState();
        setBoardLink(&link);
    }
    void TearDown() override {
        setBoardLink(nullptr);
        resetSelectionState();
    }

    void start() {
        dlg = FakeDialog();
        panel.OnInitDialog();
        link.clear();
    }
    // As a person would: pick the row, click the interface's radio, pick the address.
    void choose(int row, int iface, int address = 1) {
        dlg.select(IDC_COMBO_DEVICE, row);
        panel.OnCbnSelchangeComboDevice();
        dlg.check(kRadio[iface], true);  // the platform checks the clicked radio
        void (StepCtlPanel::*click[])() = {&StepCtlPanel::OnBnClickedRadioSerial,
                                           &StepCtlPanel::OnBnClickedRadioParallel,
                                           &StepCtlPanel::OnBnClickedRadioSerialAddr};
        (panel.*click[iface])();
        dlg.select(IDC_COMBO_ADDRESS, address);
        panel.OnCbnSelchangeComboAddress();
    }
    void send(const char* typed, const char* typed2 = "") {
        dlg.setText(IDC_EDIT_ATTEN, typed);
        dlg.setText(IDC_EDIT_ATTEN2, typed2);
        panel.OnBnClickedButtonSend();
    }
    bool connectedShown() const {
        EXPECT_NE(dlg.at(IDC_STATIC_CONNECTED).shown, dlg.at(IDC_STATIC_NOTCONNECTED).shown);
        return dlg.at(IDC_STATIC_CONNECTED).shown;
    }
    std::string state() const { return dlg.at(IDC_EDIT_STATE).text; }
    std::string atten() const { return dlg.at(IDC_EDIT_ATTEN).text; }
    const FakeControl& slider() const { return dlg.at(IDC_SLIDER_ATTEN); }
    const FakeControl& banner() const { return dlg.at(IDC_STATIC_BANNER); }
    // As a person types into a list's field: the platform's list then has no selection.
    void typeInList(int list, const char* typed) {
        dlg[list].selected = -1;
        dlg[list].text = typed;
    }

    SimulatedBoard board;
    RecordingLink link{board};
    FakeDialog dlg;
    StepCtlPanel panel{dlg};
};

TEST_F(PanelTest, StartUpWithAndWithoutBoard) {
    for (bool present : {true, false}) {
        SCOPED_TRACE(present);
        dlg = FakeDialog();
        board.plug(present);
        link.clear();
        panel.OnInitDialog();
        EXPECT_EQ(dlg.at(IDC_RADIO_SERIAL).checked, present);
        EXPECT_EQ(connectedShown(), present);
        // The probe alone: open, and close what opened; nothing configured or written.
        const std::vector<LinkOp> probe =
            present ? std::vector{LinkOp::Open, LinkOp::Close} : std::vector{LinkOp::Open};
        EXPECT_EQ(link.ops(), probe);
        EXPECT_EQ(dlg.at(IDC_COMBO_ADDRESS).selected, 1);
        EXPECT_EQ(dlg.at(IDC_COMBO_DEVICE).selected, 1);
        for (int id : {IDC_RADIO_SERIAL_ADDR, IDC_COMBO_ADDRESS, IDC_EDIT_ATTEN2})
            EXPECT_FALSE(dlg.at(id).enabled) << id;
        EXPECT_EQ(slider().max, 63);
        EXPECT_EQ(slider().pos, 0);
        EXPECT_EQ(state(), "0");
        EXPECT_EQ(dlg.at(IDC_EDIT_STATE2).text, "0");
        EXPECT_EQ(g_nDeviceIndex, 0);  // the list shows row 1 until the first pick
    }
}

struct SendCase {
    int row, iface, address;
    const char *typed, *typed2;
    const char *state, *field, *state2, *field2;
    Frame frame;
};

TEST_F(PanelTest, SendShowsTheQuantisedValuesAndSendsTheirFrame) {
    const auto single = [](Interface i, bool seven, int word) {
        return buildControlFrame(i, seven, word);
    };
    const SendCase cases[] = {
        {3, 0, 1, "10.7", "", "21", "10.50", "0", "0.00", single(Interface::Serial, false, 21)},
        {9, 1, 1, "10.7", "", "42", "10.50", "0", "0.00",
         single(Interface::LatchedParallel, true, 42)},
        {12, 2, 5, "1.25", "", "5", "1.25", "0", "0.00",
         single(Interface::SerialAddressable, true, 5 * 256 + 5)},
        {14, 0, 1, "40", "7.3", "63", "31.50", "14", "7.00", buildDualFrame(63, 14)},
        // Addressable left over on the dual row: one addressed frame, the second code shown.
        {14, 2, 3, "10", "7.3", "20", "10.00", "14", "7.00",
         single(Interface::SerialAddressable, false, 3 * 256 + 20)},
        // Off the dual row the second field is read as typed, its state left alone.
        {0, 0, 1, "", "7.3", "0", "0.00", "0", "7.30", single(Interface::Serial, false, 0)},
        {0, 0, 1, "-3", "", "0", "0.00", "0", "0.00", single(Interface::Serial, false, 0)},
        {9, 0, 1, "abc", "x", "0", "0.00", "0", "0.00", single(Interface::Serial, true, 0)},
        {9, 0, 1, "99", "", "127", "31.75", "0", "0.00", single(Interface::Serial, true, 127)},
    };
    for (const SendCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " typed " << c.typed);
        resetSelectionState();
        dlg = FakeDialog();
        start();
        choose(c.row, c.iface, c.address);
        send(c.typed, c.typed2);
        EXPECT_EQ(state(), c.state);
        EXPECT_EQ(atten(), c.field);
        EXPECT_EQ(dlg.at(IDC_EDIT_STATE2).text, c.state2);
        EXPECT_EQ(dlg.at(IDC_EDIT_ATTEN2).text, c.field2);
        EXPECT_EQ(slider().pos, std::stoi(c.state));
        EXPECT_EQ(slider().max, trackbarMax(c.row));  // a Serial Addressable 0..126 undone
        ASSERT_EQ(link.writes().size(), 1u);
        EXPECT_EQ(link.writes()[0], std::vector<std::uint8_t>(c.frame.begin(), c.frame.end()));
        EXPECT_TRUE(connectedShown());
    }
}

// Passes every call on, and notes what the dialog shows when the frame is written.
class PeekLink final : public BoardLink {
  public:
    PeekLink(BoardLink& inner, const FakeDialog& dlg) : inner_(inner), dlg_(dlg) {}
    LinkStatus open() override { return inner_.open(); }
    LinkStatus setBitMode(std::uint8_t m, std::uint8_t b) override {
        return inner_.setBitMode(m, b);
    }
    LinkStatus setBaudRate(int baud) override { return inner_.setBaudRate(baud); }
    LinkStatus close() override { return inner_.close(); }
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
        for (int id : {IDC_EDIT_STATE, IDC_EDIT_ATTEN, IDC_EDIT_STATE2, IDC_EDIT_ATTEN2})
            seen.push_back(dlg_.at(id).text);
        seen.push_back(std::to_string(dlg_.at(IDC_SLIDER_ATTEN).pos));
        return inner_.write(bytes, written);
    }
    std::vector<std::string> seen;

  private:
    BoardLink& inner_;
    const FakeDialog& dlg_;
};

TEST_F(PanelTest, FieldsShowTheCodesBeforeTheFrameGoesOut) {
    PeekLink peek(link, dlg);
    setBoardLink(&peek);
    start();
    choose(14, 0);
    send("40", "7.3");
    EXPECT_EQ(peek.seen, (std::vector<std::string>{"63", "31.50", "14", "7.00", "63"}));
}

// The indicator says whether the probe found the board; what became of the frame is on the
// banner line, in red, and in the tooltip, until a Send succeeds.
TEST_F(PanelTest, IndicatorFollowsTheProbeAndTheBannerNamesTheFailure) {
    struct {
        const char* name;
        std::optional<LinkOp> failing;
        Fault fault;
        bool present, connected;
        const char *bannerText, *tipText;
    } const cases[] = {
        {"write", LinkOp::Write, Fault::Fail, true, true, "Write failed: simulated write failure",
         "writing the frame failed"},
        {"short write", LinkOp::Write, Fault::ShortWrite, true, true, "Short write: 18 of 36 bytes",
         "took only part of the frame"},
        {"bit mode", LinkOp::SetBitMode, Fault::Fail, true, true,
         "Setting bit-bang mode failed: simulated bit mode failure", "setting bit-bang mode"},
        {"rate", LinkOp::SetBaudRate, Fault::Fail, true, true,
         "Setting the rate failed: simulated baud rate failure", "setting the rate"},
        {"unplugged", std::nullopt, Fault::Fail, false, false,
         "Frame not sent: no FTDI device found", "Not connected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        board.clearFaults();
        board.plug(true);
        start();
        EXPECT_EQ(banner().text, "StepCtl \u00b7 DSA/DVGA control");
        board.plug(c.present);
        if (c.failing)
            board.failCall(*c.failing, c.fault);
        send("10.7");
        EXPECT_EQ(connectedShown(), c.connected);
        EXPECT_EQ(state(), "21");  // every step after the probe still ran
        EXPECT_EQ(banner().text, c.bannerText);
        EXPECT_TRUE(banner().alert);
        for (int id : {IDC_STATIC_CONNECTED, IDC_STATIC_NOTCONNECTED})
            EXPECT_NE(dlg.at(id).tip.find(c.tipText), std::string::npos) << dlg.at(id).tip;
        // Picking another device does not make it go away; a Send that succeeds does.
        choose(3, 0);
        EXPECT_TRUE(banner().alert);
        board.clearFaults();
        board.plug(true);
        send("10.7");
        EXPECT_TRUE(connectedShown());
        EXPECT_FALSE(banner().alert);
        EXPECT_EQ(banner().text, "StepCtl \u00b7 DSA/DVGA control");
        EXPECT_NE(dlg.at(IDC_STATIC_CONNECTED).tip.find("Connected: the chip answered"),
                  std::string::npos);
    }
}

// A link whose driver library can be missing, as D2XX's is until ftd2xx.dll is installed.
class DriverLink final : public BoardLink {
  public:
    explicit DriverLink(BoardLink& inner) : inner_(inner) {}
    LinkStatus open() override {
        if (missing)
            return {LinkCode::DriverMissing, "the FTDI D2XX driver is not installed"};
        return inner_.open();
    }
    LinkStatus setBitMode(std::uint8_t m, std::uint8_t b) override {
        return inner_.setBitMode(m, b);
    }
    LinkStatus setBaudRate(int baud) override { return inner_.setBaudRate(baud); }
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
        return inner_.write(bytes, written);
    }
    LinkStatus close() override { return inner_.close(); }
    bool missing = true;

  private:
    BoardLink& inner_;
};

TEST_F(PanelTest, BannerFollowsTheDriverOfTheLastExchange) {
    DriverLink driver(board);
    setBoardLink(&driver);
    start();
    EXPECT_NE(banner().text.find("D2XX driver"), std::string::npos) << banner().text;
    EXPECT_NE(banner().text.find("missing"), std::string::npos);
    EXPECT_FALSE(banner().alert);

    driver.missing = false;  // installed while the panel is open
    send("10.7");
    EXPECT_EQ(banner().text, "StepCtl \u00b7 DSA/DVGA control");
    EXPECT_TRUE(connectedShown());
}

TEST_F(PanelTest, ABusyChipIsExplainedInTheTooltip) {
    start();
    ASSERT_TRUE(board.open().ok());  // another program holds it
    send("10.7");
    EXPECT_FALSE(connectedShown());
    const std::string& tip = dlg.at(IDC_STATIC_NOTCONNECTED).tip;
    EXPECT_NE(tip.find("busy"), std::string::npos) << tip;
    EXPECT_NE(tip.find("another StepCtl program"), std::string::npos) << tip;
    board.close();
}

TEST_F(PanelTest, TypedListTextPicksTheEntryItNames) {
    struct {
        int list;
        const char* typed;
        int selected;  // afterwards, and shown in the field
        int row;       // g_nDeviceIndex afterwards
    } const cases[] = {
        {IDC_COMBO_DEVICE, "ZMG-B6", 12, 12}, {IDC_COMBO_DEVICE, "  zmg-b6\t", 12, 12},
        {IDC_COMBO_DEVICE, "zzz", 1, 0},      {IDC_COMBO_DEVICE, "", 1, 0},
        {IDC_COMBO_DEVICE, "ZMG-B", 1, 0},    {IDC_COMBO_DEVICE, "zmg-a2", 1, 0},
        {IDC_COMBO_ADDRESS, "3", 3, 0},       {IDC_COMBO_ADDRESS, " 5 ", 5, 0},
        {IDC_COMBO_ADDRESS, "8", 1, 0},       {IDC_COMBO_ADDRESS, "-1", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.list << " '" << c.typed << "'");
        resetSelectionState();
        start();
        typeInList(c.list, c.typed);
        if (c.list == IDC_COMBO_DEVICE)
            panel.OnCbnKillfocusComboDevice();
        else
            panel.OnCbnKillfocusComboAddress();
        EXPECT_EQ(dlg.at(c.list).selected, c.selected);
        EXPECT_EQ(dlg.at(c.list).text, dlg.at(c.list).entries[c.selected]);
        EXPECT_EQ(g_nDeviceIndex, c.row);  // the list showing row 1 is no pick of it
        // A named device has the full effect of a pick.
        EXPECT_EQ(dlg.at(IDC_RADIO_SERIAL_ADDR).enabled, c.row == 12);
        EXPECT_EQ(slider().max, trackbarMax(c.row));
    }

    // Typed and not left: Enter sends, and the Send takes the typed address first.
    start();
    typeInList(IDC_COMBO_DEVICE, "zmg-b6");
    panel.OnCbnKillfocusComboDevice();
    EXPECT_EQ(g_nDeviceIndex, 12);
    dlg.check(IDC_RADIO_SERIAL_ADDR, true);
    panel.OnBnClickedRadioSerialAddr();
    typeInList(IDC_COMBO_ADDRESS, "3");
    send("1.25");
    ASSERT_EQ(link.writes().size(), 1u);
    const Frame want = buildControlFrame(Interface::SerialAddressable, true, 3 * 256 + 5);
    EXPECT_EQ(link.writes()[0], std::vector<std::uint8_t>(want.begin(), want.end()));
    EXPECT_EQ(dlg.at(IDC_COMBO_ADDRESS).text, "3");
}

// A list left without a selection gets its entry back before the Send reads it: nothing goes
// out without an address.
TEST_F(PanelTest, SendNeverReadsAListWithoutASelection) {
    int told = 0;
    panel.lastSend().watch([&told] { ++told; });
    start();
    choose(7, 2, 4);
    send("5");
    ASSERT_TRUE(panel.lastOutcome());
    dlg.select(IDC_COMBO_ADDRESS, -1);
    send("10.7");
    EXPECT_EQ(dlg.at(IDC_COMBO_ADDRESS).selected, 4);
    ASSERT_EQ(link.writes().size(), 2u);
    const Frame want = buildControlFrame(Interface::SerialAddressable, false, 4 * 256 + 21);
    EXPECT_EQ(link.writes()[1], std::vector<std::uint8_t>(want.begin(), want.end()));
    EXPECT_EQ(told, 2);
}

struct RowEnables {
    std::vector<int> rows;
    bool atten2, serial, parallel, addressable;
};

TEST_F(PanelTest, DeviceSelectionEnablesWhatTheRowOffers) {
    const RowEnables table[] = {{{0, 1, 2, 3, 4, 5, 6, 8, 9, 10}, false, true, true, false},
                                {{7, 11}, false, false, true, true},
                                {{12, 13}, false, false, false, true},
                                {{14}, true, true, true, false}};
    start();
    choose(9, 0);
    dlg.setTrackbarPos(IDC_SLIDER_ATTEN, 100);
    g_nAttenCode = 100;
    dlg.setText(IDC_EDIT_ATTEN2, "7.3");
    for (const RowEnables& r : table) {
        for (int row : r.rows) {
            SCOPED_TRACE(row);
            dlg.select(IDC_COMBO_DEVICE, row);
            panel.OnCbnSelchangeComboDevice();
            EXPECT_EQ(g_nDeviceIndex, row);
            EXPECT_EQ(dlg.at(IDC_EDIT_ATTEN2).enabled, r.atten2);
            EXPECT_EQ(dlg.at(IDC_RADIO_SERIAL).enabled, r.serial);
            EXPECT_EQ(dlg.at(IDC_RADIO_PARALLEL).enabled, r.parallel);
            EXPECT_EQ(dlg.at(IDC_RADIO_SERIAL_ADDR).enabled, r.addressable);
            EXPECT_EQ(dlg.at(IDC_COMBO_ADDRESS).enabled, r.addressable);
            EXPECT_EQ(slider().max, trackbarMax(row));
            // The interface in force stays, even where the row no longer offers it.
            EXPECT_TRUE(dlg.at(IDC_RADIO_SERIAL).checked);
            EXPECT_EQ(g_nInterface, 0);
            EXPECT_EQ(g_nAttenCode, 100);
            EXPECT_EQ(dlg.at(IDC_EDIT_ATTEN2).text, "7.3");
        }
    }
    EXPECT_EQ(slider().pos, 63);  // the trackbar's own clamp, nothing else moved it
    EXPECT_EQ(state(), "0");
}

TEST_F(PanelTest, EachSelectorClearsTheOthersAndSetsTheInterface) {
    start();
    choose(9, 0);
    for (int again : {0, 1}) {  // the checked radio clicked again gives the same result
        for (int iface : {2, 0, 1}) {
            SCOPED_TRACE(testing::Message() << iface << " again " << again);
            for (int radio : kRadio)  // whatever was checked, the click leaves one
                dlg.check(radio, true);
            choose(9, iface);
            for (int other = 0; other < 3; ++other)
                EXPECT_EQ(dlg.at(kRadio[other]).checked, other == iface);
            EXPECT_EQ(dlg.at(IDC_COMBO_ADDRESS).enabled, iface == 2);
            EXPECT_EQ(dlg.at(IDC_COMBO_ADDRESS).selected, 1);
            EXPECT_EQ(g_nInterface, iface);
        }
    }
    // 0..126 from Serial Addressable lasts through the other selectors, up to the next spin.
    choose(3, 2);
    dlg.check(IDC_RADIO_SERIAL, true);
    panel.OnBnClickedRadioSerial();
    EXPECT_EQ(slider().max, 126);
    panel.OnHScroll(TB_THUMBTRACK, 126);
    EXPECT_EQ(state(), "126");
    EXPECT_EQ(atten(), "63.00");
    panel.OnDeltaposSpinAtten(-1);
    EXPECT_EQ(slider().max, 63);
    EXPECT_EQ(state(), "63");
}

TEST_F(PanelTest, TrackbarCountsOnlyThumbDragAndRelease) {
    struct {
        int row, code, pos;
        const char *state, *field;
    } const cases[] = {{3, TB_THUMBTRACK, 63, "63", "31.50"},
                       {9, TB_THUMBPOSITION, 127, "127", "31.75"},
                       {14, TB_THUMBTRACK, 63, "63", "31.50"},
                       {3, 0, 40, "0", ""},  // line and page steps, top, bottom,
                       {3, 3, 40, "0", ""},  // end of tracking: nothing changes
                       {3, 6, 40, "0", ""},
                       {3, 8, 40, "0", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << " code " << c.code);
        resetSelectionState();
        dlg = FakeDialog();
        start();
        choose(c.row, 0);
        dlg.setText(IDC_EDIT_ATTEN2, "7.3");
        panel.OnHScroll(c.code, c.pos);
        EXPECT_EQ(state(), c.state);
        EXPECT_EQ(atten(), c.field);
        EXPECT_EQ(g_nAttenCode, std::stoi(c.state));
        EXPECT_EQ(g_strAttenDb, c.field);
        EXPECT_EQ(slider().pos, 0);  // the handler never moves the thumb
        EXPECT_EQ(dlg.at(IDC_EDIT_ATTEN2).text, "7.3");
    }
}

TEST_F(PanelTest, SpinStepsByOneWithinTheRow) {
    struct {
        int row, from, delta, to;
        const char* field;
    } const cases[] = {
        {3, 63, -1, 63, "31.50"},   {3, 0, 1, 0, "0.00"},      {9, 126, -1, 127, "31.75"},
        {9, 127, -1, 127, "31.75"}, {14, 62, -1, 63, "31.50"}, {3, 100, -1, 63, "31.50"},
        {3, 100, 1, 63, "31.50"},                           // left above the top by row 9
        {3, 10, -20, 11, "5.50"},   {3, 10, 5, 9, "4.50"},  // only the sign counts
        {3, 10, 0, 9, "4.50"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << " from " << c.from << " by " << c.delta);
        start();
        choose(c.row, 0);
        g_nAttenCode = c.from;
        g_strAttenDb = "kept";
        dlg.setText(IDC_EDIT_STATE2, "14");
        dlg.setText(IDC_EDIT_ATTEN2, "7.3");
        panel.OnDeltaposSpinAtten(c.delta);
        EXPECT_EQ(state(), std::to_string(c.to));
        EXPECT_EQ(atten(), c.field);
        EXPECT_EQ(slider().pos, c.to);
        EXPECT_FLOAT_EQ(g_fAttenDb, std::stof(c.field));
        EXPECT_EQ(g_strAttenDb, "kept");
        EXPECT_EQ(dlg.at(IDC_EDIT_STATE2).text, "0");  // rewritten from the member, as bound
        EXPECT_EQ(dlg.at(IDC_EDIT_ATTEN2).text, "7.3");
    }
}

TEST_F(PanelTest, DataExchangeBothWays) {
    start();
    dlg.setText(IDC_EDIT_STATE, "12");
    dlg.setText(IDC_EDIT_STATE2, "34");
    panel.UpdateData(true);
    EXPECT_EQ(panel.m_strState, "12");
    EXPECT_EQ(panel.m_strState2, "34");
    panel.m_strState = "5";
    panel.UpdateData(false);
    EXPECT_EQ(state(), "5");
}

}  // namespace
}  // namespace stepctl::panel
