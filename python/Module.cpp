// The extension module stepctl._core; the package stepctl re-exports it. Thin: the arguments
// go through the CLI's rules (Arguments.h), every Send through the one Send road (Road.h).
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <initializer_list>

#include "Arguments.h"
#include "BitBangClock.h"
#include "Board.h"
#include "BoardSession.h"
#include "ChipDriver.h"
#include "Records.h"
#include "SettingFrame.h"
#include "SweepPlan.h"
#include "TimedStream.h"
#include "Version.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace stepctl::python {
namespace {

struct ModuleError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

py::bytes frameBytes(const Frame& frame) {
    return {reinterpret_cast<const char*>(frame.data()), frame.size()};
}

// "Plan(device='ZMG-A4', row=3, ...)" from the named attributes.
auto reprOf(const char* type, std::initializer_list<const char*> fields) {
    std::vector<std::string> names(fields.begin(), fields.end());
    return [type, names](py::handle self) {
        std::string text = std::string(type) + "(";
        for (std::size_t i = 0; i < names.size(); ++i) {
            text += (i ? ", " : "") + names[i] + "=" +
                    std::string(py::repr(self.attr(names[i].c_str())));
        }
        return text + ")";
    };
}

// Clamping told the Python way as well as on the result.
// A filter that turns warnings into errors makes PyErr_WarnEx raise: pass that on.
void warnAll(const session::Warnings& warnings) {
    for (const std::string& warning : warnings) {
        if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 2) < 0)
            throw py::error_already_set();
    }
}

// A Send over a link that only records: the frame the board would get, no board touched.
Plan planned(py::handle device, py::handle iface, py::handle db, py::handle db2,
             py::handle address) {
    session::Warnings warnings;
    const session::SendRequest request = readRequest(device, iface, db, db2, address, warnings);
    SendResult result;
    result.plan = planSend(session::sendInputs(request));
    if (const auto frame = session::frameForPlan(request.row, request.iface, result.plan))
        result.outcome = SendOutcome{SendStatus::Sent, {}, frame->kind, frame->frame};
    warnAll(warnings);
    return planOf(request, result, std::move(warnings));
}

// Through the one driver table, so that D2XX chips are listed as the CLI's `list` does.
std::vector<ChipEntry> chips(const std::string& driver) {
    const std::optional<ChipDriver> chosen = chipDriverNamed(driver);
    if (!chosen || !chipDriverBuilt(*chosen))
        throw py::value_error("driver: '" + driver + "' is not one of ftdi, d2xx");
    std::string error;
    std::vector<ChipEntry> list;
    {
        const py::gil_scoped_release released;
        list = listChips(*chosen, &error);
    }
    if (!error.empty())
        throw NoBoard("cannot list the chips: " + error);
    return list;
}

// What a sequence sent, one Sent a step, each with the warnings of the whole sequence.
py::list sentSteps(Board& board, const session::StepPlan& plan, const session::Warnings& warnings) {
    const std::vector<Board::StepSent> steps = board.run(plan);
    py::list sent;
    for (const Board::StepSent& step : steps)
        sent.append(sentOf(step.request, step.result, warnings, board.kind()));
    return sent;
}

// A timed sequence: (t_s, Sent) a step, t_s its start in the stream. Refused with ValueError
// before anything is written when a step is shorter than its frame or the rate cannot be had.
py::list timedSteps(Board& board, const session::StepPlan& plan, py::handle sampleRate,
                    const session::Warnings& warnings) {
    const long long rate = sampleRate.is_none()
                               ? kDefaultStreamRate
                               : readCount("sample_rate", sampleRate, 1, kMaxStreamRate * 1000);
    if (const auto problem = session::timedProblem(plan, rate))
        raiseBad({pythonWords(problem->message)});
    py::list sent;
    for (const Board::TimedSent& step : board.runTimed(plan, rate)) {
        sent.append(py::make_tuple(step.startSeconds, sentOf(step.step.request, step.step.result,
                                                             warnings, board.kind())));
    }
    return sent;
}

