// The command-line grammar: commands, options and their help, parsed with CLI11.
#include "RunCli.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <string_view>

#include <CLI/CLI.hpp>

#include "ArgumentRules.h"
#include "BitBangClock.h"
#include "Commands.h"
#include "FrameText.h"
#include "Version.h"

namespace stepctl::cli {
namespace {

constexpr std::array<std::string_view, 8> kCommands{"devices", "list",  "probe", "send",
                                                    "frame",   "sweep", "play",  "serve"};

constexpr const char* kDbHelp =
    "attenuation in dB (10.5 or 10.5dB): quantised down to the step, clamped to 0..top";
constexpr const char* kDb2Help = "the dual device's second attenuation in dB";

std::string joined(const std::vector<std::string>& names, const char* separator = ", ") {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : separator) + name;
    return text;
}

// CLI11's matching of a name in any case, with a refusal that says what was typed and what
// would have been taken.
CLI::Validator refusingAs(const CLI::Validator& match, const std::vector<std::string>& names) {
    const std::string list = joined(names);
    return CLI::Validator(
        [match, list](std::string& value) {
            const std::string typed = value;
            if (match(value).empty())
                return std::string();
            return "'" + typed + "' is not one of " + list;
        },
        "");  // the option's type name or help lists the names already
}

// One of a fixed set of names in any case, handed on in the set's own spelling (a transform,
// since a check would drop the spelling).
CLI::Validator oneOf(const std::vector<std::string>& names) {
    return refusingAs(CLI::IsMember(names, CLI::ignore_case), names);
}

// A whole decimal number within min..max. CLI::Range reads "010" as octal and "0x7" as hex,
// which a lab script would not mean; the strict reading of ArgumentRules decides instead.
CLI::Validator wholeNumber(long long min, long long max) {
    return CLI::Validator(
        [min, max](std::string& value) { return wholeNumberProblem(value, min, max); },
        std::to_string(min) + ".." + std::to_string(max));
}

std::vector<std::string> interfaceNames() {
    std::vector<std::string> names;
    for (Interface iface : kInterfaces)
        names.emplace_back(interfaceName(iface));
    return names;
}

std::vector<std::string> simFaultNames() {
    std::vector<std::string> names;
    std::string_view rest = kSimFaults;
    while (!rest.empty()) {
        const std::size_t bar = rest.find('|');
        names.emplace_back(rest.substr(0, bar));
        rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
    }
    return names;
}

CLI::App* addCommand(CLI::App& app, const char* name, const char* description) {
    CLI::App* command = app.add_subcommand(name, description);
    command->footer(kExitCodeHelp);
    return command;
}

void addTarget(CLI::App& command, TargetText& target) {
    command.add_option("--device", target.device, "catalogue name (any case) or row 0..14")
        ->type_name("D")
        ->required();
    command.add_option("--interface", target.interface, "serial, parallel or addressable")
        ->type_name("I")
        ->required()
        ->transform(oneOf(interfaceNames()));
    command.add_option("--address", target.address, "device address 0..7, needed by addressable")
        ->type_name("A")
        ->check(wholeNumber(0, 7));
}

// --db X (where the command has one) and --db2 Y, in that order in the help.
void addLevels(CLI::App& command, std::string* db, std::optional<std::string>& db2) {
    if (db != nullptr)
        command.add_option("--db", *db, kDbHelp)->type_name("X")->required();
    command.add_option("--db2", db2, kDb2Help)->type_name("Y");
}

void addDriver(CLI::App& command, std::optional<std::string>& driver) {
    const std::string help = std::string(
                                 "the chip's driver: ftdi (libftdi) or d2xx (FTDI's D2XX "
                                 "library); default ") +
                             std::string(chipDriverName(defaultChipDriver()));
    command.add_option("--driver", driver, help)
        ->type_name(kDrivers)
        ->transform(oneOf({"ftdi", "d2xx"}));
}

// The board options; --json where the command has it.
void addBoard(CLI::App& command, BoardChoice& board, bool* json,
              std::vector<std::string>* serials = nullptr) {
    command.add_option("--board", board.board, "ftdi (the chip) or sim (a simulated board)")
        ->type_name("ftdi|sim")
        ->capture_default_str()
        ->transform(oneOf({"ftdi", "sim"}));
    if (serials != nullptr) {
        command
            .add_option("--serial", *serials,
                        "the FTDI chip with this serial number; again for each further board")
            ->type_name("SN")
            ->allow_extra_args(false);  // one serial number each time
    } else {
        command.add_option("--serial", board.serial, "the FTDI chip with this serial number")
            ->type_name("SN");
    }
    addDriver(command, board.driver);
    command
        .add_option("--sim-fault", board.simFault,
                    "make the simulated board fail, to try a script's error paths")
        ->type_name(kSimFaults)
        ->transform(oneOf(simFaultNames()));
    if (json != nullptr)
        command.add_flag("--json", *json, "machine-readable output, one JSON document per line");
}

// --timed and what goes with it.
void addTimed(CLI::App& command, TimedText& timed) {
    command.add_flag("--timed", timed.timed,
                     "write the whole sequence as one stream timed by the chip's own sample "
                     "clock (each step its frame, then hold samples for its dwell)");
    command
        .add_option("--sample-rate", timed.sampleRate,
                    "the chip's sample rate with --timed, in samples/s (default " +
                        std::to_string(kDefaultStreamRate) + ", at most " +
                        std::to_string(kMaxStreamRate) + ")")
        ->type_name("HZ");
    command.add_option("--vcd", timed.vcd, "with --timed, the whole stream as a VCD file")
        ->type_name("FILE");
}

struct Options {
    DevicesOptions devices;
    ListOptions list;
    ProbeOptions probe;
    SendOptions send;
    FrameOptions frame;
    SweepOptions sweep;
    PlayOptions play;
    ServeOptions serve;
};

void describe(CLI::App& app, Options& o) {
    app.description(
        "Sets the step attenuator of an RF evaluation board through an FTDI chip in bit-bang\n"
        "mode, exactly as the StepCtl panel's Send does.");
    app.footer(kExitCodeHelp);
    app.set_version_flag("--version", std::string("stepctl-cli ") + kVersion);
    app.require_subcommand(1);

    CLI::App* devices = addCommand(app, "devices", "the device catalogue");
    devices->add_flag("--json", o.devices.json, "machine-readable output");

    CLI::App* list = addCommand(app, "list", "the attached FTDI chips");
    list->add_flag("--json", o.list.json, "machine-readable output");
    addDriver(*list, o.list.driver);

    CLI::App* probe = addCommand(app, "probe", "whether the board answers (exit 0 or 3)");
    addBoard(*probe, o.probe.board, &o.probe.json);

    CLI::App* send = addCommand(app, "send", "send one setting, as the panel's Send does");
    addTarget(*send, o.send.target);
    addLevels(*send, &o.send.db, o.send.target.db2);
    addBoard(*send, o.send.board, &o.send.json);

    CLI::App* frame =
        addCommand(app, "frame", "print the frame send would write, touching no board");
    addTarget(*frame, o.frame.target);
    addLevels(*frame, &o.frame.db, o.frame.target.db2);
    const std::map<std::string, FrameFormat> formats{{"hex", FrameFormat::HexLine},
                                                     {"json", FrameFormat::JsonObject},
                                                     {"vcd", FrameFormat::VcdDump}};
    frame
        ->add_option("--format", o.frame.format,
                     "hex (36 bytes, the default), json or vcd (a waveform)")
        ->type_name("hex|json|vcd")
        ->transform(
            refusingAs(CLI::CheckedTransformer(formats, CLI::ignore_case), {"hex", "json", "vcd"}));
    frame
        ->add_option("--sample-period-ps", o.frame.samplePeriodPs,
                     "VCD sample period in ps; the default 135634 is an FT232R set to 460800 "
                     "in bit-bang mode, which puts out 16 x 460800 samples a second")
        ->type_name("PS")
        ->check(wholeNumber(1, kMaxSamplePeriodPs));
    frame->add_flag("--plain-pins", o.frame.plainPins,
                    "VCD wires named D0..D7 instead of DATA, CLK, LE ...");

    CLI::App* sweep = addCommand(app, "sweep", "send from X to Y in steps, with a dwell");
    addTarget(*sweep, o.sweep.target);
    sweep->add_option("--from", o.sweep.from, "first attenuation in dB")
        ->type_name("X")
        ->required();
    sweep->add_option("--to", o.sweep.to, "last attenuation in dB")->type_name("Y")->required();
    sweep->add_option("--step", o.sweep.step, "step size in dB, above 0")
        ->type_name("S")
        ->required();
    // Read by the command: with --timed it may be a decimal.
    sweep
        ->add_option("--dwell-ms", o.sweep.dwellMs,
                     "wait between steps in ms (--timed: 0.05 is 50 us)")
        ->type_name("N")
        ->required();
    addLevels(*sweep, nullptr, o.sweep.target.db2);
    sweep->add_flag("--bidirectional", o.sweep.bidirectional, "up to --to, then back down");
    sweep->add_option("--repeat", o.sweep.repeat, "passes, 0 for no end (until Ctrl-C)")
        ->type_name("N")
        ->capture_default_str();
    addBoard(*sweep, o.sweep.board, &o.sweep.json);
    addTimed(*sweep, o.sweep.timed);

    CLI::App* play = addCommand(app, "play", "send a hop list, one setting a line");
    addTarget(*play, o.play.target);
    play->add_option("file,--file", o.play.file,
                     "the list, '-' for standard input; each line dB[,dwell_ms], or "
                     "dB,dB2[,dwell_ms] where both codes are sent; # comments")
        ->type_name("F")
        ->capture_default_str();
    play->add_option("--dwell-ms", o.play.dwellMs, "wait after a line that names none, in ms")
        ->type_name("N")
        ->capture_default_str();
    play->add_option("--repeat", o.play.repeat, "passes, 0 for no end (until Ctrl-C)")
        ->type_name("N")
        ->capture_default_str();
    addBoard(*play, o.play.board, &o.play.json);
    addTimed(*play, o.play.timed);

    CLI::App* serve = addCommand(app, "serve", "serve SCPI over TCP, as a lab instrument does");
    serve
        ->add_option("--listen", o.serve.listen,
                     "the address to listen on; anything but loopback lets others set the board")
        ->type_name("ADDR")
        ->capture_default_str();
    serve->add_option("--port", o.serve.port, "TCP port; 0 picks a free one (printed)")
        ->type_name("N")
        ->capture_default_str();
    serve
        ->add_option("--idle-timeout", o.serve.idleTimeout,
                     "let a client go after this many seconds without a command; 0: never")
        ->type_name("SECONDS")
        ->capture_default_str();
    addBoard(*serve, o.serve.board, nullptr, &o.serve.serials);
}

ExitCode dispatch(const CLI::App& app, const Options& o, const Console& console) {
    const std::string name = app.get_subcommands().front()->get_name();
    if (name == "devices")
        return runDevices(o.devices, console);
    if (name == "list")
        return runList(o.list, console);
    if (name == "probe")
        return runProbe(o.probe, console);
    if (name == "send")
        return runSend(o.send, console);
    if (name == "frame")
        return runFrame(o.frame, console);
    if (name == "play")
        return runPlay(o.play, console);
    if (name == "serve")
        return runServe(o.serve, console);
    return runSweep(o.sweep, console);
}

// Why the first argument is not a command, or nothing when it is one (or asks for help).
std::string commandProblem(const std::vector<std::string>& args) {
    if (args.empty())
        return "a command is required";
    const std::string& first = args.front();
    if (first == "-h" || first == "--help" || first == "--version" ||
        std::find(kCommands.begin(), kCommands.end(), first) != kCommands.end()) {
        return {};
    }
    if (first.starts_with('-'))
        return "'" + first + "' must follow a command";
    return "'" + first + "' is not a command";
}

// "--db=" hands CLI11 no value at all, which it reports as a missing one; hand it the empty
// value that was typed, so that it is refused like "--db ''".
std::vector<std::string> withEmptyValues(const std::vector<std::string>& args) {
    std::vector<std::string> split;
    for (const std::string& arg : args) {
        if (arg.size() > 3 && arg.starts_with("--") && arg.find('=') == arg.size() - 1) {
            split.push_back(arg.substr(0, arg.size() - 1));
            split.emplace_back();
        } else {
            split.push_back(arg);
        }
    }
    return split;
}

// The first option nobody knows, or nothing. CLI11 checks required options before it looks
// at what is left over, so it would blame a missing option for a misspelt one.
std::string unknownOption(const CLI::App& app) {
    for (const std::string& arg : app.remaining(true)) {
        if (arg.size() > 1 && arg.starts_with('-'))
            return arg.substr(0, arg.find('='));
    }
    return {};
}

// A result nobody received is no result: a full disk or a closed stdout fails the command,
// unless it failed for a reason of its own already.
int delivered(int code, const Console& console) {
    // A loop that stopped because its output went away has said what there was to say (and
    // nothing at all for a closed pipe).
    if (code == static_cast<int>(ExitCode::Interrupted) ||
        code == static_cast<int>(ExitCode::OutputLost)) {
        console.out.flush();
        return code;
    }
    errno = 0;
    console.out.flush();
    if (console.out.good())
        return code;
    const int why = errno;
    console.error(std::string("the output could not be written") +
                  (why != 0 ? std::string(": ") + std::strerror(why) : std::string()));
    return code == 0 ? static_cast<int>(ExitCode::OutputLost) : code;
}

}  // namespace

int runCli(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const Console console{out, err};
    CLI::App app("", "stepctl-cli");
    Options options;
    describe(app, options);

    // CLI11 would only say that a command is missing; name what was typed instead.
    if (const std::string problem = commandProblem(args); !problem.empty()) {
        console.error(
            problem +
            "; commands: devices, list, probe, send, frame, sweep, play, serve (see --help)");
        return static_cast<int>(ExitCode::BadArguments);
    }

    try {
        std::vector<std::string> reversed = withEmptyValues(args);
        std::reverse(reversed.begin(), reversed.end());  // CLI11 takes the arguments last first
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return delivered(app.exit(e, out, err), console);  // --help, --version
        std::string message = e.what();
        if (const std::string unknown = unknownOption(app); !unknown.empty()) {
            const auto& used = app.get_subcommands();
            message = "unknown option '" + unknown + "' (see stepctl-cli " +
                      (used.empty() ? std::string() : used.front()->get_name() + " ") + "--help)";
        }
        std::replace(message.begin(), message.end(), '\n', ' ');
        console.error(message);
        return static_cast<int>(ExitCode::BadArguments);
    }
    return delivered(static_cast<int>(dispatch(app, options, console)), console);
}

}  // namespace stepctl::cli
