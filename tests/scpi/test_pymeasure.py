"""The shipped PyMeasure class against a real `serve`, through PyVISA-py."""
import pytest

from scpi_server import Server
from stepctl.pymeasure import StepCtl, StepCtlError


@pytest.fixture(scope="module")
def att():
    server = Server()
    instrument = StepCtl(server.resource)
    yield instrument
    instrument.adapter.connection.close()
    server.stop()


def test_settings_read_back_and_refusals_raise(att):
    att.device = "ZMG-A4"
    att.interface = "serial"
    assert (att.device, att.interface, att.step, att.maximum) == ("ZMG-A4", "serial", 0.5, 31.5)
    att.attenuation = 12.3
    assert att.attenuation == 12.0  # quantised down to the step
    for name, value, code in [("attenuation", 40, -222), ("device", "ZMG-Z9", -224),
                              ("address", 9, -222)]:
        with pytest.raises(StepCtlError) as raised:
            setattr(att, name, value)
        assert raised.value.code == code
    assert att.attenuation == 12.0
    assert att.boards == ["SIM"] and att.board == 1


def test_sequences(att):
    att.device = "ZMG-A4"
    att.sweep(0, 31.5, 0.5, 0.001)
    assert (att.code, att.sequence_step, att.mode) == (63, 64, "sweep")
    att.play([1, 2, 3.5], [0.001, 0.002, 0.001], count=2)
    assert (att.attenuation, att.sequence_step) == (3.5, 6)
    for levels, dwells, timed in [([1, 99], 0.001, False), ([1, 2], [0.001, 0.0002], True)]:
        with pytest.raises(StepCtlError) as raised:
            att.play(levels, dwells, timed=timed)
        assert raised.value.code == -222
    att.play([10, 20.5, 31.5], [0.001, 0.0005, 0.002], timed=True, sample_rate=100000)
    assert (att.code, att.sequence_step) == (63, 3)
    att.sweep(0, 31.5, 0.5, 0.001, timed=True)
    assert (att.code, att.sequence_step) == (63, 64)
