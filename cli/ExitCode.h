// The process exit codes, the contract with the scripts that call the tool.
#pragma once

namespace stepctl::cli {

enum class ExitCode : int {
    Ok = 0,              // sent, listed, connected
    BadArguments = 2,    // a bad option or value; nothing reached a board
    NoBoard = 3,         // the chip could not be opened (or USB could not be listed)
    TransferFailed = 4,  // opened, but configuring or writing failed or the write was short
    OutputLost = 5,      // the result could not be written to stdout (disk full, closed)
    Interrupted = 130,   // a sweep stopped by Ctrl-C, the device closed
};

inline constexpr const char* kExitCodeHelp =
    "Exit codes: 0 sent/ok, 2 bad arguments, 3 no board, 4 transfer failed,\n"
    "5 output lost (stdout could not be written), 130 sweep stopped by Ctrl-C (the device is\n"
    "closed between steps).";

}  // namespace stepctl::cli
