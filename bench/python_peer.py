#!/usr/bin/python3
"""The Python peer of `stepctl-cli send`: what an engineer would script with Debian's
python3-ftdi1 (the libftdi1 binding) to put one frame on the pins of the first FT232R.

    python_peer.py "00 20 40 60 ..."   (the 36 bytes of the frame in hex)

Open, asynchronous bit-bang with every pin an output, the rate, one write of 36 bytes, close;
the same calls, with the same arguments, as the CLI's exchange. Exits non-zero on any failure.
"""
import sys

import ftdi1 as ftdi

VENDOR, PRODUCT = 0x0403, 0x6001
# libftdi multiplies the rate by 4 in bit-bang mode; 115200 gives the 460800 divisor.
RATE = 115200


def main():
    frame = bytes.fromhex(sys.argv[1])
    if len(frame) != 36:
        sys.exit("python_peer: a frame is 36 bytes")
    ctx = ftdi.new()

    def check(result, what):
        if result < 0:
            sys.exit(f"python_peer: {what} failed: {ftdi.get_error_string(ctx)}")
        return result

    check(ftdi.usb_open(ctx, VENDOR, PRODUCT), "open")
    check(ftdi.set_bitmode(ctx, 0xFF, ftdi.BITMODE_BITBANG), "bit-bang mode")
    check(ftdi.set_baudrate(ctx, RATE), "rate")
    if check(ftdi.write_data(ctx, frame), "write") != len(frame):
        sys.exit("python_peer: short write")
    check(ftdi.usb_close(ctx), "close")
    ftdi.free(ctx)


if __name__ == "__main__":
    main()
