// The reasons a chip could not be opened, from libftdi's and libusb's codes to the user's words.
#include "FtdiOpenFailure.h"

#include <gtest/gtest.h>
#include <libusb.h>

namespace stepctl {
namespace {

TEST(OpenFailure, LibftdiAndLibusbCodesGiveTheReason) {
    struct Case {
        int ftdi;
        int libusb;  // a second libusb_open, where libftdi said only -4
        OpenFailure open;
        OpenFailure strings;
    };
    using F = OpenFailure;
    for (const Case c : {Case{-4, LIBUSB_ERROR_ACCESS, F::AccessDenied, F::AccessDenied},
                         {-4, LIBUSB_ERROR_NO_DEVICE, F::Absent, F::Absent},
                         {-4, LIBUSB_ERROR_BUSY, F::Busy, F::Busy},
                         {-4, LIBUSB_ERROR_IO, F::Other, F::Other},
                         // -8 means "no permission" to open, "product string failed" to strings.
                         {-8, 0, F::AccessDenied, F::Other},
                         {-5, 0, F::Busy, F::Other},
                         {-3, 0, F::Busy, F::Other},
                         {-6, 0, F::Other, F::Other}}) {
        EXPECT_EQ(classifyFtdiOpen(c.ftdi, c.libusb), c.open) << c.ftdi << " " << c.libusb;
        EXPECT_EQ(classifyFtdiStrings(c.ftdi, c.libusb), c.strings) << c.ftdi << " " << c.libusb;
    }
}

TEST(OpenFailure, TheSentenceNamesTheReasonWhatToDoAndTheDriversWords) {
    struct Case {
        OpenFailure why;
        const char* start;
        const char* advice;
    };
    for (const Case c : {Case{OpenFailure::AccessDenied, "access denied: ", "udev rules"},
                         {OpenFailure::Busy, "busy: ", "another program"},
                         {OpenFailure::Absent, "absent: ", "not attached"}}) {
        const std::string text = explainOpenFailure(c.why, "libusb_open() failed");
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << text;
        EXPECT_NE(text.find(c.advice), std::string::npos) << text;
        EXPECT_NE(text.find("(libusb_open() failed)"), std::string::npos) << text;
    }
    EXPECT_EQ(explainOpenFailure(OpenFailure::Other, "ftdi_usb_reset failed"),
              "ftdi_usb_reset failed");
}

TEST(OpenFailure, ALinkThatGivesNoReasonIsJudgedByItsCode) {
    EXPECT_EQ(openFailureOf(LinkStatus::success()), OpenFailure::None);
    EXPECT_EQ(openFailureOf({LinkCode::DeviceNotFound, "gone"}), OpenFailure::Absent);
    EXPECT_EQ(openFailureOf({LinkCode::DeviceNotOpened, "?"}), OpenFailure::Other);
    EXPECT_EQ(openFailureOf({LinkCode::DeviceNotOpened, "?", OpenFailure::Busy}),
              OpenFailure::Busy);
    EXPECT_EQ(openFailureName(OpenFailure::AccessDenied), "access denied");
}

}  // namespace
}  // namespace stepctl