py::list sweep(Board& board, py::handle start, py::handle stop, py::handle step, py::handle dwell,
               py::handle count, py::handle device, py::handle iface, py::handle db2,
               py::handle address, bool timed, py::handle sampleRate) {
    session::Warnings warnings;
    const session::SendRequest target =
        readSequenceTarget(device, iface, db2, address, board.lastTarget(), false, warnings);
    session::SweepText typed{levelText("start", start),
                             levelText("stop", stop),
                             levelText("step", step),
                             readDwell("dwell_s", dwell),
                             readCount("count", count, 1, session::kMaxPasses),
                             false};
    session::Warnings ruleWarnings;
    const auto plan = session::sweepPlan(target, typed, ruleWarnings);
    if (!plan.ok())
        raiseBad({pythonWords(plan.error())});
    addWarnings(warnings, ruleWarnings);
    warnAll(warnings);
    if (timed)
        return timedSteps(board, *plan, sampleRate, warnings);
    return sentSteps(board, *plan, warnings);
}

py::list play(Board& board, py::handle levels, py::handle dwell, py::handle count,
              py::handle device, py::handle iface, py::handle address, bool timed,
              py::handle sampleRate) {
    session::Warnings warnings;
    const session::SendRequest target =
        readSequenceTarget(device, iface, py::none(), address, board.lastTarget(), true, warnings);
    const bool both = session::sendsBothCodes(target.row, target.iface);
    if (!py::isinstance<py::sequence>(levels) || py::isinstance<py::str>(levels))
        throw py::type_error("levels: expected a list of levels");
    const auto list = py::reinterpret_borrow<py::sequence>(levels);
    const bool oneDwell = !py::isinstance<py::sequence>(dwell);
    if (!oneDwell && py::len(dwell) != py::len(list))
        throw py::value_error("dwell_s: one dwell for all steps, or one per level (" +
                              std::to_string(py::len(list)) + ")");
    if (py::len(list) == 0)
        throw py::value_error("levels: the list holds no level");
    session::StepPlan plan;
    plan.target = target;
    plan.passes = readCount("count", count, 1, session::kMaxPasses);
    for (std::size_t i = 0; i < py::len(list); ++i) {
        const py::handle item = list[i];
        const std::string where = "levels[" + std::to_string(i) + "]";
        session::Step step;
        const bool pair = py::isinstance<py::tuple>(item) || py::isinstance<py::list>(item);
        if (both != pair) {
            throw py::value_error(
                where + ": " +
                (both ? "the dual device takes (db, db2) pairs" : "a single level, not a pair"));
        }
        session::Warnings ruleWarnings;
        auto level = [&](py::handle db) {
            const std::string text = levelText(where.c_str(), db);
            const auto checked = session::readLevel(where, text, target.row, ruleWarnings);
            if (!checked.ok())
                raiseBad({pythonWords(checked.error())});
            return text;
        };
        if (pair) {
            const auto twin = py::reinterpret_borrow<py::sequence>(item);
            if (py::len(twin) != 2)
                throw py::value_error(where + ": the dual device takes (db, db2) pairs");
            step.text1 = level(twin[0]);
            step.text2 = level(twin[1]);
        } else {
            step.text1 = level(item);
        }
        addWarnings(warnings, ruleWarnings);
        step.dwell = readDwell(
            "dwell_s",
            oneDwell ? dwell
                     : py::handle(py::sequence(py::reinterpret_borrow<py::object>(dwell))[i]));
        plan.steps.push_back(std::move(step));
    }
    warnAll(warnings);
    if (timed)
        return timedSteps(board, plan, sampleRate, warnings);
    return sentSteps(board, plan, warnings);
}

constexpr const char* kTargetDoc = R"(
device     a catalogue name ("ZMG-A4", any case) or a row 0..14
interface  "serial", "parallel", "addressable" (any case) or an Interface
db         the level in dB: a number, or a text as the CLI takes it ("10.5", "10.5dB");
           quantised down to the device's step, clamped to 0..top (see .warnings)
db2        the second attenuator's level; required for the dual device (row 14) unless
           addressable
address    0..7; required with addressable, ignored otherwise

Raises ValueError naming a bad value, TypeError for a value of the wrong type.)";

