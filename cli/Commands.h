// The commands of stepctl-cli, each with the options it was given (as typed) and the function
// that carries it out. The command-line grammar that fills these lives in RunCli.cpp.
#pragma once

#include <optional>
#include <string>

#include "BoardSession.h"
#include "Console.h"
#include "ExitCode.h"
#include "FrameText.h"
#include "SendRequest.h"
#include "SessionWords.h"
#include "TimedLoop.h"

namespace stepctl::cli {

struct DevicesOptions {
    bool json = false;
};

struct ListOptions {
    bool json = false;
    std::optional<std::string> driver;
};

struct ProbeOptions {
    BoardChoice board;
    bool json = false;
};

struct SendOptions {
    TargetText target;
    std::string db;
    BoardChoice board;
    bool json = false;
};

// Up to one second a sample: 36 of them still fit the dump's timestamps many times.
inline constexpr long long kMaxSamplePeriodPs = 1'000'000'000'000;
// A day between two steps.
inline constexpr long long kMaxDwellMs = 86'400'000;

struct FrameOptions {
    TargetText target;
    std::string db;
    FrameFormat format = FrameFormat::HexLine;
    std::optional<std::string> samplePeriodPs;
    bool plainPins = false;
};

struct SweepOptions {
    TargetText target;
    std::string from;
    std::string to;
    std::string step;
    std::string dwellMs;
    bool bidirectional = false;
    std::string repeat = "1";
    BoardChoice board;
    bool json = false;
    TimedText timed;
};

struct ServeOptions {
    std::string listen = "127.0.0.1";
    std::string port = "5025";
    BoardChoice board;
};

struct PlayOptions {
    TargetText target;
    std::string file = "-";  // "-": standard input
    std::string repeat = "1";
    std::string dwellMs = "0";
    BoardChoice board;
    bool json = false;
    TimedText timed;
};

ExitCode runDevices(const DevicesOptions& options, const Console& console);
ExitCode runList(const ListOptions& options, const Console& console);
ExitCode runProbe(const ProbeOptions& options, const Console& console);
ExitCode runSend(const SendOptions& options, const Console& console);
ExitCode runFrame(const FrameOptions& options, const Console& console);
ExitCode runSweep(const SweepOptions& options, const Console& console);
ExitCode runServe(const ServeOptions& options, const Console& console);
ExitCode runPlay(const PlayOptions& options, const Console& console);

// Prints the reason of a bad argument and gives the matching exit code.
inline ExitCode refuse(const Console& console, const BadArgument& bad) {
    console.error(bad.message);
    return ExitCode::BadArguments;
}

inline void printWarnings(const Console& console, const Warnings& warnings) {
    for (const std::string& warning : warnings)
        console.warn(warning);
}

}  // namespace stepctl::cli
