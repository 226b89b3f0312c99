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
        {{LinkCode::DeviceNotFound, "no FTDI device found", OpenFailure::Absent},
         "absent: the chip is not attached; plug the board in"},
        {{LinkCode::DeviceNotFound, "no FTDI device with serial number X1", OpenFailure::Absent},
         "(no FTDI device with serial number X1)"},
        {{LinkCode::DeviceNotFound, "FT_DEVICE_NOT_FOUND"}, "absent: "},  // by its code
        {{LinkCode::DeviceNotOpened,
          explainOpenFailure(OpenFailure::AccessDenied, "inappropriate permissions on device!"),
          OpenFailure::AccessDenied},
         "udev rules"},
        {{LinkCode::DeviceNotFound, explainOpenFailure(OpenFailure::NoUsb, "libusb_init() failed"),
          OpenFailure::NoUsb},
         "USB library could not look"},
        {{LinkCode::DriverMissing, "the FTDI D2XX driver (libftd2xx.so) is not installed"},
         "the FTDI D2XX driver (libftd2xx.so) is not installed"},
        // Words that sound like a reason are not one: only the link's reason or code decides.
        {{LinkCode::DeviceNotOpened, "permission denied; busy"},
         "the chip could not be opened (the driver says: permission denied; busy)"},
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
        {"absent", false, std::nullopt, Fault::Fail,
         "Not connected: absent: the chip is not attached"},
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
