// The process exit codes, the contract with the scripts that call the tool.
#pragma once

namespace stepctl::cli {

enum class ExitCode : int {
    Ok = 0,              // sent, listed, connected
    BadArguments = 2,    // a bad option or value; nothing reached a board
    NoBoard = 3,         // the chip could not be opened (or USB could not be listed)
    TransferFailed = 4,  // opened, but configuring or writing failed or the write was short
    OutputLost = 5,      // the result could not be written to stdout (disk full, closed)
    CannotListen = 6,    // serve could not listen: the port is in use, the address not here
    Interrupted = 130,  // a sweep or play stopped by a signal or a closed output, the device closed
};

inline constexpr const char* kExitCodeHelp =
    "Exit codes: 0 sent/ok, 2 bad arguments, 3 no board, 4 transfer failed,\n"
    "5 output lost (stdout could not be written), 6 serve could not listen (the port is in\n"
    "use, or the address is not this machine's), 130 sweep or play stopped by Ctrl-C,\n"
    "SIGTERM, SIGHUP or a closed output (the device is closed between steps); serve ends\n"
    "with 0 on Ctrl-C or SIGTERM.";

}  // namespace stepctl::cli
