"""`stepctl-cli serve --board sim` on a free loopback port, for the client and abuse tests."""
import os
import signal
import socket
import subprocess
import tempfile


class Server:
    def __init__(self, *options, env=None, host="127.0.0.1"):
        """`serve` with these options (the simulated board when none names one)."""
        self.home = tempfile.TemporaryDirectory(prefix="stepctl-scpi-")
        env = dict(os.environ, HOME=self.home.name, XDG_CONFIG_HOME=self.home.name, **(env or {}))
        if "--board" not in options and "--driver" not in options:
            options = ("--board", "sim") + options
        self.process = subprocess.Popen(
            [os.environ["STEPCTL_CLI"], "serve", "--port", "0", *options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)
        line = self.process.stdout.readline()  # "listening on 127.0.0.1:PORT"
        shown = f"[{host}]" if ":" in host else host
        assert line.startswith(f"listening on {shown}:"), line + self.process.stderr.read()
        self.host = host
        self.port = int(line.rsplit(":", 1)[1])
        self.resource = f"TCPIP::{host}::{self.port}::SOCKET"

    def connect(self, timeout=5.0):
        sock = socket.create_connection((self.host, self.port), timeout=timeout)
        return sock

    def ask(self, sock, line):
        """Sends one line and reads one reply line."""
        sock.sendall(line.encode() + b"\n")
        reply = b""
        while not reply.endswith(b"\n"):
            chunk = sock.recv(65536)
            if not chunk:
                raise ConnectionError(f"closed while waiting for the reply to {line!r}")
            reply += chunk
        return reply.decode().rstrip("\n")

    def fresh_idn(self):
        with self.connect() as sock:
            return self.ask(sock, "*IDN?")

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            code = self.process.wait(timeout=10)
        finally:
            self.process.stdout.close()
            self.process.stderr.close()
            self.home.cleanup()
        assert code == 0, f"serve ended with {code}"
