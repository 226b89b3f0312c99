"""The Windows panel under wine on a virtual X server, driven as a person would: keys and mouse
through xdotool, what the window shows read by panel-peek and from screenshots, what reached the
board from the fake D2XX library's log. Every check waits for what it asserts, up to a deadline.

Needs STEPCTL_EXE, PANEL_PEEK_EXE, WIN32_MESSAGE_TEST_EXE and FAKE_D2XX_DLL (paths); everything it
writes, the wine prefix included, lies in one temporary folder.
"""
import os
import shutil
import subprocess
import tempfile
import time

import pytest

TITLE = "Zozodoz DSA/DVGA GUI V2.4"
CONVERT = "/usr/bin/convert"
SCREEN = (1024, 768)
DEADLINE = 15  # seconds any one thing may take to show

# Control ids, as the panel's header gives them.
IDOK, STATE, SEND, ATTEN, SLIDER = 1, 1014, 1015, 1017, 1018
SERIAL, PARALLEL, LOGO, SPIN, CONNECTED, NOTCONNECTED = 1020, 1021, 1022, 1023, 1025, 1026
SERIAL_ADDR, ATTEN2, ADDRESS, DEVICE, STATE2, BANNER = 1028, 1029, 1030, 1031, 1032, 1027
FRAME_SUMMARY, FRAME_DIAGRAM, FRAME_BOARD, FRAME_SAVE = 1101, 1102, 1105, 1106
ALL = [IDOK, STATE, ATTEN, SLIDER, SERIAL, PARALLEL, CONNECTED, NOTCONNECTED, SERIAL_ADDR,
       ATTEN2, ADDRESS, DEVICE, STATE2, BANNER]

SERIAL_21 = "00 20 40 60 00 20 40 60 00 20 40 60 00 08" + " 00" * 22
# ZMG-B6, Serial Addressable, address 3, code 5 (1.25 dB).
ADDRESSABLE_3_5 = ("40 60 00 20 40 60 00 20 00 20 00 20 00 20 00 20 40 60 40 60 00 20 00 20 00 20"
                   " 00 20 00 20 00 20 00 08 00 00")
BLUE, RED, GREEN = (0, 0, 255), (255, 0, 0), (0, 255, 0)
TRACE = (0x1f, 0x4e, 0x9a)


def until(check, what, timeout=DEADLINE):
    """Polls `check` until it returns something true, and returns that."""
    end = time.time() + timeout
    last = None
    while True:
        try:
            last = check()
        except AssertionError as e:  # a window not there yet
            last = e
        if last and not isinstance(last, AssertionError):
            return last
        if time.time() > end:
            raise AssertionError(f"{what}: still {last!r} after {timeout} s")
        time.sleep(0.1)


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

    @property
    def size(self):
        return self.right - self.left, self.bottom - self.top


