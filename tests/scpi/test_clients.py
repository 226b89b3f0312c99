"""The server driven by clients nobody here wrote: PyVISA with its pure-Python backend, and
PyMeasure on top of it."""
import statistics
import time

import pytest
import pyvisa
from pymeasure.adapters import VISAAdapter
from pymeasure.instruments import Instrument

from scpi_server import Server


@pytest.fixture(scope="module")
def server():
    s = Server()
    yield s
    s.stop()


@pytest.fixture
def visa(server):
    rm = pyvisa.ResourceManager("@py")
    r = rm.open_resource(server.resource, read_termination="\n", write_termination="\n",
                         timeout=5000)
    r.write("DEV ZMG-A1;:INT SER;*RST;*CLS")  # *RST leaves the device as it was
    yield r
    r.close()
    rm.close()


def test_idn(visa):
    maker, device, serial, version = visa.query("*IDN?").split(",")
    assert (maker, device, serial) == ("StepCtl", "ZMG-A1", "SIM")
    assert version


# One row of each group over each interface; HOLDs? says what the simulated board latched.
@pytest.mark.parametrize("row,interface,level,holds", [
    (3, "SER", "10.7", ["21"]),
    (3, "PARallel", "31.5DB", ["63"]),
    (3, "addr", "1", ["-1", "-1", "-1", "2", "-1", "-1", "-1", "-1"]),
    (9, "SER", "20.3", ["81"]),
    (9, "PAR", "MAX", ["127"]),
    (9, "ADDR", "0.25", ["-1", "-1", "-1", "1", "-1", "-1", "-1", "-1"]),
    (14, "SER", "7", ["14", "10"]),
    (14, "PAR", "0.5", ["1", "10"]),
])
def test_setting_reaches_the_board(visa, row, interface, level, holds):
    visa.write(f"DEV {row};INT {interface};ADDR 3")
    if row == 14:
        visa.write("ATT2 5")
    visa.write(f"ATT {level}")
    code = holds[3] if interface.upper().startswith("ADDR") else holds[0]
    assert visa.query("ATT:CODE?") == code
    assert visa.query("BOARd:HOLDs?").split(",") == holds
    assert visa.query("SYST:ERR?") == '0,"No error"'


def test_error_queue_after_bad_commands(visa):
    for bad in ["NOPE", "ATT 99", "ATT abc", "INT SIDEWAYS", "ATT2 1"]:
        visa.write(bad)
    assert visa.query("SYST:ERR:COUN?") == "5"
    codes = [visa.query("SYST:ERR?").split(",")[0] for _ in range(6)]
    assert codes == ["-113", "-222", "-224", "-224", "-221", "0"]


class Attenuator(Instrument):
    attenuation = Instrument.control("ATT?", "ATT %g", "the level in dB", get_process=float)
    device = Instrument.control("DEV?", "DEV %s", "the catalogue device")

    def __init__(self, resource):
        super().__init__(VISAAdapter(resource, visa_library="@py", read_termination="\n",
                                     write_termination="\n"), "StepCtl attenuator")


def test_pymeasure(server):
    att = Attenuator(server.resource)
    att.device = "ZMG-B1"
    att.attenuation = 12.3
    assert att.device == "ZMG-B1"
    assert att.attenuation == 12.25  # the 0.25 dB step below
    assert att.id.startswith("StepCtl,ZMG-B1,SIM,")
    att.adapter.connection.close()


def test_write_query_pairs(visa):
    visa.write("DEV 3")
    times = []
    for i in range(1000):
        start = time.perf_counter()
        visa.write(f"ATT {i % 64 / 2}")
        reply = visa.query("ATT?")
        times.append(time.perf_counter() - start)
        assert float(reply) == i % 64 / 2
    median = statistics.median(times)
    print(f"write+query median over 1000 pairs: {median * 1e6:.0f} us")
    # A delayed ACK costs about 40 ms a pair; anything near that means it is back.
    assert median < 0.010
