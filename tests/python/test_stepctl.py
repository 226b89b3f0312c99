"""The module against the CLI and the simulated board: one case per frame kind, the latched
values of a send, and each way a call can be refused or fail."""
import inspect
import json
import os
import subprocess
import sys
import warnings

import pytest

import stepctl
from stepctl import Interface

# (CLI arguments after "frame", the same as Python arguments): one per frame kind.
FRAME_CASES = [
    ("--device 3 --interface serial --db 10.7", ("ZMG-A4", "serial", 10.7), {}),
    ("--device 9 --interface serial --db 21.25", (9, Interface.SERIAL, "21.25dB"), {}),
    ("--device ZMG-A4 --interface parallel --db 40", ("zmg-a4", "parallel", 40), {}),
    ("--device 9 --interface parallel --db 21.25", (9, "Parallel", 21.25), {}),
    ("--device 7 --interface addressable --address 5 --db 21", (7, "addressable", 21),
     {"address": 5}),
    ("--device 12 --interface addressable --address 3 --db 0.25",
     ("ZMG-B6", Interface.ADDRESSABLE, 0.25), {"address": 3}),
    ("--device 14 --interface serial --db 21 --db2 10.5", (14, "serial", 21), {"db2": 10.5}),
]


@pytest.mark.parametrize("cli_args,args,kwargs", FRAME_CASES, ids=[c[0] for c in FRAME_CASES])
def test_frame_and_plan_match_the_cli(built, cli_args, args, kwargs):
    out = subprocess.run([built["cli"], "frame", "--format", "json", *cli_args.split()],
                         check=True, capture_output=True, text=True).stdout
    expected = json.loads(out)
    plan = stepctl.plan(*args, **kwargs)
    assert stepctl.frame(*args, **kwargs) == bytes(expected["bytes"]) == plan.frame
    assert (plan.device, plan.row, plan.interface.name.lower(), plan.address) == (
        expected["device"], expected["row"], expected["interface"], expected["address"])
    assert (plan.codes, plan.db, plan.kind) == (expected["codes"], expected["db"],
                                                 expected["kind"])


def test_the_documented_frame():
    assert stepctl.frame("ZMG-B2", "parallel", 10.7).hex() == "00323a32" + "00" * 32


# (send arguments, what the simulated board's attenuators hold afterwards, warnings expected)
SIM_SENDS = [
    (("ZMG-A4", "serial", 10.7), {}, [("attenuator", 21, 10.5)], False),
    (("ZMG-A4", "serial", -3), {}, [("attenuator", 0, 0.0)], True),
    ((7, "addressable", 21), {"address": 5},
     [(f"address {a}", 42 if a == 5 else None, 21.0 if a == 5 else None) for a in range(8)],
     False),
    ((14, "parallel", 31.5), {"db2": 99}, [("attenuator 1", 63, 31.5), ("attenuator 2", 63, 31.5)],
     True),
]


@pytest.mark.parametrize("args,kwargs,holds,warned", SIM_SENDS)
def test_sim_send_latches(args, kwargs, holds, warned):
    with stepctl.Board("sim") as board, warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        sent = board.send(*args, **kwargs)
        # Clamping is also told the Python way, with the same words.
        assert [(w.category, str(w.message)) for w in caught] == \
            [(UserWarning, text) for text in sent.warnings]
        assert sent.status == "sent" and sent.board == "sim"
        assert sent.frame == stepctl.frame(*args, **kwargs)
        assert [(h.attenuator, h.code, h.db) for h in board.holds()] == holds
        assert bool(sent.warnings) == warned
        assert not warned or "clamped to" in sent.warnings[0]
    assert board.closed


# Each class of bad argument, and the text its message must name.
BAD_VALUES = [
    ({"device": "ZMG-X9"}, ValueError, "'ZMG-X9' is not a known device"),
    ({"device": 15}, ValueError, "'15' is not a row 0..14"),
    ({"interface": "spi"}, ValueError, "interface: 'spi'"),
    ({"db": "--5"}, ValueError, "db: '--5' is not a number"),
    ({"db": float("nan")}, ValueError, "db: 'nan'"),
    ({"db": "nan(1)"}, ValueError, "db: 'nan(1)' is not a number"),
    ({"db": float("-inf")}, ValueError, "db: '-inf'"),
    ({"interface": "addressable", "address": 8}, ValueError, "address: '8' is outside 0..7"),
    ({"interface": "addressable"}, ValueError, "address 0..7 is required"),
    ({"device": 14}, ValueError, "db2 is required"),
    ({"db": None}, TypeError, "db:"),
    ({"device": True}, TypeError, "device:"),
]


