#!/usr/bin/python3
"""PyVISA-py's usual pattern against `stepctl-cli serve`: a write, then a query, N times.

    scpi_pairs.py PORT N

Prints the median time of one pair in seconds, as JSON, on stdout."""
import json
import statistics
import sys
import time

import pyvisa

port, count = int(sys.argv[1]), int(sys.argv[2])
rm = pyvisa.ResourceManager("@py")
r = rm.open_resource(f"TCPIP::127.0.0.1::{port}::SOCKET", read_termination="\n",
                     write_termination="\n", timeout=5000)
r.write("DEV ZMG-A4;INT SER")
times = []
for i in range(count):
    start = time.perf_counter()
    r.write(f"ATT {i % 64 / 2}")
    r.query("ATT?")
    times.append(time.perf_counter() - start)
r.close()
rm.close()
print(json.dumps({"median": statistics.median(times)}))
