#!/usr/bin/python3
"""Start-up time and peak memory of the Windows panel under wine, next to a bare Win32 dialog,
measured side by side in the same run: one run of each per round, in turn.

    bench/win32/startup.py [--runs N] [--exe build-windows/win32/stepctl.exe]

Method: one wine prefix and one X server (Xvfb) for the whole run, the wine server kept
running (wineserver -p) and warmed by one run of every program before the measured rounds.
Start-up is the time from starting the process (`wine program.exe`) to its window being mapped
on the X server (xdotool search --onlyvisible, polled every 10 ms); each figure is the median
of N runs, with the lowest and the highest. Peak memory is the process's high-water resident
set (VmHWM of the wine process) once the window has settled. The bare dialog is compiled here
with the same mingw-w64 compiler, without and with common controls 6. The panel runs without a
D2XX library beside it, so its start-up probe finds none. Everything, the wine prefix and the
X server included, lives in a temporary folder.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def build_bare(folder, comctl6=False):
    name = "bare-dialog-comctl6" if comctl6 else "bare-dialog"
    res = os.path.join(folder, name + ".res.o")
    exe = os.path.join(folder, name + ".exe")
    subprocess.run(["x86_64-w64-mingw32-windres", *(["-DWITH_COMCTL6"] if comctl6 else []),
                    os.path.join(HERE, "BareDialog.rc"), "-O", "coff", "-o", res], check=True)
    subprocess.run(["x86_64-w64-mingw32-g++-posix", "-O2", "-municode", "-mwindows", "-static",
                    os.path.join(HERE, "BareDialog.cpp"), res, "-o", exe], check=True)
    return exe


def window_up(env, title):
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"],
                         env=env, capture_output=True, text=True).stdout
    return bool(out.split())


def peak_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def one_run(env, exe, args, title):
    start = time.perf_counter()
    proc = subprocess.Popen(["wine", exe, *args], env=env, cwd=os.path.dirname(exe),
                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        while not window_up(env, title):
            if time.perf_counter() - start > 30:
                raise RuntimeError(f"{exe}: no window after 30 s")
            time.sleep(0.01)
        shown = time.perf_counter() - start
        time.sleep(0.5)  # settled after the first paint
        return shown, peak_kib(proc.pid)
    finally:
        proc.kill()
        proc.wait()
        # The next run must not find this run's window still on the server.
        while window_up(env, title):
            time.sleep(0.01)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--exe", default=os.path.join(ROOT, "build-windows/win32/stepctl.exe"))
    opts = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="stepctl-bench-") as tmp:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], stdout=subprocess.PIPE)
        display = xvfb.stdout.readline().decode().strip()
        env = dict(os.environ, DISPLAY=":" + display, WINEPREFIX=os.path.join(tmp, "wine"),
                   WINEDEBUG="-all", HOME=tmp, XDG_CONFIG_HOME=tmp)
        try:
            subprocess.run(["wineboot", "-i"], env=env, check=True, capture_output=True)
            subprocess.run(["wineserver", "-p"], env=env, check=True)
            subprocess.run(["wine", "cmd", "/c", "exit"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            panel = os.path.join(tmp, "stepctl.exe")
            shutil.copy(opts.exe, panel)  # no D2XX library beside it: the probe finds none
            cases = [
                ("bare Win32 dialog", build_bare(tmp), [], "Bare dialog"),
                ("bare dialog, controls 6", build_bare(tmp, True), [], "Bare dialog"),
                ("stepctl.exe", panel, [], "Zozodoz DSA/DVGA GUI V2.4"),
                ("stepctl.exe --simulate", panel, ["--simulate"], "Zozodoz DSA/DVGA GUI V2.4"),
            ]
            for _, exe, args, title in cases:  # warm the caches once
                one_run(env, exe, args, title)
            results = {name: [] for name, *_ in cases}
            for _ in range(opts.runs):
                for name, exe, args, title in cases:
                    results[name].append(one_run(env, exe, args, title))
        finally:
            subprocess.run(["wineserver", "-k"], env=env)
            xvfb.terminate()
            xvfb.wait()

    print(f"wine, Xvfb, warm wine server; launch to window mapped; median of {opts.runs} runs"
          " (min-max); peak RSS VmHWM")
    base_t = statistics.median(t for t, _ in results["bare Win32 dialog"])
    base_m = statistics.median(m for _, m in results["bare Win32 dialog"])
    print(f"{'program':26} {'start-up ms (median, min-max)':>30} {'peak RSS MiB':>13} {'ratio':>12}")
    for name, runs in results.items():
        times = [t * 1000 for t, _ in runs]
        mem = statistics.median(m for _, m in runs) / 1024
        t = statistics.median(times)
        print(f"{name:26} {t:12.0f} ({min(times):4.0f}-{max(times):4.0f}){'':8} {mem:13.1f}"
              f" {t / (base_t * 1000):5.2f}x {mem * 1024 / base_m:4.2f}x")


if __name__ == "__main__":
    main()