std::string doc(const std::string& head) {
    return head + "\n" + kTargetDoc;
}

}  // namespace
}  // namespace stepctl::python

PYBIND11_MODULE(_core, m) {
    using namespace stepctl;
    using namespace stepctl::python;

    // The signatures as the stubs give them, rather than pybind11's "handle" for each argument.
    py::options options;
    options.disable_function_signatures();

    m.doc() =
        "Exact frames and sends for StepCtl's step attenuator evaluation boards: the same "
        "catalogue, dB rules, frames and Send as the panel and stepctl-cli.";

    static py::exception<ModuleError> error(m, "Error");
    error.doc() = "Base of the errors a board reports.";
    py::register_exception<NoBoard>(m, "NoBoardError", error.ptr()).doc() =
        "No board: the chip is not attached or could not be opened. Nothing was sent.";
    py::register_exception<TransferFailed>(m, "TransferError", error.ptr()).doc() =
        "The chip was opened but configuring it or writing the frame failed.";

    py::enum_<Interface>(m, "Interface", "How the board's pins talk to the device.")
        .value("SERIAL", Interface::Serial)
        .value("PARALLEL", Interface::LatchedParallel)
        .value("ADDRESSABLE", Interface::SerialAddressable);

    py::class_<Device>(m, "Device", "A row of the device catalogue.")
        .def_readonly("row", &Device::row)
        .def_readonly("name", &Device::name)
        .def_readonly("group", &Device::group, "'6-bit', '7-bit' or 'dual 6-bit'")
        .def_readonly("bits", &Device::bits, "width of each code")
        .def_readonly("step", &Device::step, "dB per code step")
        .def_readonly("top", &Device::top, "dB of the top code")
        .def_readonly("interfaces", &Device::interfaces, "the interfaces the device offers")
        .def("__repr__",
             reprOf("Device", {"row", "name", "group", "bits", "step", "top", "interfaces"}));

    py::class_<Plan>(m, "Plan", "What a Send puts into its frame.")
        .def_readonly("device", &Plan::device)
        .def_readonly("row", &Plan::row)
        .def_readonly("interface", &Plan::interface)
        .def_readonly("address", &Plan::address, "the address, or None unless addressable")
        .def_readonly("codes", &Plan::codes, "the codes the frame carries: one, or two (dual)")
        .def_readonly("db", &Plan::db, "the dB values of those codes")
        .def_readonly("kind", &Plan::kind, "the frame kind: 'serial-6', ..., 'dual'")
        .def_property_readonly(
            "frame", [](const Plan& p) { return frameBytes(p.frame); }, "the 36 bytes")
        .def_readonly("warnings", &Plan::warnings,
                      "values clamped and arguments that go nowhere, as the CLI warns")
        .def("__repr__", reprOf("Plan", {"device", "row", "interface", "address", "codes", "db",
                                         "kind", "warnings"}));

    py::class_<Sent, Plan>(m, "Sent", "A Send that reached the chip.")
        .def_readonly("board", &Sent::board, "the board's kind")
        .def_readonly("status", &Sent::status, "'sent'")
        .def_readonly("detail", &Sent::detail,
                      "a note on a close that failed after the full write, else ''")
        .def("__repr__", reprOf("Sent", {"device", "row", "interface", "address", "codes", "db",
                                         "kind", "board", "status", "detail", "warnings"}));

    py::class_<Held>(m, "Held", "What one simulated attenuator holds.")
        .def_readonly("attenuator", &Held::attenuator)
        .def_readonly("code", &Held::code, "None before its first latch")
        .def_readonly("db", &Held::db)
        .def("__repr__", reprOf("Held", {"attenuator", "code", "db"}));

    py::class_<ChipEntry>(m, "Chip", "An attached FTDI chip.")
        .def_readonly("index", &ChipEntry::index, "0 is the chip Board(driver) uses")
        .def_readonly("serial", &ChipEntry::serial)
        .def_readonly("description", &ChipEntry::description)
        .def_readonly("manufacturer", &ChipEntry::manufacturer, "'' through D2XX")
        .def_readonly("vendor_id", &ChipEntry::vendorId)
        .def_readonly("product_id", &ChipEntry::productId)
        .def_readonly("bus", &ChipEntry::bus, "the USB bus; None through D2XX")
        .def_readonly("address", &ChipEntry::address, "the USB address; None through D2XX")
        .def_readonly("location_id", &ChipEntry::locationId, "D2XX's location; None via libftdi")
        .def_readonly("open_elsewhere", &ChipEntry::openElsewhere,
                      "D2XX only: another program holds it")
        .def_readonly("string_error", &ChipEntry::stringError,
                      "why the strings are empty (no access, say); '' when they were read")
        .def("__repr__", reprOf("Chip", {"index", "serial", "description", "vendor_id",
                                         "product_id", "bus", "address", "location_id"}));

    m.attr("__version__") = std::string(kVersion);

    m.def(
        "devices", &devices,
        "devices()\n--\n\ndevices() -> list[Device]\n\nThe device catalogue, one Device per row.");
    m.def("plan", &planned,
          doc("plan(device, interface, db, db2=None, address=None)\n--\n\n"
              "plan(device: str | int, interface: str | Interface, db: float | str, db2: float | "
              "str | None = None, address: int | None = None) -> Plan\n\nThe codes, dB values and "
              "frame kind a Send would use.")
              .c_str(),
          "device"_a, "interface"_a, "db"_a, "db2"_a = py::none(), "address"_a = py::none());
    m.def(
        "frame",
        [](py::handle device, py::handle iface, py::handle db, py::handle db2, py::handle address) {
            return frameBytes(planned(device, iface, db, db2, address).frame);
        },
        doc("frame(device, interface, db, db2=None, address=None)\n--\n\n"
            "frame(device: str | int, interface: str | Interface, db: float | str, db2: float | "
            "str | None = None, address: int | None = None) -> bytes\n\nThe 36 bytes a Send would "
            "write, as bytes. No board is touched.")
            .c_str(),
        "device"_a, "interface"_a, "db"_a, "db2"_a = py::none(), "address"_a = py::none());
    m.def("chips", &chips,
          "chips(driver='ftdi')\n--\n\nchips(driver: str = 'ftdi') -> list[Chip]\n\nThe "
          "attached FTDI chips as the driver ('ftdi' or 'd2xx') lists them, the one Board(driver) "
          "uses first. Raises NoBoardError when they cannot be listed (no USB access, no D2XX "
          "library).",
          "driver"_a = "ftdi");

    py::class_<Board>(m, "Board",
                      ("A board to send to: kind is one of " + boardKinds() +
                       ". 'ftdi' is the first FTDI chip, or the one with this serial number; "
                       "'d2xx' the same through FTDI's D2XX library (libftd2xx.so), "
                       "'sim' a simulated board that latches what it is sent. A Board "
                       "holds the chip from the first setting until release() or close(), so "
                       "each setting after the first is one write, and a failed one lets it go "
                       "so the next opens it again. Use it in a with block, or call close().")
                          .c_str())
        .def(py::init<const std::string&, const std::optional<std::string>&>(),
             "__init__(self, kind='ftdi', serial=None)\n--\n\n"
             "Board(kind: str = 'ftdi', serial: str | None = None)",
             "kind"_a = "ftdi", "serial"_a = py::none())
        .def_property_readonly("kind", &Board::kind)
        .def_property_readonly("serial", &Board::serial)
        .def_property_readonly("closed", &Board::closed)
        .def(
            "send",
            [](Board& board, py::handle device, py::handle iface, py::handle db, py::handle db2,
               py::handle address) {
                session::Warnings warnings;
                const session::SendRequest request =
                    readRequest(device, iface, db, db2, address, warnings);
                warnAll(warnings);
                return sentOf(request, board.send(request), std::move(warnings), board.kind());
            },
            doc("send(self, device, interface, db, db2=None, address=None)\n--\n\n"
                "send(device: str | int, interface: str | Interface, db: float | str, db2: float | "
                "str | None = None, address: int | None = None) -> Sent\n\nThe panel's Send: "
                "quantise, clamp, build the frame, and write it (the first "
                "setting opens the chip and sets bit-bang mode and 460800; then one write each). "
                "Returns a Sent; raises NoBoardError "
                "or TransferError when the frame did not reach the chip.")
                .c_str(),
            "device"_a, "interface"_a, "db"_a, "db2"_a = py::none(), "address"_a = py::none())
        .def("probe", &Board::probe,
             "probe(self)\n--\n\nprobe() -> bool\n\nTrue when the board answers: the chip is "
             "held, or it opens "
             "(and is closed again). Nothing is written.")
        .def("release", &Board::release,
             "release(self)\n--\n\nrelease() -> None\n\nLets the chip go, so the panel or another "
             "program can open "
             "it; the next setting opens it again.")
        .def("sweep", &sweep,
             "sweep(self, start, stop, step, dwell_s, count=1, *, device=None, interface=None, "
             "db2=None, address=None, timed=False, sample_rate=None)\n--\n\n"
             "sweep(start: float | str, stop: float | str, step: float | str, dwell_s: float, "
             "count: int = 1, *, device: str | int | None = None, interface: str | Interface | "
             "None = None, db2: float | str | None = None, address: int | None = None) -> "
             "list[Sent]\n\nSteps from start to stop (both clamped to the device's range), "
             "each step held dwell_s seconds on a steady clock (a late step delays none after "
             "it), count passes. Without device and interface it goes where the last send went. "
             "Returns what was sent; Ctrl-C stops it between steps with the chip let go. "
             "timed=True writes the whole sweep as one stream timed by the chip's own sample "
             "clock (sample_rate samples/s, default 100000): each step its frame, then hold "
             "samples; returns (t_s, Sent) pairs, t_s the step's start in the stream.",
             "start"_a, "stop"_a, "step"_a, "dwell_s"_a, "count"_a = 1, py::kw_only(),
             "device"_a = py::none(), "interface"_a = py::none(), "db2"_a = py::none(),
             "address"_a = py::none(), "timed"_a = false, "sample_rate"_a = py::none())
        .def("play", &play,
             "play(self, levels, dwell_s, count=1, *, device=None, interface=None, "
             "address=None, timed=False, sample_rate=None)\n--\n\n"
             "play(levels: Sequence[float | str] | Sequence[tuple[float | str, float | str]], "
             "dwell_s: float | Sequence[float], count: int = 1, *, device: str | int | None = "
             "None, interface: str | Interface | None = None, address: int | None = None) -> "
             "list[Sent]\n\nA hop list: each level (a (db, db2) pair for the dual device) held "
             "its dwell (one for all, or one per level) on a steady clock, count passes. Returns "
             "what was sent; Ctrl-C stops it between steps with the chip let go. timed=True: as "
             "for sweep, one stream timed by the chip (a dwell of fewer samples than a frame's "
             "36 is a ValueError); returns (t_s, Sent) pairs.",
             "levels"_a, "dwell_s"_a, "count"_a = 1, py::kw_only(), "device"_a = py::none(),
             "interface"_a = py::none(), "address"_a = py::none(), "timed"_a = false,
             "sample_rate"_a = py::none())
        .def("holds", &Board::holds,
             "holds(self)\n--\n\nholds() -> list[Held]\n\nWhat each attenuator of the simulated "
             "board holds (kind "
             "'sim' only).")
        .def("fail", &Board::fail, "call"_a,
             ("fail(self, call)\n--\n\nfail(call: str) -> None\n\nMakes every later call of this "
              "kind fail on the "
              "simulated board: one of " +
              std::string(session::kSimFaults) + ".")
                 .c_str())
        .def("clear_faults", &Board::clearFaults,
             "clear_faults(self)\n--\n\nclear_faults() -> None\n\nTakes the simulated board's "
             "faults away and plugs it back "
             "in.")
        .def("close", &Board::close,
             "close(self)\n--\n\nclose() -> None\n\nEnds the board's use; later calls raise "
             "ValueError.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__",
             [](Board& board, const py::args&) {
                 board.close();
                 return false;
             })
        .def("__repr__", [](const Board& board) {
            std::string text = "Board('" + board.kind() + "'";
            if (board.serial())
                text += ", serial='" + *board.serial() + "'";
            return text + (board.closed() ? ") (closed)" : ")");
        });
}
