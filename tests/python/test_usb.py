"""A send from Python over the real libftdi road to an emulated FT232R: umockdev-run replays
one frame transfer and fails any transfer that differs from it, so only the right frame,
configured as the panel configures the chip, gets through."""
import os
import subprocess
import sys

SEND = ("import stepctl, sys\n"
        "try:\n"
        "    sent = stepctl.Board('ftdi').send('ZMG-A4', 'serial', float(sys.argv[1]))\n"
        "    print(sent.board, sent.codes)\n"
        "except stepctl.TransferError as e:\n"
        "    print('TransferError', e)\n")


# A preload the interpreter needs (the sanitizer runtime, in the sanitized tree) goes to the
# interpreter only, in front of umockdev's own: umockdev-run itself does not run under it.
INNER_PRELOAD = 'LD_PRELOAD="$STEPCTL_PRELOAD${LD_PRELOAD:+:$LD_PRELOAD}" exec "$@"'


def send_through_replay(built, tmp_path, db):
    frame = stepctl_frame_hex(built, "10.5")
    chip = tmp_path / "chip"
    chip.mkdir(exist_ok=True)
    subprocess.run([built["replay_files"], chip, frame], check=True)
    env = dict(os.environ)
    env["STEPCTL_PRELOAD"] = env.pop("LD_PRELOAD", "")
    return subprocess.run(
        ["umockdev-run", "--device", chip / "ft232r.umockdev",
         "--ioctl", f"/dev/bus/usb/001/002={chip / 'send.ioctl'}", "--",
         "/bin/sh", "-c", INNER_PRELOAD, "sh", sys.executable, "-c", SEND, db],
        check=True, capture_output=True, text=True, env=env, timeout=60).stdout.strip()


def stepctl_frame_hex(built, db):
    return subprocess.run([built["cli"], "frame", "--device", "ZMG-A4", "--interface", "serial",
                           "--db", db], check=True, capture_output=True, text=True).stdout


def test_send_reaches_the_emulated_chip(built, tmp_path):
    assert send_through_replay(built, tmp_path, "10.7") == "ftdi [21]"
    # The replay is no rubber stamp: another frame fails on the wire and is reported.
    assert send_through_replay(built, tmp_path, "20").startswith(
        "TransferError transfer failed: write failed")
