"""StepCtl from Python: the exact frames, the simulated board and the real FTDI link of the
panel and stepctl-cli, in-process.

    import stepctl
    stepctl.frame("ZMG-B2", "parallel", 10.7).hex()
    with stepctl.Board("sim") as board:
        sent = board.send("ZMG-A4", "serial", 10.7)   # sent.codes == [21], sent.db == [10.5]
        board.holds()
"""
from ._core import (Board, Chip, Device, Error, Held, Interface, NoBoardError, Plan, Sent,
                    TransferError, __version__, chips, devices, frame, plan)

__all__ = ["Board", "Chip", "Device", "Error", "Held", "Interface", "NoBoardError", "Plan",
           "Sent", "TransferError", "__version__", "chips", "devices", "frame", "plan"]

# Shown as stepctl.Board, not stepctl._core.Board.
for _name in __all__:
    if isinstance(globals()[_name], type) and _name != "__version__":
        globals()[_name].__module__ = __name__
del _name
