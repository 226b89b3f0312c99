"""`serve` as a lab script meets it: held chips on the fake D2XX library, two boards in one
server, sequences on the clock while other clients are served, idle clients let go."""
import os
import socket
import subprocess
import tempfile
import threading
import time

import pytest

from scpi_server import Server


def frame_hex(device, interface, db):
    return subprocess.run([os.environ["STEPCTL_CLI"], "frame", "--device", str(device),
                           "--interface", interface, "--db", db],
                          check=True, capture_output=True, text=True).stdout.strip()


def test_two_held_chips_each_get_their_own_frames(tmp_path):
    log = tmp_path / "d2xx.log"
    env = {"LD_LIBRARY_PATH": os.environ["STEPCTL_FAKE_D2XX_DIR"],
           "FAKE_D2XX_CHIPS": "FAKE0001,FAKE0002", "FAKE_D2XX_LOG": str(log)}
    s = Server("--driver", "d2xx", "--serial", "FAKE0001", "--serial", "FAKE0002", env=env)
    sent = {0: [], 1: []}  # chip: the frames expected, in order
    frames = {}
    try:
        with s.connect() as a, s.connect() as b:
            assert s.ask(a, "INST:CAT?") == '"FAKE0001","FAKE0002"'
            assert s.ask(b, 'INST "FAKE0002";:INST:NSEL?') == "2"
            s.ask(a, "DEV 3;:INT SER;*OPC?")
            s.ask(b, "DEV 9;:INT PAR;*OPC?")
            for i in range(242):
                chip, sock, device, interface = ((1, b, 9, "parallel") if i % 11 == 10
                                                 else (0, a, 3, "serial"))
                db = str(i % 64 / 2)
                assert s.ask(sock, f"ATT {db};ATT?") == f"{float(db):.2f}"
                key = (device, interface, db)
                frames.setdefault(key, frame_hex(*key))
                sent[chip].append(frames[key])
            assert s.ask(a, "SYST:ERR?") == '0,"No error"'
    finally:
        s.stop()
    calls = log.read_text().splitlines()
    for chip, serial in [(0, "FAKE0001"), (1, "FAKE0002")]:
        mine = [c for c in calls if f"#{chip}" in c]
        counts = {name: sum(c.startswith(name) for c in mine)
                  for name in ["FT_OpenEx", "FT_SetBitMode", "FT_SetBaudRate", "FT_Close"]}
        assert counts == dict.fromkeys(counts, 1), (serial, counts)
        assert f'FT_OpenEx("{serial}", 1) #{chip}' in mine
        writes = [c.split(") ", 1)[1] for c in mine if c.startswith("FT_Write")]
        assert writes == sent[chip]
    assert len(sent[0]) == 220 and len(sent[1]) == 22


def test_timed_list_is_one_stream_on_the_held_chip(tmp_path):
    log = tmp_path / "d2xx.log"
    env = {"LD_LIBRARY_PATH": os.environ["STEPCTL_FAKE_D2XX_DIR"], "FAKE_D2XX_LOG": str(log)}
    s = Server("--driver", "d2xx", env=env)
    try:
        with s.connect() as a:
            line = ("DEV ZMG-A4;:INT SER;:SEQ:TIM ON;:SRAT 100000;:LIST:ATT 10,20.5,31.5;"
                    "DWEL 1MS,0.5MS,2MS;:ATT:MODE LIST;:INIT;*OPC?;:ATT:CODE?;:SYST:ERR?")
            assert s.ask(a, line) == '1;63;0,"No error"'
    finally:
        s.stop()
    calls = log.read_text().splitlines()
    counts = {name: sum(c.startswith(name) for c in calls)
              for name in ["FT_Open", "FT_SetBitMode", "FT_SetBaudRate", "FT_Close"]}
    assert counts == dict.fromkeys(counts, 1), counts
    assert "FT_SetBaudRate(#0, 6250)" in calls  # 16 x 6250 = 100000 samples/s
    stream = " ".join(c.split(") ", 1)[1] for c in calls if c.startswith("FT_Write"))
    want = " ".join(frame_hex("ZMG-A4", "serial", db) + " 00" * (samples - 36)
                    for db, samples in [("10", 100), ("20.5", 50), ("31.5", 200)])
    assert stream == want


@pytest.fixture(scope="module")
def sim():
    s = Server()
    yield s
    s.stop()


def test_list_runs_on_the_clock_while_others_are_served(sim):
    with sim.connect() as a, sim.connect() as b:
        levels = ",".join(str(i % 64 / 2) for i in range(200))
        sim.ask(a, f"*RST;DEV ZMG-A4;:LIST:ATT {levels};DWEL 1MS;:ATT:MODE LIST;*OPC?")
        waits = []
        done = threading.Event()

        def other():
            while not done.is_set():
                start = time.perf_counter()
                assert sim.ask(b, "*IDN?").startswith("StepCtl,")
                waits.append(time.perf_counter() - start)

        helper = threading.Thread(target=other)
        helper.start()
        start = time.perf_counter()
        assert sim.ask(a, "INIT;*OPC?") == "1"
        length = time.perf_counter() - start
        done.set()
        helper.join()
        print(f"200 steps of 1 ms: {length * 1e3:.1f} ms; other client: {len(waits)} replies, "
              f"longest {max(waits) * 1e3:.2f} ms")
        assert 0.190 <= length <= 0.210
        assert len(waits) > 10 and max(waits) < 0.050
        assert sim.ask(a, "SEQ:STEP?;:ATT:CODE?;:BOAR:HOLD?") == "200;7;7"  # 199 % 64 / 2 = 3.5 dB


def test_sweep_ends_holding_the_top(sim):
    with sim.connect() as a:
        line = ("*RST;DEV ZMG-A4;:SWE:STAR 0;STOP 31.5;STEP 0.5;DWEL 2MS;:ATT:MODE SWE;:INIT;*WAI;"
                ":ATT:CODE?;:BOAR:HOLD?;:SEQ:STEP?")
        assert sim.ask(a, line) == "63;63;64"


def test_idle_clients_are_let_go():
    s = Server("--idle-timeout", "2")
    try:
        start = time.perf_counter()
        eight = [s.connect() for _ in range(8)]
        assert s.ask(eight[0], "*OPC?") == "1"  # one that spoke is idle from then on
        while True:
            with s.connect() as ninth:
                ninth.sendall(b"*IDN?\n")
                if ninth.recv(4096).startswith(b"StepCtl,"):
                    break
            time.sleep(0.1)
        waited = time.perf_counter() - start
        assert 1.9 <= waited <= 3.5, waited
        for sock in eight:
            assert sock.recv(4096) == b""  # closed by the server
            sock.close()
    finally:
        s.stop()


@pytest.mark.parametrize("host,address", [("localhost", "127.0.0.1"), ("::1", "::1")])
def test_listen_takes_host_names(host, address):
    if ":" in address:
        try:
            socket.socket(socket.AF_INET6).bind(("::1", 0))
        except OSError:
            pytest.skip("no IPv6 loopback here")
    s = Server("--listen", host, host=address)
    try:
        assert s.fresh_idn().startswith("StepCtl,")
    finally:
        s.stop()