class Session:
    """One wine prefix and one X server for the whole module."""

    def __init__(self, root):
        self.root = root
        self.bin = os.path.join(root, "bin")
        os.makedirs(self.bin)
        for var in ("STEPCTL_EXE", "PANEL_PEEK_EXE", "WIN32_MESSAGE_TEST_EXE", "FAKE_D2XX_DLL"):
            shutil.copy(os.environ[var], self.bin)
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0",
                                      f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
                                     stdout=subprocess.PIPE)
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

    def start(self, *args, chips="FAKE0001", env=None):
        """chips=None: no D2XX library beside the exe at all; env: more fake settings."""
        self.stop()
        # The pointer away from where the window comes, so no tooltip pops up by itself.
        self.xdo("mousemove", "0", "0")
        open(self.log, "w").close()
        run_env = {**self.env, "FAKE_D2XX_CHIPS": chips or "", **(env or {})}
        self.folder = self.bin
        if chips is None:
            self.folder = tempfile.mkdtemp(prefix="no-driver-", dir=self.root)
            shutil.copy(os.path.join(self.bin, "stepctl.exe"), self.folder)
        self.app = subprocess.Popen(["wine", os.path.join(self.folder, "stepctl.exe"), *args],
                                    env=run_env, cwd=self.folder, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = self.wait_window(TITLE)
        until(lambda: self.peek(STATE)[STATE].text == "0", "the panel initialised")

    def stop(self):
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait()
        self.app = None
        self.wait_window(TITLE, present=False)

    def search(self, title):
        return self.xdo("search", "--onlyvisible", "--name", "^" + title + "$",
                        check=False).split()

    def wait_window(self, title, present=True):
        found = until(lambda: self.search(title) if present else not self.search(title),
                      f"window {title!r} {'shown' if present else 'gone'}")
        return found[0] if present else None

    def xdo(self, *args, check=True):
        return subprocess.run(["xdotool", *args], env=self.env, check=check,
                              capture_output=True, text=True).stdout

    def keys(self, *keys, window=None):
        self.xdo("windowfocus", "--sync", window or self.window)
        self.xdo("key", "--delay", "50", *keys)

    def type(self, text, window=None):
        self.xdo("windowfocus", "--sync", window or self.window)
        self.xdo("type", "--delay", "50", text)

    def click(self, x, y, button="1"):
        # No --sync: it would wait for a move that does not come when the pointer is there.
        self.xdo("mousemove", str(x), str(y), "click", button)

    def click_control(self, cid, title=TITLE):
        self.click(*self.peek(cid, title=title)[cid].centre)

    def peek(self, *ids, title=TITLE):
        out = subprocess.run(["wine", os.path.join(self.bin, "panel-peek.exe"), title,
                              *map(str, ids)], env=self.env, capture_output=True, text=True)
        assert out.returncode == 0, f"no window {title!r}"
        controls = {}
        for line in out.stdout.splitlines():
            if line.startswith(("focus ", "menu ")):
                name, value = line.split()
                controls[name] = int(value)
            elif line.startswith("tip "):
                shown, text = line[4:].split("|", 1)
                controls["tip"] = text if shown == "1" else None
            elif "|" in line:
                c = Control(line)
                controls[c.id] = c
        return controls

    def until_shown(self, what, check, *ids, title=TITLE):
        """Peeks at the controls until `check` accepts what they show; returns them."""
        def look():
            c = self.peek(*ids, title=title)
            return c if check(c) else None
        return until(look, what)

    def calls(self):
        with open(self.log) as f:
            return f.read().splitlines()

    def wait_calls(self, what, check):
        return until(lambda: check(self.calls()), what)

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

    def send(self, db):
        """Types a value into the dB field from the start-up focus (Close) and presses Enter."""
        self.keys("Tab", "Tab")  # Close, then past the disabled state field and Send
        self.type(db)
        self.keys("Return")

    def window_menu(self, *keys):
        self.keys("alt+space")
        until(lambda: self.peek("menu")["menu"], "the window menu open")
        self.xdo("key", "--delay", "80", *keys)


@pytest.fixture(scope="module")
def wine():
    with tempfile.TemporaryDirectory(prefix="stepctl-win32-") as root:
        session = Session(root)
        try:
            yield session
        finally:
            session.close()


def test_messages_in_process(wine):
    """The template, the scroll codes, the up-down steps and the menus, checked in the process."""
    exe = os.path.join(wine.bin, os.path.basename(os.environ["WIN32_MESSAGE_TEST_EXE"]))
    report = os.path.join(wine.root, "messages.txt")
    with open(report, "w") as out:  # a file, not a pipe that a helper process could hold open
        code = subprocess.run(["wine", exe], env=wine.env, stdout=out, timeout=60).returncode
    with open(report) as f:
        assert code == 0, f.read()


@pytest.mark.parametrize("chips, connected", [(None, False), ("", False), ("FAKE0001", True)],
                         ids=["no driver", "no chip", "one chip"])
def test_start_up(wine, chips, connected):
    wine.start(chips=chips)
    c = wine.peek(0, *ALL, "focus")
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
    # Centred on the screen.
    x, y = c[0].centre
    assert abs(x - SCREEN[0] // 2) <= 2 and abs(y - SCREEN[1] // 2) <= 40, c[0].centre
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
    wine.send("10.7")
    wine.wait_calls("the frame written", lambda calls: len(calls) >= 7)
    c = wine.peek(STATE, ATTEN, SLIDER, CONNECTED)
    assert (c[STATE].text, c[ATTEN].text, c[SLIDER].pos) == ("21", "10.50", 21)
    assert c[CONNECTED].visible
    assert wine.calls()[2:] == [
        "FT_Open(0) #0", "FT_Close(#0)",  # the Send's own probe
        "FT_Open(0) #0", "FT_SetBitMode(#0, 0xFF, 1)", "FT_SetBaudRate(#0, 460800)",
        "FT_Write(#0, 36, took 36) " + SERIAL_21, "FT_Close(#0)"]


@pytest.mark.parametrize("fault, banner", [
    ({"FAKE_D2XX_FAIL": "FT_Write=4"}, "Write failed: I/O error (D2XX status 4)"),
    ({"FAKE_D2XX_SHORT": "18"}, "Short write: 18 of 36 bytes"),
    ({"FAKE_D2XX_FAIL": "FT_SetBitMode=4"},
     "Setting bit-bang mode failed: I/O error (D2XX status 4)"),
    ({"FAKE_D2XX_FAIL": "FT_SetBaudRate=7"},
     "Setting the rate failed: invalid baud rate (D2XX status 7)"),
], ids=["write", "short write", "bit mode", "rate"])
def test_failed_transfer_is_named_on_screen(wine, fault, banner):
    """The probe finds the board, the transfer fails: "Connected" stays, and the banner line
    says in red what failed; the indicator's tooltip says it too."""
    wine.start(env=fault)
    wine.send("10.7")
    shown = wine.until_shown(f"the banner says {banner!r}", lambda c: c[BANNER].text == banner,
                             BANNER, CONNECTED, NOTCONNECTED, STATE)
    assert shown[CONNECTED].visible and not shown[NOTCONNECTED].visible
    assert shown[STATE].text == "21"
    until(lambda: wine.colours(shown[BANNER]).get(RED, 0) > 30, "the banner in red")
    if "FT_Write" in fault.get("FAKE_D2XX_FAIL", ""):
        # Pointing at the indicator shows its tooltip.
        x, y = shown[CONNECTED].centre
        wine.xdo("mousemove", str(x - 20), str(y))
        wine.xdo("mousemove", str(x), str(y))
        tip = until(lambda: wine.peek("tip")["tip"], "the indicator's tooltip")
        assert "writing the frame failed" in tip and "D2XX" in tip, tip


def test_busy_chip_is_explained_in_the_tooltip(wine):
    wine.start(env={"FAKE_D2XX_FAIL": "FT_Open=3"})
    c = wine.peek(NOTCONNECTED)
    assert c[NOTCONNECTED].visible
    x, y = c[NOTCONNECTED].centre
    wine.xdo("mousemove", str(x - 20), str(y))
    wine.xdo("mousemove", str(x), str(y))
    tip = until(lambda: wine.peek("tip")["tip"], "the indicator's tooltip")
    assert "busy" in tip and "another StepCtl program" in tip, tip


def test_typed_list_text(wine):
    wine.start()
    # "ZMG-B6" typed into the device box, then Tab: row 12 with all it brings.
    wine.click_control(DEVICE)
    wine.keys("ctrl+a")
    wine.type("ZMG-B6")
    wine.keys("Tab")
    c = wine.until_shown("row 12 in force", lambda c: c[SERIAL_ADDR].enabled,
                         DEVICE, SERIAL_ADDR, SERIAL, SLIDER)
    assert c[DEVICE].text == "ZMG-B6" and not c[SERIAL].enabled and c[SLIDER].max == 127
    # Serial Addressable, "3" typed into the address box, 1.25 dB and Enter.
    radio = wine.peek(SERIAL_ADDR)[SERIAL_ADDR]
    wine.click(radio.left + 6, radio.centre[1])
    until(lambda: wine.peek(ADDRESS)[ADDRESS].enabled, "the address list enabled")
    wine.click_control(ADDRESS)
    wine.keys("ctrl+a")
    wine.type("3")
    wine.click_control(ATTEN)
    wine.type("1.25")
    wine.keys("Return")
    writes = wine.wait_calls("the addressable frame written",
                             lambda calls: [c for c in calls if c.startswith("FT_Write")])
    assert writes == ["FT_Write(#0, 36, took 36) " + ADDRESSABLE_3_5]
    assert wine.peek(ADDRESS)[ADDRESS].text == "3"
    # Junk typed into the device box goes back to the entry in force.
    wine.click_control(DEVICE)
    wine.keys("ctrl+a")
    wine.type("zzz")
    wine.keys("Tab")
    until(lambda: wine.peek(DEVICE)[DEVICE].text == "ZMG-B6", "the device box restored")


def test_banner_follows_the_driver(wine):
    """Started without ftd2xx.dll; once it is there, a Send writes through it and the banner no
    longer says it is missing."""
    wine.start(chips=None, env={"FAKE_D2XX_CHIPS": "FAKE0001"})
    assert "missing" in wine.peek(BANNER)[BANNER].text
    shutil.copy(os.path.join(wine.bin, "ftd2xx.dll"), wine.folder)
    wine.send("10.7")
    wine.wait_calls("the frame written through the new DLL",
                    lambda calls: any(c.startswith("FT_Write(#0, 36, took 36)") for c in calls))
    c = wine.until_shown("the banner without 'missing'", lambda c: "missing" not in c[BANNER].text,
                         BANNER, CONNECTED)
    assert c[BANNER].text == "StepCtl \u00b7 DSA/DVGA control" and c[CONNECTED].visible


def test_serial_option_picks_the_chip(wine):
    wine.start("--serial", "FAKE0002", chips="FAKE0001,FAKE0002")
    assert wine.calls() == ['FT_OpenEx("FAKE0002", 1) #1', "FT_Close(#1)"]
    wine.send("10.7")
    writes = wine.wait_calls("the frame written",
                             lambda calls: [c for c in calls if c.startswith("FT_Write")])
    assert writes == ["FT_Write(#1, 36, took 36) " + SERIAL_21]


def test_board_menu_for_this_run(wine):
    wine.start(chips="FAKE0001,FAKE0002")
    # Board, then the second attached chip: First chip, FAKE0001, FAKE0002.
    wine.window_menu("b", "Down", "Down", "Return")
    wine.send("10.7")
    writes = wine.wait_calls("the frame written to FAKE0002",
                             lambda calls: [c for c in calls if c.startswith("FT_Write")])
    assert writes == ["FT_Write(#1, 36, took 36) " + SERIAL_21]
    assert 'FT_OpenEx("FAKE0002", 1) #1' in wine.calls()
    # The simulated board: the banner says so, and nothing more reaches a chip.
    wine.window_menu("b", "s")
    until(lambda: wine.peek(BANNER)[BANNER].text == "StepCtl \u00b7 simulated board",
          "the banner on the simulated board")
    before = len(wine.calls())
    wine.keys("Return")  # the focus is still on the dB field: Send
    until(lambda: wine.peek(STATE)[STATE].text == "21", "the Send ran")
    assert wine.peek(CONNECTED)[CONNECTED].visible
    assert [c for c in wine.calls()[before:] if c.startswith(("FT_Open", "FT_Write"))] == []


def test_frame_view_and_vcd(wine):
    wine.start("--simulate")
    wine.send("10.7")
    until(lambda: wine.peek(STATE)[STATE].text == "21", "the Send ran")
    wine.window_menu("f")
    view = wine.wait_window("Frame view")
    c = wine.until_shown("the frame view filled", lambda c: "sent" in c[FRAME_SUMMARY].text,
                         FRAME_SUMMARY, FRAME_DIAGRAM, FRAME_BOARD, FRAME_SAVE, title="Frame view")
    assert c[FRAME_SUMMARY].text == "Last frame: ZMG-A1, serial-6, code 21 (10.50 dB): sent"
    assert c[FRAME_BOARD].text.startswith("attenuator: code 21 (10.50 dB)")
    until(lambda: wine.colours(c[FRAME_DIAGRAM]).get(TRACE, 0) > 200, "the traces drawn")

    # "Save as VCD..." through the platform's file dialog.
    target = os.path.join(wine.root, "frame.vcd")
    wine.click(*c[FRAME_SAVE].centre)
    dialog = wine.wait_window("Save frame as VCD")
    wine.keys("ctrl+a", window=dialog)
    wine.type("Z:" + target.replace("/", "\\"), window=dialog)
    wine.keys("Return", window=dialog)
    vcd = until(lambda: os.path.exists(target) and open(target).read(), "the VCD written")
    assert "$var wire 1" in vcd and " DATA $end" in vcd and " LE $end" in vcd, vcd[:400]

    wine.keys("Escape", window=view)
    wine.wait_window("Frame view", present=False)


def test_about_box_from_window_menu_and_f1(wine):
    wine.start("--simulate")
    assert wine.peek(BANNER)[BANNER].text == "StepCtl \u00b7 simulated board"
    # Moved off the centre, the About box still opens over the panel.
    wine.xdo("windowmove", "--sync", wine.window, "40", "30")
    until(lambda: wine.peek(0)[0].left < 100, "the panel moved")
    for way in ("menu", "F1"):
        if way == "menu":
            wine.window_menu("Up", "Return")  # its last entry
        else:
            wine.keys("F1")
        window = wine.wait_window("About StepCtl")
        about = wine.peek(0, IDOK, 1028, title="About StepCtl")
        panel = wine.peek(0)[0]
        assert about[IDOK].text == "OK" and about[1028].visible
        assert abs(about[0].centre[0] - panel.centre[0]) <= 2, (about[0].centre, panel.centre)
        assert abs(about[0].centre[1] - panel.centre[1]) <= 40, (about[0].centre, panel.centre)
        wine.keys("Return", window=window)
        wine.wait_window("About StepCtl", present=False)
    assert wine.peek(STATE)[STATE].text == "0"


def test_thumb_drag_follows_and_settles(wine):
    wine.start("--simulate")
    bar = wine.peek(SLIDER)[SLIDER]
    x, y = bar.left + 13, (bar.top + bar.bottom) // 2  # the thumb at 0
    wine.xdo("mousemove", "--sync", str(x), str(y), "mousedown", "1")
    wine.xdo("mousemove", "--sync", str((bar.left + bar.right) // 2), str(y))
    held = wine.until_shown("the thumb held in the middle", lambda c: 20 < c[SLIDER].pos < 45,
                            STATE, SLIDER)
    until(lambda: wine.peek(STATE)[STATE].text == str(held[SLIDER].pos), "the state follows")
    wine.xdo("mousemove", "--sync", str(bar.right + 40), str(y), "mouseup", "1")
    wine.until_shown("the thumb released at the top",
                     lambda c: (c[STATE].text, c[ATTEN].text) == ("63", "31.50"), STATE, ATTEN)
    assert wine.calls() == []  # nothing goes to a D2XX chip with --simulate


def test_updown_click_steps_by_one(wine):
    wine.start("--simulate")
    spin = wine.peek(SPIN)[SPIN]
    x = (spin.left + spin.right) // 2
    upper, lower = spin.top + (spin.bottom - spin.top) // 4, spin.bottom - 4
    for y, want in ((upper, ("1", "0.50", 1)), (upper, ("2", "1.00", 2)),
                    (lower, ("1", "0.50", 1))):
        wine.click(x, y)
        wine.until_shown(f"one step to {want}",
                         lambda c: (c[STATE].text, c[ATTEN].text, c[SLIDER].pos) == want,
                         STATE, ATTEN, SLIDER)


def test_radio_click_clears_the_others(wine):
    wine.start("--simulate")
    radio = wine.peek(PARALLEL)[PARALLEL]
    wine.click(radio.left + 6, radio.centre[1])
    wine.until_shown("Latched Parallel alone",
                     lambda c: (c[SERIAL].checked, c[PARALLEL].checked, c[ADDRESS].enabled) ==
                     (False, True, False), SERIAL, PARALLEL, ADDRESS)


@pytest.mark.parametrize("way", ["click Close", "Escape", "alt+F4"])
def test_every_way_of_closing_ends_the_program(wine, way):
    wine.start("--simulate")
    if way == "click Close":
        wine.click_control(IDOK)
    else:  # alt+F4 is the window menu's Close
        wine.keys(way)
    assert wine.app.wait(timeout=15) == 0
    wine.app = None


def test_high_dpi_scales_the_logo_with_the_layout(wine):
    """At 144 DPI the template grows by half, and the logo with it."""
    wine.start("--simulate")
    at96 = wine.peek(0, LOGO)
    key = r"HKCU\Control Panel\Desktop"
    subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144",
                    "/f"], env=wine.env, check=True, capture_output=True)
    try:
        wine.start("--simulate")
        at144 = wine.peek(0, LOGO)
    finally:
        subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                        "96", "/f"], env=wine.env, check=True, capture_output=True)
    assert at96[LOGO].size == (168, 53)
    grew = at144[0].size[0] / at96[0].size[0]
    assert 1.35 < grew < 1.65, (at96[0].size, at144[0].size)
    assert abs(at144[LOGO].size[0] - 168 * 1.5) <= 2 and abs(at144[LOGO].size[1] - 53 * 1.5) <= 2, \
        at144[LOGO].size
