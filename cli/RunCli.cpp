// The command-line grammar: commands, options and their help, parsed with CLI11.
#include "RunCli.h"

#include <algorithm>
#include <array>
#include <string_view>

#include <CLI/CLI.hpp>

#include "Commands.h"
#include "SelectionState.h"
#include "SendRoutines.h"

namespace stepctl::cli {
namespace {

constexpr std::array<std::string_view, 6> kCommands{"devices", "list",  "probe",
                                                    "send",    "frame", "sweep"};

constexpr const char* kDbHelp =
    "attenuation in dB (10.5 or 10.5dB): quantised down to the step, clamped to 0..top";
constexpr const char* kDb2Help = "the dual device's second attenuation in dB";

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
        ->required();
    command.add_option("--address", target.address, "device address 0..7, needed by addressable")
        ->type_name("A");
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
    command.add_option("--driver", driver, help)->type_name(kDrivers);
}

void addBoard(CLI::App& command, BoardChoice& board, bool& json) {
    command.add_option("--board", board.board, "ftdi (the chip) or sim (a simulated board)")
        ->type_name("ftdi|sim")
        ->capture_default_str();
    command.add_option("--serial", board.serial, "the FTDI chip with this serial number")
        ->type_name("SN");
    addDriver(command, board.driver);
    command
        .add_option("--sim-fault", board.simFault,
                    "make the simulated board fail, to try a script's error paths")
        ->type_name(kSimFaults);
    command.add_flag("--json", json, "machine-readable output, one JSON document per line");
}

struct Options {
    DevicesOptions devices;
    ListOptions list;
    ProbeOptions probe;
    SendOptions send;
    FrameOptions frame;
    SweepOptions sweep;
};

void describe(CLI::App& app, Options& o) {
    app.description(
        "Sets the step attenuator of an RF evaluation board through an FTDI chip in bit-bang\n"
        "mode, exactly as the StepCtl panel's Send does.");
    app.footer(kExitCodeHelp);
    app.set_version_flag("--version", std::string("stepctl-cli ") + STEPCTL_VERSION);
    app.require_subcommand(1);

    CLI::App* devices = addCommand(app, "devices", "the device catalogue");
    devices->add_flag("--json", o.devices.json, "machine-readable output");

    CLI::App* list = addCommand(app, "list", "the attached FTDI chips");
    list->add_flag("--json", o.list.json, "machine-readable output");
    addDriver(*list, o.list.driver);

    CLI::App* probe = addCommand(app, "probe", "whether the board answers (exit 0 or 3)");
    addBoard(*probe, o.probe.board, o.probe.json);

    CLI::App* send = addCommand(app, "send", "send one setting, as the panel's Send does");
    addTarget(*send, o.send.target);
    addLevels(*send, &o.send.db, o.send.target.db2);
    addBoard(*send, o.send.board, o.send.json);

    CLI::App* frame =
        addCommand(app, "frame", "print the frame send would write, touching no board");
    addTarget(*frame, o.frame.target);
    addLevels(*frame, &o.frame.db, o.frame.target.db2);
    frame->add_option("--format", o.frame.format, "hex (36 bytes), json or vcd (a waveform)")
        ->type_name("hex|json|vcd")
        ->capture_default_str();
    frame
        ->add_option("--sample-period-ps", o.frame.samplePeriodPs,
                     "VCD sample period in ps; the default 135634 is an FT232R set to 460800 "
                     "in bit-bang mode, which puts out 16 x 460800 samples a second")
        ->type_name("PS");
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
    sweep->add_option("--dwell-ms", o.sweep.dwellMs, "wait between steps in ms")
        ->type_name("N")
        ->required();
    addLevels(*sweep, nullptr, o.sweep.target.db2);
    addBoard(*sweep, o.sweep.board, o.sweep.json);
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

// Back to start-up values on the way in and out, whatever happened in between.
struct FreshState {
    FreshState() { reset(); }
    ~FreshState() { reset(); }
    FreshState(const FreshState&) = delete;
    FreshState& operator=(const FreshState&) = delete;
    static void reset() {
        resetSelectionState();
        setBoardLink(nullptr);
    }
};

}  // namespace

int runCli(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    const FreshState fresh;
    const Console console{out, err};
    CLI::App app("", "stepctl-cli");
    Options options;
    describe(app, options);

    // CLI11 would only say that a command is missing; name what was typed instead.
    if (const std::string problem = commandProblem(args); !problem.empty()) {
        console.error(problem +
                      "; commands: devices, list, probe, send, frame, sweep (see --help)");
        return static_cast<int>(ExitCode::BadArguments);
    }

    try {
        std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(e, out, err);  // --help, --version
        std::string message = e.what();
        std::replace(message.begin(), message.end(), '\n', ' ');
        console.error(message);
        return static_cast<int>(ExitCode::BadArguments);
    }
    return static_cast<int>(dispatch(app, options, console));
}

}  // namespace stepctl::cli
