// The floor of any program that puts a frame on the pins through libftdi: the five calls of the
// exchange and nothing else (no checking, no frame building, no messages). Timed next to
// stepctl-cli and the Python peer against the emulated chip, it shows how much of their time the
// USB road itself takes.
//
//   stepctl_ftdi_floor "00 20 40 60 ..."   (the 36 bytes in hex)
//
// Exit status 0: the frame was written; 2: no frame given; 3: no chip; 4: a call failed.
#include <ftdi.h>

#include <array>
#include <cstdint>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    std::array<std::uint8_t, 36> frame{};
    char* text = argv[1];
    for (std::uint8_t& sample : frame)
        sample = static_cast<std::uint8_t>(std::strtoul(text, &text, 16));

    ftdi_context* ctx = ftdi_new();
    if (ctx == nullptr || ftdi_usb_open(ctx, 0x0403, 0x6001) < 0)
        return 3;
    const bool written = ftdi_set_bitmode(ctx, 0xFF, BITMODE_BITBANG) == 0 &&
                         ftdi_set_baudrate(ctx, 115200) == 0 &&  // x4 in bit-bang mode
                         ftdi_write_data(ctx, frame.data(), frame.size()) == 36;
    const bool closed = ftdi_usb_close(ctx) == 0;
    ftdi_free(ctx);
    return written && closed ? 0 : 4;
}
