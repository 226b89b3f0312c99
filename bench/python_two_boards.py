#!/usr/bin/python3
"""Two stepctl.Boards on two chips from two threads, next to one Board alone, over the fake
D2XX library (FAKE_D2XX_CHIPS names the chips; it is found on LD_LIBRARY_PATH).

    python_two_boards.py N

Prints the wall time of N sends on one board and of N sends on each of two boards at once, as
JSON."""
import json
import sys
import threading
import time

import stepctl

n = int(sys.argv[1])


def sends(serial):
    with stepctl.Board("d2xx", serial=serial) as board:
        for i in range(n):
            board.send("ZMG-A4", "serial", i % 64 / 2)


start = time.perf_counter()
sends("A1")
one = time.perf_counter() - start

threads = [threading.Thread(target=sends, args=(s,)) for s in ("A1", "B2")]
start = time.perf_counter()
for t in threads:
    t.start()
for t in threads:
    t.join()
two = time.perf_counter() - start
print(json.dumps({"one": one, "two": two}))
