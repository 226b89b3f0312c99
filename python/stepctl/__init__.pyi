"""Type stubs of the stepctl module (the extension stepctl._core, re-exported)."""
from types import TracebackType
from typing import ClassVar, Literal, Optional, Sequence, SupportsFloat, Union, overload

__version__: str
"""The version of StepCtl this module belongs to, as `stepctl-cli --version` gives it."""

_DeviceArg = Union[str, int]
_InterfaceArg = Union[str, "Interface"]
_LevelArg = Union[SupportsFloat, str]

class Error(Exception):
    """Base of the errors a board reports."""

class NoBoardError(Error):
    """No board: the chip is not attached or could not be opened. Nothing was sent."""

class TransferError(Error):
    """The chip was opened but configuring it or writing the frame failed."""

class Interface:
    """How the board's pins talk to the device. A pybind11 enum, not an enum.Enum: iterate over
    Interface.__members__.values(), not over the class."""
    SERIAL: ClassVar[Interface]
    PARALLEL: ClassVar[Interface]
    ADDRESSABLE: ClassVar[Interface]
    __members__: ClassVar[dict[str, Interface]]
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class Device:
    """A row of the device catalogue."""
    @property
    def row(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def group(self) -> Literal["6-bit", "7-bit", "dual 6-bit"]: ...
    @property
    def bits(self) -> int: ...
    @property
    def step(self) -> float:
        """dB per code step."""
    @property
    def top(self) -> float:
        """dB of the top code."""
    @property
    def interfaces(self) -> list[Interface]: ...

class Plan:
    """What a Send puts into its frame."""
    @property
    def device(self) -> str: ...
    @property
    def row(self) -> int: ...
    @property
    def interface(self) -> Interface: ...
    @property
    def address(self) -> Optional[int]:
        """The address, or None unless addressable."""
    @property
    def codes(self) -> list[int]:
        """The codes the frame carries: one, or two for the dual device."""
    @property
    def db(self) -> list[float]:
        """The dB values of those codes."""
    @property
    def kind(self) -> Literal["serial-6", "serial-7", "parallel-6", "parallel-7",
                              "addressable-6", "addressable-7", "dual"]: ...
    @property
    def frame(self) -> bytes:
        """The 36 bytes."""
    @property
    def warnings(self) -> list[str]:
        """Values clamped and arguments that go nowhere, as the CLI warns."""

class Sent(Plan):
    """A Send that reached the chip."""
    @property
    def board(self) -> str: ...
    @property
    def status(self) -> Literal["sent"]: ...
    @property
    def detail(self) -> str:
        """A note on a close that failed after the full write, else ''."""

class Held:
    """What one simulated attenuator holds."""
    @property
    def attenuator(self) -> str: ...
    @property
    def code(self) -> Optional[int]:
        """None before its first latch."""
    @property
    def db(self) -> Optional[float]: ...

class Chip:
    """An attached FTDI chip."""
    @property
    def index(self) -> int: ...
    @property
    def serial(self) -> str: ...
    @property
    def description(self) -> str: ...
    @property
    def manufacturer(self) -> str: ...
    @property
    def vendor_id(self) -> int: ...
    @property
    def product_id(self) -> int: ...
    @property
    def bus(self) -> Optional[int]:
        """The USB bus; None through D2XX."""
    @property
    def address(self) -> Optional[int]:
        """The USB address; None through D2XX."""
    @property
    def location_id(self) -> Optional[int]:
        """D2XX's location; None through libftdi."""
    @property
    def open_elsewhere(self) -> bool:
        """D2XX only: another program holds it."""
    @property
    def string_error(self) -> str: ...

def devices() -> list[Device]:
    """The device catalogue, one Device per row."""

def plan(device: _DeviceArg, interface: _InterfaceArg, db: _LevelArg,
         db2: Optional[_LevelArg] = None, address: Optional[int] = None) -> Plan:
    """The codes, dB values and frame kind a Send would use. Raises ValueError naming a bad
    value."""

def frame(device: _DeviceArg, interface: _InterfaceArg, db: _LevelArg,
          db2: Optional[_LevelArg] = None, address: Optional[int] = None) -> bytes:
    """The 36 bytes a Send would write. No board is touched."""

def chips(driver: Literal["ftdi", "d2xx"] = "ftdi") -> list[Chip]:
    """The attached FTDI chips as the driver lists them. Raises NoBoardError when they cannot be
    listed."""

class Board:
    """A board to send to: 'ftdi' (the first FTDI chip, or the one with this serial number) or
    'sim' (a simulated board). Use it in a with block, or call close()."""
    def __init__(self, kind: Literal["ftdi", "d2xx", "sim"] = "ftdi", serial: Optional[str] = None) -> None: ...
    @property
    def kind(self) -> str: ...
    @property
    def serial(self) -> Optional[str]: ...
    @property
    def closed(self) -> bool: ...
    def send(self, device: _DeviceArg, interface: _InterfaceArg, db: _LevelArg,
             db2: Optional[_LevelArg] = None, address: Optional[int] = None) -> Sent:
        """The panel's Send. Raises NoBoardError or TransferError when the frame did not reach
        the chip, ValueError naming a bad value."""
    def probe(self) -> bool:
        """True when the board answers: the chip is held, or it opens (and closes again)."""
    def release(self) -> None:
        """Lets the chip go for other programs; the next setting opens it again."""
    @overload
    def sweep(self, start: _LevelArg, stop: _LevelArg, step: _LevelArg, dwell_s: float,
              count: int = 1, *, device: Optional[_DeviceArg] = None,
              interface: Optional[_InterfaceArg] = None, db2: Optional[_LevelArg] = None,
              address: Optional[int] = None, timed: Literal[False] = False,
              sample_rate: Optional[int] = None) -> list[Sent]:
        """start to stop by step, each step held dwell_s on a steady clock, count passes."""
    @overload
    def sweep(self, start: _LevelArg, stop: _LevelArg, step: _LevelArg, dwell_s: float,
              count: int = 1, *, device: Optional[_DeviceArg] = None,
              interface: Optional[_InterfaceArg] = None, db2: Optional[_LevelArg] = None,
              address: Optional[int] = None, timed: Literal[True],
              sample_rate: Optional[int] = None) -> list[tuple[float, Sent]]:
        """One stream timed by the chip: (t_s, Sent) pairs, t_s each step's start."""
    @overload
    def play(self, levels: Sequence[_LevelArg] | Sequence[tuple[_LevelArg, _LevelArg]],
             dwell_s: float | Sequence[float], count: int = 1, *,
             device: Optional[_DeviceArg] = None, interface: Optional[_InterfaceArg] = None,
             address: Optional[int] = None, timed: Literal[False] = False,
             sample_rate: Optional[int] = None) -> list[Sent]:
        """A hop list, each level held its dwell on a steady clock, count passes."""
    @overload
    def play(self, levels: Sequence[_LevelArg] | Sequence[tuple[_LevelArg, _LevelArg]],
             dwell_s: float | Sequence[float], count: int = 1, *,
             device: Optional[_DeviceArg] = None, interface: Optional[_InterfaceArg] = None,
             address: Optional[int] = None, timed: Literal[True],
             sample_rate: Optional[int] = None) -> list[tuple[float, Sent]]:
        """One stream timed by the chip: (t_s, Sent) pairs, t_s each step's start."""
    def holds(self) -> list[Held]:
        """What each attenuator of the simulated board holds ('sim' only)."""
    def fail(self, call: Literal["unplugged", "open", "bitmode", "rate", "write",
                                 "short-write", "close"]) -> None:
        """Makes every later call of this kind fail on the simulated board."""
    def clear_faults(self) -> None:
        """Takes the simulated board's faults away and plugs it back in."""
    def close(self) -> None: ...
    def __enter__(self) -> "Board": ...
    def __exit__(self, kind: Optional[type[BaseException]], value: Optional[BaseException],
                 traceback: Optional[TracebackType]) -> Literal[False]: ...
