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

TEST_F(PanelTest, IndicatorFollowsProbeAndTransfer) {
    start();
    board.plug(false);
    send("10.7");
    EXPECT_FALSE(connectedShown());
    EXPECT_EQ(state(), "21");  // every step after the probe still ran
    ASSERT_TRUE(panel.lastOutcome());
    EXPECT_EQ(panel.lastOutcome()->status, SendStatus::NoDevice);

    board.plug(true);
    board.failCall(LinkOp::Write);  // the probe answers, the frame does not arrive
    send("10.7");
    EXPECT_FALSE(connectedShown());
    EXPECT_EQ(panel.lastOutcome()->status, SendStatus::TransferFailed);

    board.clearFaults();
    send("10.7");
    EXPECT_TRUE(connectedShown());
}

TEST_F(PanelTest, AddressableWithoutAddressSendsNothing) {
    int told = 0;
    panel.lastSend().watch([&told] { ++told; });
    start();
    choose(7, 2);
    send("5");
    ASSERT_TRUE(panel.lastOutcome());
    const Frame before = panel.lastOutcome()->frame;
    dlg.select(IDC_COMBO_ADDRESS, -1);
    send("10.7");
    EXPECT_EQ(link.writes().size(), 1u);
    EXPECT_EQ(state(), "21");  // the fields still show what would have gone
    EXPECT_EQ(panel.lastOutcome()->frame, before);
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
