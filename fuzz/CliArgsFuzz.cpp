// stepctl-cli's argument handling in process, over arbitrary argument lists (one argument per
// line of input). Whatever the arguments: a documented exit code, no exception, no state left
// behind for the next run, and a hex frame that is always one line of 36 bytes.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli.h"
#include "SelectionState.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

bool isHexFrameLine(const std::string& text) {
    if (text.size() != 36 * 3)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = i % 3 == 2 ? c == (i + 1 == text.size() ? '\n' : ' ')
                                   : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            args.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    args.push_back(current);

    // serve runs until a signal and play reads standard input or files by design; their
    // arguments are the same readers' as the other commands', and fuzz_scpi covers the server.
    if (args[0] == "serve" || args[0] == "play")
        return -1;

    bool simulated = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        // A sweep's dwell really waits; the fuzzer wants the argument handling, not the clock.
        if (args[i].rfind("--dwell-ms", 0) == 0)
            return -1;
        if (args[i] == "sim" || args[i] == "--board=sim")
            simulated = true;
    }
    // Real USB is slow to enumerate and not what this target is about: use the simulated board
    // unless the input names one.
    if (!simulated) {
        args.push_back("--board");
        args.push_back("sim");
    }

    std::ostringstream out, err;
    const int exit = stepctl::cli::runCli(args, out, err);
    check(exit == 0 || exit == 2 || exit == 3 || exit == 4, "a documented exit code");
    check(exit == 0 || !err.str().empty(), "a failure says why");
    check(g_nDeviceIndex == 0 && g_nInterface == 0 && g_nAttenCode == 0 && g_nAttenCode2 == 0,
          "the selection state is back at its start");
    const bool hexFrame = exit == 0 && !args.empty() && args[0] == "frame" &&
                          out.str().find('{') == std::string::npos &&
                          out.str().find("$version") == std::string::npos &&
                          out.str().find("Usage:") == std::string::npos;  // --help
    if (hexFrame && !isHexFrameLine(out.str())) {
        std::fprintf(stderr, "output:\n%s\n", out.str().c_str());
        check(false, "hex frame is one line of 36 bytes");
    }
    return 0;
}
