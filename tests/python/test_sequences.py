"""Boards that hold their chip: sequences on a clock, what they send, how they refuse, and two
boards driven from two threads at once, each getting exactly its own frames."""
import os
import subprocess
import sys
import time

import pytest

import stepctl


def test_sweep_and_play_send_each_step_and_end_holding_the_last():
    with stepctl.Board("sim") as board:
        swept = board.sweep(0, 2, 0.5, 0, device="ZMG-A4", interface="serial")
        assert [s.codes for s in swept] == [[0], [1], [2], [3], [4]]
        assert board.holds()[0].code == 4
        # Without a target the sequence goes where the last one went.
        played = board.play([10.7, "5dB", 31.5], [0, 0, 0], count=2)
        assert [s.codes[0] for s in played] == [21, 10, 63] * 2
    with stepctl.Board("sim") as dual:
        played = dual.play([(1, 2), (3, 4)], 0, device=14, interface="serial")
        assert [s.codes for s in played] == [[2, 4], [6, 8]]


def test_a_sequence_holds_every_dwell_on_the_clock():
    with stepctl.Board("sim") as board:
        start = time.monotonic()
        board.play([1, 2, 3, 4], 0.05, device="ZMG-A4", interface="serial")
        assert 0.2 <= time.monotonic() - start < 0.29  # four dwells, the last one too


@pytest.mark.parametrize("call,error", [
    (lambda b: b.sweep(0, 1, 0.5, 0), ValueError),                      # no target yet
    (lambda b: b.sweep(0, 1, 0.5, float("nan"), device=3, interface="serial"), ValueError),
    (lambda b: b.sweep(0, 1, 0.5, -1, device=3, interface="serial"), ValueError),
    (lambda b: b.play([1, (2, 3)], 0, device=3, interface="serial"), ValueError),
    (lambda b: b.play([1, 2], [0], device=3, interface="serial"), ValueError),
    (lambda b: b.play([], 0, device=3, interface="serial"), ValueError),
    (lambda b: b.play([1], 0, count=0, device=3, interface="serial"), ValueError),
    (lambda b: b.play([1], "x", device=3, interface="serial"), TypeError),
])
def test_a_bad_sequence_is_refused_before_anything_is_sent(call, error):
    with stepctl.Board("sim") as board:
        with pytest.raises(error):
            call(board)
        assert all(held.code is None for held in board.holds())


def test_clamping_is_a_warning_and_a_failed_step_raises_with_the_chip_let_go():
    with stepctl.Board("sim") as board:
        with pytest.warns(UserWarning, match="clamped"):
            sent = board.play([40], 0, device="ZMG-A4", interface="serial")
        assert sent[0].codes == [63] and sent[0].warnings
        board.fail("write")
        with pytest.raises(stepctl.TransferError):
            board.play([1, 2], 0)
        board.clear_faults()
        assert board.send("ZMG-A4", "serial", 3).codes == [6]  # opened again


TWO_BOARDS = """
import sys, threading, stepctl
levels = {"A1": [1, 2, 3, 4, 5] * 20, "B2": [30, 29.5, 29] * 33}
def run(serial):
    with stepctl.Board("d2xx", serial=serial) as board:
        board.play(levels[serial], 0, device="ZMG-A4", interface="serial")
threads = [threading.Thread(target=run, args=(s,)) for s in levels]
for t in threads: t.start()
for t in threads: t.join()
"""


def test_two_boards_in_two_threads_each_get_their_own_frames(built, tmp_path):
    log = tmp_path / "d2xx.log"
    env = dict(os.environ, FAKE_D2XX_CHIPS="A1,B2", FAKE_D2XX_LOG=str(log),
               LD_LIBRARY_PATH=str(built["fake_d2xx"].parent))
    subprocess.run([sys.executable, "-c", TWO_BOARDS], check=True, env=env, timeout=60)
    lines = log.read_text().splitlines()
    for serial, chip, levels in (("A1", 0, [1, 2, 3, 4, 5] * 20), ("B2", 1, [30, 29.5, 29] * 33)):
        mine = [line for line in lines if f"(#{chip}" in line or f'"{serial}"' in line]
        calls = [line.split("(")[0] for line in mine]
        assert calls.count("FT_OpenEx") == 1 and calls.count("FT_Close") == 1
        assert calls.count("FT_SetBitMode") == 1 and calls.count("FT_SetBaudRate") == 1
        written = [bytes.fromhex(line.split(")", 1)[1]) for line in mine
                   if line.startswith("FT_Write")]
        assert written == [stepctl.frame("ZMG-A4", "serial", db) for db in levels]


def test_a_timed_play_is_stamped_by_the_stream_and_refuses_a_step_shorter_than_its_frame():
    with stepctl.Board("sim") as board:
        steps = board.play([10, 20.5, 31.5, 0, 7], [1e-3, 5e-4, 2e-3, 3.6e-4, 1.234e-3],
                           device="ZMG-A4", interface="serial", timed=True, sample_rate=100000)
        assert [round(t * 1e3, 6) for t, _ in steps] == [0, 1, 1.5, 3.5, 3.86]
        assert [s.codes[0] for _, s in steps] == [20, 41, 63, 0, 14]
        assert board.holds()[0].code == 14
        with pytest.raises(ValueError, match="20 samples"):
            board.play([20], 2e-4, timed=True, sample_rate=100000)
        swept = board.sweep(0, 1, 0.5, 1e-3, timed=True)
        assert [t for t, _ in swept] == pytest.approx([0, 1e-3, 2e-3])
