"""The Windows panel under wine on a virtual X server, driven as a person would: keys and mouse
through xdotool, what the window shows read by panel-peek and from screenshots, what reached the
board from the fake D2XX library's log.

Needs STEPCTL_EXE, PANEL_PEEK_EXE, WIN32_MESSAGE_TEST_EXE and FAKE_D2XX_DLL (paths); everything it writes, the wine
prefix included, lies in one temporary folder.
"""
import os
import shutil
import subprocess
import tempfile
import time

import pytest

TITLE = "Zozodoz DSA/DVGA GUI V2.4"
CONVERT = "/usr/bin/convert"

# Control ids, as the panel's header gives them.
IDOK, STATE, SEND, ATTEN, SLIDER = 1, 1014, 1015, 1017, 1018
SERIAL, PARALLEL, SPIN, CONNECTED, NOTCONNECTED = 1020, 1021, 1023, 1025, 1026
SERIAL_ADDR, ATTEN2, ADDRESS, DEVICE, STATE2, BANNER = 1028, 1029, 1030, 1031, 1032, 1027
ALL = [IDOK, STATE, ATTEN, SLIDER, SERIAL, PARALLEL, CONNECTED, NOTCONNECTED, SERIAL_ADDR,
       ATTEN2, ADDRESS, DEVICE, STATE2, BANNER]


class Control:
    def __init__(self, line):
        head, self.text = line.split("|", 1)
        f = [int(v) for v in head.split()]
        self.id = f[0]
        self.enabled, self.visible, self.checked = bool(f[1]), bool(f[2]), bool(f[3])
        self.left, self.top, self.right, self.bottom = f[4:8]
        self.pos, self.min, self.max = f[8:11]

    @property
    def centre(self):
        return (self.left + self.right) // 2, (self.top + self.bottom) // 2


