#!/usr/bin/python3
"""A script's two ways to a Send on the simulated board, timed in turn from one interpreter:
the module in-process, `stepctl.Board("sim").send(...)`, and `stepctl-cli send --board sim` as
a subprocess, each with the same arguments and both checked to latch the same code.

    PYTHONPATH=build/python python_send.py CLI RUNS

Prints JSON: {"module": median seconds a call, "cli": median seconds a subprocess}.
"""
import json
import statistics
import subprocess
import sys
import time

import stepctl

DEVICE, INTERFACE, DB = "ZMG-A4", "serial", 10.5


def median_time(call, runs, batch=1):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        for _ in range(batch):
            call()
        times.append((time.perf_counter() - start) / batch)
    return statistics.median(times)


def main():
    cli, runs = sys.argv[1], int(sys.argv[2])
    argv = [cli, "send", "--board", "sim", "--device", DEVICE, "--interface", INTERFACE,
            "--db", str(DB), "--json"]
    board = stepctl.Board("sim")
    module = lambda: board.send(DEVICE, INTERFACE, DB)
    subprocess_send = lambda: subprocess.run(argv, check=True, capture_output=True)

    latched = json.loads(subprocess_send().stdout)["latched"][0]["code"]
    module()
    if board.holds()[0].code != latched:
        sys.exit("python_send: the module and the CLI latched different codes")
    # One call is a few microseconds: time batches of them, interleaved with the subprocesses.
    module_times, cli_times = [], []
    for _ in range(runs):
        module_times.append(median_time(module, 1, batch=1000))
        cli_times.append(median_time(subprocess_send, 1))
    print(json.dumps({"module": statistics.median(module_times),
                      "cli": statistics.median(cli_times)}))


if __name__ == "__main__":
    main()
