"""Socket-level abuse, one row a fault: after each, a fresh client still gets *IDN?."""
import os
import signal
import subprocess
import sys

import pytest

from scpi_server import Server


@pytest.fixture(scope="module")
def server():
    s = Server()
    yield s
    s.stop()


def garbage_bytes(s):
    with s.connect() as sock:
        sock.sendall(bytes(b for b in range(256) if b != 0x0A) + b"\n")
        assert s.ask(sock, "SYST:ERR?").startswith("-102,")
        assert s.ask(sock, "SYST:ERR?") == '0,"No error"'


def megabyte_line(s):
    with s.connect() as sock:
        sock.sendall(b"A" * (1 << 20) + b"\n")
        assert s.ask(sock, "SYST:ERR?").startswith("-223,")
        assert s.ask(sock, "*OPC?") == "1"


def rapid_connects(s):
    for _ in range(200):
        s.connect().close()


def killed_mid_line(s):
    code = ("import socket,sys,time; c=socket.create_connection(('127.0.0.1',%d)); "
            "c.sendall(b'ATT 1'); print('sent', flush=True); time.sleep(30)" % s.port)
    child = subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "sent\n"
    child.kill()
    child.wait(timeout=10)
    child.stdout.close()


def nine_clients(s):
    eight = [s.connect() for _ in range(8)]
    for sock in eight:
        assert s.ask(sock, "*OPC?") == "1"
    with s.connect() as ninth:
        said = b""
        while True:  # one line, then the server closes; recv returns b"" at the end
            chunk = ninth.recv(4096)
            if not chunk:
                break
            said += chunk
        assert said.count(b"\n") == 1 and b"8 clients" in said
    for sock in eight:
        sock.close()


def interleaved_clients(s):
    with s.connect() as a, s.connect() as b:
        s.ask(a, "*RST;*OPC?")
        # *OPC? answers once a's line has run: only then may b see its effect.
        assert s.ask(a, "DEV 3;*OPC?") == "1"
        b.sendall(b"NOPE\n")
        assert s.ask(b, "DEV?") == "ZMG-A4"     # one instrument state
        assert s.ask(a, "ATT 5;*OPC?") == "1"
        assert s.ask(b, "ATT?") == "5.00"
        assert s.ask(a, "SYST:ERR?") == '0,"No error"'  # each its own error queue
        assert s.ask(b, "SYST:ERR?").startswith("-113,")


@pytest.mark.parametrize("abuse", [garbage_bytes, megabyte_line, rapid_connects,
                                   killed_mid_line, nine_clients, interleaved_clients],
                         ids=lambda f: f.__name__)
def test_server_survives(server, abuse):
    abuse(server)
    assert server.fresh_idn().startswith("StepCtl,")
    assert server.process.poll() is None


# A server that cannot listen exits 6 and says why; each row a reason.
@pytest.mark.parametrize("listen, said", [
    ("127.0.0.1", "the port is in use"),
    ("192.0.2.1", "the address is not one of this machine's"),  # TEST-NET-1: never local
])
def test_a_server_that_cannot_listen_says_why(server, listen, said):
    second = subprocess.run(
        [os.environ["STEPCTL_CLI"], "serve", "--board", "sim", "--listen", listen,
         "--port", str(server.port)],
        capture_output=True, text=True, timeout=30, env=dict(os.environ, HOME=server.home.name))
    assert second.returncode == 6, second.stderr
    assert said in second.stderr