@pytest.mark.parametrize("change,error,words", BAD_VALUES)
def test_bad_values_are_refused_by_name(change, error, words):
    args = {"device": "ZMG-A4", "interface": "serial", "db": 10.5, **change}
    for call in (stepctl.plan, stepctl.frame, stepctl.Board("sim").send):
        with pytest.raises(error) as raised:
            call(**args)
        assert words in str(raised.value)


@pytest.mark.parametrize("fault,error,words", [
    ("unplugged", stepctl.NoBoardError, "no board"),
    ("open", stepctl.NoBoardError, "no board"),
    ("write", stepctl.TransferError, "transfer failed: write failed"),
    ("short-write", stepctl.TransferError, "transfer failed"),
])
def test_failed_exchanges_raise(fault, error, words):
    board = stepctl.Board("sim")
    board.fail(fault)
    with pytest.raises(error, match=words):
        board.send("ZMG-A4", "serial", 10.5)
    assert issubclass(error, stepctl.Error)
    board.clear_faults()
    assert board.send("ZMG-A4", "serial", 10.5).codes == [21]


@pytest.mark.parametrize("make,words", [
    (lambda: stepctl.Board("usb"), "kind: 'usb' is not one of ftdi, d2xx, sim"),
    (lambda: stepctl.Board("sim", serial="A1"), "serial:"),
    (lambda: stepctl.Board("sim").fail("smoke"), "call: 'smoke' is not one of unplugged"),
    (lambda: stepctl.Board("ftdi").holds(), "only the simulated board"),
])
def test_bad_boards_are_refused(make, words):
    with pytest.raises(ValueError, match=words):
        make()


def test_a_missing_d2xx_library_is_no_board():
    # No vendor library on the test machines: the D2XX road says so, and sends nothing.
    with pytest.raises(stepctl.NoBoardError, match="D2XX driver .* is not installed"):
        stepctl.Board("d2xx").send("ZMG-A4", "serial", 10.5)


def test_a_closed_board_refuses_to_send():
    with stepctl.Board("sim") as board:
        pass
    with pytest.raises(ValueError, match="closed"):
        board.send("ZMG-A4", "serial", 10.5)


def test_devices_are_the_catalogue():
    devices = stepctl.devices()
    assert [d.row for d in devices] == list(range(15))
    dual = devices[14]
    assert (dual.group, dual.bits, dual.step, dual.top) == ("dual 6-bit", 6, 0.5, 31.5)
    assert Interface.ADDRESSABLE not in dual.interfaces


def test_the_version_is_the_programs(built):
    out = subprocess.run([built["cli"], "--version"], check=True, capture_output=True,
                         text=True).stdout
    assert out.strip() == f"stepctl-cli {stepctl.__version__}"


# inspect reads every signature: one row a callable, the parameters it must show.
SIGNATURES = [
    (stepctl.plan, "(device, interface, db, db2=None, address=None)"),
    (stepctl.frame, "(device, interface, db, db2=None, address=None)"),
    (stepctl.chips, "(driver='ftdi')"),
    (stepctl.devices, "()"),
    (stepctl.Board, "(kind='ftdi', serial=None)"),
    (stepctl.Board("sim").send, "(device, interface, db, db2=None, address=None)"),
    (stepctl.Board.sweep, "(self, start, stop, step, dwell_s, count=1, *, device=None, "
                          "interface=None, db2=None, address=None, timed=False, sample_rate=None)"),
    (stepctl.Board.play, "(self, levels, dwell_s, count=1, *, device=None, interface=None, "
                         "address=None, timed=False, sample_rate=None)"),
]


@pytest.mark.parametrize("call,signature", SIGNATURES, ids=[s[1] for s in SIGNATURES])
def test_signatures_are_readable(call, signature):
    assert str(inspect.signature(call)) == signature


def test_chips_go_through_the_driver_table(built):
    """D2XX chips are listed as libftdi's are (the fake library, in a child with its path)."""
    code = "import stepctl; print([c.serial for c in stepctl.chips('d2xx')])"
    env = dict(os.environ, FAKE_D2XX_CHIPS="A1,B2",
               LD_LIBRARY_PATH=str(built["fake_d2xx"].parent))
    out = subprocess.run([sys.executable, "-c", code], check=True, capture_output=True,
                         text=True, env=env).stdout
    assert out.strip() == "['A1', 'B2']"
    with pytest.raises(ValueError, match="driver: 'usb'"):
        stepctl.chips("usb")
