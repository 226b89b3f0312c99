#include "LinkWords.h"

#include <gtest/gtest.h>

#include "Exchange.h"
#include "OpenFailure.h"
#include "SimulatedBoard.h"

namespace stepctl {
namespace {

// The driver's words as libftdi gives them, and what a person must read instead.
TEST(LinkWords, OpenFailuresInPlainWords) {
    struct Case {
        LinkStatus status;
        const char* says;
    };
    const Case cases[] = {
        {{LinkCode::DeviceNotFound, "no FTDI device found"}, "no FTDI chip is attached"},
        {{LinkCode::DeviceNotOpened, "inappropriate permissions on device!"}, "udev rule"},
        {{LinkCode::DeviceNotOpened,
          "unable to claim usb device. Make sure the default FTDI driver is not in use"},
         "in use by another program"},
        {{LinkCode::DeviceNotFound, "libusb_init() failed"}, "USB library could not look"},
        {{LinkCode::DeviceNotFound, "no FTDI device with serial number X1"}, "serial number X1"},
        {{LinkCode::DeviceNotOpened, "libusb_open() failed"}, "libusb_open() failed"},
        // The link's own reason wins over guessing from the words.
        {{LinkCode::DeviceNotOpened, explainOpenFailure(OpenFailure::Busy, "libusb_open() failed"),
          OpenFailure::Busy},
         "busy: the chip is in use"},
    };
    for (const Case& c : cases) {
        const std::string words = openFailureWords(c.status);
        EXPECT_NE(words.find(c.says), std::string::npos) << c.status.message << " -> " << words;
    }
}

// What the watch records of each kind of exchange, and how it reads.
TEST(LinkWords, TheLastExchangeAsTheWatchSawIt) {
    struct Case {
        const char* name;
        bool plugged;
        std::optional<LinkOp> failing;
        Fault fault;
        const char* says;
    };
    const Case cases[] = {
        {"sent", true, std::nullopt, Fault::Fail, "Connected"},
        {"absent", false, std::nullopt, Fault::Fail, "Not connected: no FTDI chip is attached"},
        {"write fails", true, LinkOp::Write, Fault::Fail, "writing the frame failed"},
        {"short write", true, LinkOp::Write, Fault::ShortWrite, "only part of the frame"},
        {"close fails", true, LinkOp::Close, Fault::Fail, "closing the chip failed"},
    };
    for (const Case& c : cases) {
        SimulatedBoard board;
        board.plug(c.plugged);
        if (c.failing)
            board.failCall(*c.failing, c.fault);
        WatchedLink watch(&board);
        EXPECT_EQ(exchangeWords(watch.last()), "No exchange with the board yet.");
        transferFrame(watch, FrameKind::Serial6, buildControlFrame(Interface::Serial, false, 3));
        const std::string words = exchangeWords(watch.last());
        EXPECT_NE(words.find("the simulated board"), std::string::npos) << c.name << ": " << words;
        EXPECT_NE(words.find(c.says), std::string::npos) << c.name << ": " << words;
    }
    // A new exchange starts a new record.
    SimulatedBoard board;
    board.failCall(LinkOp::SetBitMode);
    WatchedLink watch(&board);
    transferFrame(watch, FrameKind::Serial6, Frame{});
    board.clearFaults();
    probeConnection(watch);
    EXPECT_FALSE(watch.last()->failedOp.has_value());
}

}  // namespace
}  // namespace stepctl
