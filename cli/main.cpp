#include <iostream>

#include "ExitCode.h"
#include "RunCli.h"
#include "StdioMode.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <csignal>

namespace {

bool isOpen(int fd) {
    return fcntl(fd, F_GETFD) != -1;
}

// Puts /dev/null on a closed standard descriptor, so that no device opened later takes its
// number and receives what was meant for the terminal.
void fillWithNull(int fd, int flags) {
    const int null = open("/dev/null", flags);
    if (null >= 0 && null != fd) {
        dup2(null, fd);
        close(null);
    }
}

// False, with the reason on stderr, when stdout is closed: the command's outcome could not be
// reported, so nothing is done.
bool standardStreamsUsable() {
    const bool outOpen = isOpen(STDOUT_FILENO);
    if (!isOpen(STDIN_FILENO))
        fillWithNull(STDIN_FILENO, O_RDONLY);
    if (!isOpen(STDERR_FILENO))
        fillWithNull(STDERR_FILENO, O_WRONLY);
    if (!outOpen) {
        std::cerr << "stepctl-cli: the output could not be written: standard output is closed; "
                     "nothing done\n";
    }
    // A reader that went away (`| head -1`) shows as a failed write, checked like any other,
    // rather than killing the process between a send and its report.
    std::signal(SIGPIPE, SIG_IGN);
    return outOpen;
}

}  // namespace
#else
namespace {
// Windows gives a process without a console no standard handles; writes to them fail and are
// caught when the output is flushed.
bool standardStreamsUsable() {
    return true;
}
}  // namespace
#endif

int main(int argc, char** argv) {
    stepctl::cli::useBinaryStdio();
    if (!standardStreamsUsable())
        return static_cast<int>(stepctl::cli::ExitCode::OutputLost);
    return stepctl::cli::runCli({argv + 1, argv + argc}, std::cout, std::cerr);
}