class Session:
    """One wine prefix and one X server for the whole module."""

    def __init__(self, root):
        self.root = root
        self.bin = os.path.join(root, "bin")
        os.makedirs(self.bin)
        for var in ("STEPCTL_EXE", "PANEL_PEEK_EXE", "WIN32_MESSAGE_TEST_EXE", "FAKE_D2XX_DLL"):
            shutil.copy(os.environ[var], self.bin)
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                      "-nolisten", "tcp"], stdout=subprocess.PIPE)
        display = self.xvfb.stdout.readline().decode().strip()
        self.env = dict(os.environ, DISPLAY=":" + display, WINEPREFIX=os.path.join(root, "wine"),
                        WINEDEBUG="-all", HOME=root, XDG_CONFIG_HOME=root,
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        self.log = os.path.join(root, "d2xx.log")
        self.env["FAKE_D2XX_LOG"] = self.log
        subprocess.run(["wineboot", "-i"], env=self.env, check=True, capture_output=True)
        subprocess.run(["wineserver", "-p"], env=self.env, check=True)
        # Wine's helper processes start with the first program and would inherit its pipes.
        subprocess.run(["wine", "cmd", "/c", "exit"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.app = None

    def close(self):
        self.stop()
        subprocess.run(["wineserver", "-k"], env=self.env)
        self.xvfb.terminate()
        self.xvfb.wait()

    def start(self, *args, chips="FAKE0001"):
        """chips=None: no D2XX library beside the exe at all."""
        self.stop()
        open(self.log, "w").close()
        env = dict(self.env, FAKE_D2XX_CHIPS=chips or "")
        folder = self.bin
        if chips is None:
            folder = os.path.join(self.root, "no-driver")
            os.makedirs(folder, exist_ok=True)
            shutil.copy(os.path.join(self.bin, "stepctl.exe"), folder)
        self.app = subprocess.Popen(["wine", os.path.join(folder, "stepctl.exe"), *args],
                                    env=env, cwd=folder, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = self.wait_window(TITLE)
        time.sleep(0.5)  # the first paint

    def stop(self):
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait()
        self.app = None

    def wait_window(self, title, present=True, timeout=30):
        end = time.time() + timeout
        while time.time() < end:
            found = self.xdo("search", "--name", "^" + title + "$", check=False).split()
            if bool(found) == present:
                return found[0] if found else None
            time.sleep(0.2)
        raise AssertionError(f"window {title!r} {'never came' if present else 'stayed'}")

    def xdo(self, *args, check=True):
        return subprocess.run(["xdotool", *args], env=self.env, check=check,
                              capture_output=True, text=True).stdout

    def keys(self, *keys, window=None):
        self.xdo("windowfocus", "--sync", window or self.window)
        self.xdo("key", "--delay", "50", *keys)
        time.sleep(0.4)

    def type(self, text):
        self.xdo("windowfocus", "--sync", self.window)
        self.xdo("type", "--delay", "50", text)

    def peek(self, *ids, title=TITLE):
        out = subprocess.run(["wine", os.path.join(self.bin, "panel-peek.exe"), title,
                              *map(str, ids)], env=self.env, capture_output=True, text=True)
        assert out.returncode == 0, f"no window {title!r}"
        lines = out.stdout.splitlines()
        controls = {c.id: c for c in (Control(l) for l in lines if "|" in l)}
        for l in lines:
            if l.startswith("focus "):
                controls["focus"] = int(l.split()[1])
        return controls

    def calls(self):
        with open(self.log) as f:
            return f.read().splitlines()

    def colours(self, c):
        """The exact colours inside a control's rectangle, with their pixel counts."""
        shot = os.path.join(self.root, "shot.png")
        subprocess.run(["import", "-window", "root", shot], env=self.env, check=True)
        geometry = f"{c.right - c.left}x{c.bottom - c.top}+{c.left}+{c.top}"
        out = subprocess.run([CONVERT, shot, "-crop", geometry, "-format", "%c",
                              "histogram:info:-"], capture_output=True, text=True).stdout
        counts = {}
        for line in out.splitlines():
            n, rest = line.split(":", 1)
            rgb = rest.split("(")[1].split(")")[0].split(",")[:3]
            counts[tuple(int(float(v)) for v in rgb)] = int(n)
        return counts


@pytest.fixture(scope="module")
def wine():
    with tempfile.TemporaryDirectory(prefix="stepctl-win32-") as root:
        session = Session(root)
        try:
            yield session
        finally:
            session.close()


def test_messages_in_process(wine):
    """The template, the scroll codes and the up-down steps, checked inside the process."""
    exe = os.path.join(wine.bin, os.path.basename(os.environ["WIN32_MESSAGE_TEST_EXE"]))
    report = os.path.join(wine.root, "messages.txt")
    with open(report, "w") as out:  # a file, not a pipe that a helper process could hold open
        code = subprocess.run(["wine", exe], env=wine.env, stdout=out, timeout=60).returncode
    with open(report) as f:
        assert code == 0, f.read()


BLUE, RED, GREEN = (0, 0, 255), (255, 0, 0), (0, 255, 0)


@pytest.mark.parametrize("chips, connected", [(None, False), ("", False), ("FAKE0001", True)],
                         ids=["no driver", "no chip", "one chip"])
def test_start_up(wine, chips, connected):
    wine.start(chips=chips)
    c = wine.peek(*ALL, "focus")
    assert (c[CONNECTED].visible, c[NOTCONNECTED].visible) == (connected, not connected)
    assert c[SERIAL].checked == connected and not c[PARALLEL].checked
    assert not c[SERIAL_ADDR].checked and not c[SERIAL_ADDR].enabled
    assert (c[ADDRESS].text, c[ADDRESS].enabled) == ("1", False)
    assert (c[DEVICE].text, c[DEVICE].enabled) == ("ZMG-A2", True)
    assert (c[SLIDER].min, c[SLIDER].max, c[SLIDER].pos) == (0, 63, 0)
    assert [(c[i].text, c[i].enabled) for i in (STATE, STATE2, ATTEN, ATTEN2)] == [
        ("0", False), ("0", False), ("", True), ("", False)]
    assert c["focus"] == IDOK
    assert c[BANNER].text == ("StepCtl \u00b7 D2XX driver (ftd2xx.dll) missing" if chips is None
                              else "StepCtl \u00b7 DSA/DVGA control")
    # One probe, closed again before the window showed.
    calls = wine.calls()
    assert calls == (["FT_Open(0) #0", "FT_Close(#0)"] if connected else
                     [] if chips is None else ["FT_Open(0) -> 2"])
    # Blue text on white, or red text on white: the text background never shows.
    colours = wine.colours(c[CONNECTED])
    assert colours.get(BLUE if connected else RED, 0) > 30
    assert colours.get(RED if connected else BLUE, 0) == 0 and GREEN not in colours


def test_send_by_keyboard(wine):
    wine.start()
    wine.keys("Tab", "Tab")  # Close, then past the disabled state field and Send, to the dB field
    wine.type("10.7")
    wine.keys("Return")
    c = wine.peek(STATE, ATTEN, SLIDER, CONNECTED)
    assert (c[STATE].text, c[ATTEN].text, c[SLIDER].pos) == ("21", "10.50", 21)
    assert c[CONNECTED].visible
    frame = "00 20 40 60 00 20 40 60 00 20 40 60 00 08" + " 00" * 22
    assert wine.calls()[2:] == [
        "FT_Open(0) #0", "FT_Close(#0)",  # the Send's own probe
        "FT_Open(0) #0", "FT_SetBitMode(#0, 0xFF, 1)", "FT_SetBaudRate(#0, 460800)",
        "FT_Write(#0, 36, took 36) " + frame, "FT_Close(#0)"]


def test_thumb_drag_follows_and_settles(wine):
    wine.start("--simulate")
    bar = wine.peek(SLIDER)[SLIDER]
    x, y = bar.left + 13, (bar.top + bar.bottom) // 2  # the thumb at 0
    wine.xdo("mousemove", "--sync", str(x), str(y), "mousedown", "1")
    wine.xdo("mousemove", "--sync", str((bar.left + bar.right) // 2), str(y))
    time.sleep(0.4)
    held = wine.peek(STATE, SLIDER)
    assert 20 < held[SLIDER].pos < 45 and held[STATE].text == str(held[SLIDER].pos)
    wine.xdo("mousemove", "--sync", str(bar.right + 40), str(y), "mouseup", "1")
    time.sleep(0.4)
    c = wine.peek(STATE, ATTEN)
    assert (c[STATE].text, c[ATTEN].text) == ("63", "31.50")
    assert wine.calls() == []  # nothing goes to a D2XX chip with --simulate


def test_updown_click_steps_by_one(wine):
    wine.start("--simulate")
    spin = wine.peek(SPIN)[SPIN]
    x = (spin.left + spin.right) // 2
    upper, lower = spin.top + (spin.bottom - spin.top) // 4, spin.bottom - 4
    steps = []
    for y in (upper, upper, lower):
        # No --sync: it would wait for a move that does not come when the pointer is there.
        wine.xdo("mousemove", str(x), str(y), "click", "1")
        time.sleep(0.3)
        c = wine.peek(STATE, ATTEN, SLIDER)
        steps.append((c[STATE].text, c[ATTEN].text, c[SLIDER].pos))
    assert steps == [("1", "0.50", 1), ("2", "1.00", 2), ("1", "0.50", 1)]


def test_radio_click_clears_the_others(wine):
    wine.start("--simulate")
    radio = wine.peek(PARALLEL)[PARALLEL]
    wine.xdo("mousemove", "--sync", str(radio.left + 6), str(radio.centre[1]), "click", "1")
    time.sleep(0.3)
    c = wine.peek(SERIAL, PARALLEL, ADDRESS)
    assert (c[SERIAL].checked, c[PARALLEL].checked, c[ADDRESS].enabled) == (False, True, False)


def test_about_box_from_window_menu(wine):
    wine.start("--simulate")
    assert wine.peek(BANNER)[BANNER].text == "StepCtl \u00b7 simulated board"
    wine.keys("alt+space", "Up", "Return")  # the window menu, then its last entry
    window = wine.wait_window("About StepCtl")
    about = wine.peek(IDOK, 1028, title="About StepCtl")
    assert about[IDOK].text == "OK" and about[1028].visible
    wine.keys("Return", window=window)
    wine.wait_window("About StepCtl", present=False)
    assert wine.peek(STATE)[STATE].text == "0"


@pytest.mark.parametrize("way", ["click Close", "Escape", "alt+F4"])
def test_every_way_of_closing_ends_the_program(wine, way):
    wine.start("--simulate")
    if way == "click Close":
        x, y = wine.peek(IDOK)[IDOK].centre
        wine.xdo("mousemove", "--sync", str(x), str(y), "click", "1")
    else:  # alt+F4 is the window menu's Close
        wine.keys(way)
    assert wine.app.wait(timeout=15) == 0
    wine.app = None
