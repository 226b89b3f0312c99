#!/usr/bin/python3
"""Times whole processes in turn, one run of each per round, so that a change in the machine's
load during the measurement falls on all of them alike.

    interleave.py PLAN

PLAN is JSON: {"runs": 40, "warmup": 3, "commands": {"name": ["argv", ...], ...}}. Prints JSON:
{"name": {"wall": median seconds, "rss_kib": median peak resident set size}, ...}. Every run
must exit with status 0; the first that does not ends the measurement with its output.

Each process is waited for with wait4, which hands back its resource usage: the peak resident
set size is the kernel's own figure for that process (what GNU time -f %M reports).
"""
import json
import os
import statistics
import subprocess
import sys
import time


def run_once(argv):
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    stderr = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    if child.returncode != 0:
        sys.exit(f"interleave.py: {' '.join(argv)} ended with {child.returncode}: {stderr}")
    return wall, usage.ru_maxrss


def main():
    plan = json.loads(sys.argv[1])
    commands = plan["commands"]
    names = list(commands)
    walls = {name: [] for name in names}
    rss = {name: [] for name in names}
    for round_number in range(plan.get("warmup", 3) + plan["runs"]):
        # The order turns each round, so that no command always follows the same one.
        shift = round_number % len(names)
        for name in names[shift:] + names[:shift]:
            wall, peak = run_once(commands[name])
            if round_number >= plan.get("warmup", 3):
                walls[name].append(wall)
                rss[name].append(peak)
    print(json.dumps({name: {"wall": statistics.median(walls[name]),
                             "rss_kib": statistics.median(rss[name])} for name in names}))


if __name__ == "__main__":
    main()
