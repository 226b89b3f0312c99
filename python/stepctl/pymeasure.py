"""A PyMeasure instrument for `stepctl-cli serve`: the board as a programmable attenuator.

Imported on its own, so that `import stepctl` never needs PyMeasure:

    from stepctl.pymeasure import StepCtl
    att = StepCtl("TCPIP::127.0.0.1::5025::SOCKET")
    att.device = "ZMG-A4"
    att.attenuation = 12.3         # att.attenuation == 12.0, quantised down to the 0.5 dB step
    att.attenuation = 40           # raises StepCtlError: -222, beyond the 31.5 dB top

Every setting asks SYSTem:ERRor? afterwards and raises StepCtlError on an error, so a value the
instrument refused never passes silently.
"""
from pymeasure.adapters import VISAAdapter  # type: ignore[import]  # PyMeasure ships no types
from pymeasure.instruments import Instrument  # type: ignore[import]

__all__ = ["StepCtl", "StepCtlError"]


class StepCtlError(Exception):
    """An error the instrument queued: `code` (the SCPI number, e.g. -222) and `message`."""

    def __init__(self, errors):
        self.errors = errors
        self.code, self.message = errors[0]
        super().__init__("; ".join(f"{code}: {message}" for code, message in errors))


def _checked_control(get_command, set_command, docs, **kwargs):
    return Instrument.control(get_command, set_command, docs, check_set_errors=True, **kwargs)


def _seconds(value):
    return f"{float(value):g}"


def _timing(timed, sample_rate):
    """The SEQuence:TIMed and SRATe settings for the next INITiate."""
    line = ":SEQ:TIM " + ("ON" if timed else "OFF")
    return line + ("" if sample_rate is None else f";:SRAT {int(sample_rate)}")


class StepCtl(Instrument):
    """The selected board of a `stepctl-cli serve`."""

    attenuation = _checked_control(
        "ATT?", "ATT %g", "Attenuation in dB: what the board holds (set: quantised down to the "
        "step; beyond 0..maximum raises).", get_process=float)
    code = _checked_control("ATT:CODE?", "ATT:CODE %d", "The attenuator's code.",
                            get_process=int)
    device = _checked_control("DEV?", 'DEV "%s"', "The catalogue device on the board.")
    interface = _checked_control(
        "INT?", "INT %s", "How the board is wired: serial, parallel or addressable.",
        values={"serial": "SER", "parallel": "PAR", "addressable": "ADDR"}, map_values=True)
    address = _checked_control("ADDR?", "ADDR %d", "The device address 0..7 (addressable).",
                               get_process=int)
    board = _checked_control("INST:NSEL?", "INST:NSEL %d",
                             "The board this connection talks to, 1-based.", get_process=int)
    mode = _checked_control("ATT:MODE?", "ATT:MODE %s", "fixed, sweep or list.",
                            values={"fixed": "FIX", "sweep": "SWE", "list": "LIST"},
                            map_values=True)
    step = Instrument.measurement("ATT:STEP?", "The device's step in dB.", get_process=float)
    maximum = Instrument.measurement("ATT? MAX", "The device's top in dB.", get_process=float)
    boards = Instrument.measurement("INST:CAT?", "The boards served, by serial number.",
                                    get_process=lambda v: [s.strip('"') for s in
                                                           (v if isinstance(v, list) else [v])])
    sequence_step = Instrument.measurement(
        "SEQ:STEP?", "The number of the sequence step sent last (0 before any).",
        get_process=int)

    def __init__(self, resource="TCPIP::127.0.0.1::5025::SOCKET", name="StepCtl attenuator",
                 **kwargs):
        if isinstance(resource, str):
            resource = VISAAdapter(resource, visa_library=kwargs.pop("visa_library", "@py"),
                                   read_termination="\n", write_termination="\n", **kwargs)
        super().__init__(resource, name)

    def check_errors(self):
        """Reads the error queue empty; raises StepCtlError when it held anything."""
        errors = []
        while True:
            code, _, message = self.ask("SYST:ERR?").strip().partition(",")
            if int(code) == 0:
                break
            errors.append((int(code), message.strip('"')))
        if errors:
            raise StepCtlError(errors)
        return errors

    # Newer PyMeasure versions call this after a set.
    check_set_errors = check_errors

    def sweep(self, start, stop, step, dwell_s, count=1, wait=True, timed=False,
              sample_rate=None):
        """Steps from `start` to `stop` dB by `step`, each level held `dwell_s` seconds, `count`
        passes, on the server's clock; with `timed`, as one stream the chip's own sample clock
        times (at `sample_rate` samples/s, the server's default when None). Waits for the end
        unless `wait` is False."""
        self.write(f"SWE:STAR {start:g};STOP {stop:g};STEP {step:g};DWEL {_seconds(dwell_s)};"
                   f"COUN {int(count)};:ATT:MODE SWE;" + _timing(timed, sample_rate))
        self.check_errors()
        points = int(abs(stop - start) / step + 1e-9) + 1
        self._start(points * float(dwell_s) * count, wait)

    def play(self, levels, dwell_s, count=1, wait=True, timed=False, sample_rate=None):
        """Sets each level of `levels` (dB) in turn, holding it `dwell_s` seconds (one time for
        all, or one per level), `count` passes; `timed` and `sample_rate` as for sweep (a dwell
        shorter than 36 samples then raises, -222)."""
        dwells = list(dwell_s) if isinstance(dwell_s, (list, tuple)) else [dwell_s]
        self.write("LIST:ATT " + ",".join(f"{level:g}" for level in levels) + ";DWEL " +
                   ",".join(_seconds(d) for d in dwells) + f";COUN {int(count)};:ATT:MODE LIST;" +
                   _timing(timed, sample_rate))
        self.check_errors()
        length = sum(dwells) if len(dwells) > 1 else dwells[0] * len(levels)
        self._start(length * count, wait)

    def _start(self, length_s, wait):
        self.write("INIT")
        self.check_errors()
        if wait:
            self.wait(timeout_s=length_s + 5)

    def wait(self, timeout_s=None):
        """Waits until the running sequence has ended (*OPC?); other clients are served
        meanwhile. Reports an error that stopped it."""
        connection = self.adapter.connection
        kept = connection.timeout
        connection.timeout = None if timeout_s is None else max(kept, timeout_s * 1000)
        try:
            self.ask("*OPC?")
        finally:
            connection.timeout = kept
        self.check_errors()

    def abort(self):
        """Stops the running sequence between two steps."""
        self.write("ABOR")
        self.check_errors()

    def release(self):
        """Lets the chip go, for the panel or another program; the next setting opens it."""
        self.write("BOAR:REL")
        self.check_errors()
