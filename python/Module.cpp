// The extension module stepctl._core; the package stepctl re-exports it. Thin: the arguments
// go through the CLI's rules (Arguments.h), every Send through the one Send road (Road.h).
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <initializer_list>

#include "Arguments.h"
#include "Board.h"
#include "BoardSession.h"
#include "FtdiLink.h"
#include "Records.h"
#include "SettingFrame.h"

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

// A Send over a link that only records: the frame the board would get, no board touched.
Plan planned(py::handle device, py::handle iface, py::handle db, py::handle db2,
             py::handle address) {
    session::Warnings warnings;
    const session::SendRequest request = readRequest(device, iface, db, db2, address, warnings);
    SendResult result;
    result.plan = planSend(session::sendInputs(request));
    if (const auto frame = session::frameForPlan(request.row, request.iface, result.plan))
        result.outcome = SendOutcome{SendStatus::Sent, {}, frame->kind, frame->frame};
    return planOf(request, result, std::move(warnings));
}

std::vector<FtdiChipInfo> chips() {
    std::string error;
    std::vector<FtdiChipInfo> list;
    {
        const py::gil_scoped_release released;
        list = listFtdiChips(&error);
    }
    if (!error.empty())
        throw NoBoard("cannot list USB devices: " + error);
    return list;
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

    py::class_<FtdiChipInfo>(m, "Chip", "An attached FTDI chip.")
        .def_readonly("index", &FtdiChipInfo::index, "0 is the chip Board('ftdi') uses")
        .def_readonly("serial", &FtdiChipInfo::serial)
        .def_readonly("description", &FtdiChipInfo::description)
        .def_readonly("manufacturer", &FtdiChipInfo::manufacturer)
        .def_readonly("vendor_id", &FtdiChipInfo::vendorId)
        .def_readonly("product_id", &FtdiChipInfo::productId)
        .def_readonly("bus", &FtdiChipInfo::bus)
        .def_readonly("address", &FtdiChipInfo::address)
        .def_readonly("string_error", &FtdiChipInfo::stringError,
                      "why the strings are empty (no access, say); '' when they were read")
        .def("__repr__", reprOf("Chip", {"index", "serial", "description", "vendor_id",
                                         "product_id", "bus", "address"}));

    m.def("devices", &devices,
          "devices() -> list[Device]\n\nThe device catalogue, one Device per row.");
    m.def("plan", &planned,
          doc("plan(device: str | int, interface: str | Interface, db: float | str, db2: float | "
              "str | None = None, address: int | None = None) -> Plan\n\nThe codes, dB values and "
              "frame kind a Send would use.")
              .c_str(),
          "device"_a, "interface"_a, "db"_a, "db2"_a = py::none(), "address"_a = py::none());
    m.def(
        "frame",
        [](py::handle device, py::handle iface, py::handle db, py::handle db2, py::handle address) {
            return frameBytes(planned(device, iface, db, db2, address).frame);
        },
        doc("frame(device: str | int, interface: str | Interface, db: float | str, db2: float | "
            "str | None = None, address: int | None = None) -> bytes\n\nThe 36 bytes a Send would "
            "write, as bytes. No board is touched.")
            .c_str(),
        "device"_a, "interface"_a, "db"_a, "db2"_a = py::none(), "address"_a = py::none());
    m.def("chips", &chips,
          "chips() -> list[Chip]\n\nThe attached FTDI chips, in the order the driver lists them. "
          "Raises NoBoardError "
          "when USB cannot be read.");

    py::class_<Board>(m, "Board",
                      ("A board to send to: kind is one of " + boardKinds() +
                       ". 'ftdi' is the first FTDI chip, or the one with this serial number; "
                       "'d2xx' the same through FTDI's D2XX library (libftd2xx.so), "
                       "'sim' a simulated board that latches what it is sent. Each exchange "
                       "opens and closes the chip, so nothing is held between calls. Use it in "
                       "a with block, or call close().")
                          .c_str())
        .def(py::init<const std::string&, const std::optional<std::string>&>(),
             "Board(kind: str = 'ftdi', serial: str | None = None)", "kind"_a = "ftdi",
             "serial"_a = py::none())
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
                return sentOf(request, board.send(request), std::move(warnings), board.kind());
            },
            doc("send(device: str | int, interface: str | Interface, db: float | str, db2: float | "
                "str | None = None, address: int | None = None) -> Sent\n\nThe panel's Send: "
                "quantise, clamp, build the frame, and write it (open, "
                "bit-bang mode, 460800, one write, close). Returns a Sent; raises NoBoardError "
                "or TransferError when the frame did not reach the chip.")
                .c_str(),
            "device"_a, "interface"_a, "db"_a, "db2"_a = py::none(), "address"_a = py::none())
        .def("probe", &Board::probe,
             "probe() -> bool\n\nOpens the chip and closes it again; True when that worked. "
             "Nothing is written.")
        .def("holds", &Board::holds,
             "holds() -> list[Held]\n\nWhat each attenuator of the simulated board holds (kind "
             "'sim' only).")
        .def("fail", &Board::fail, "call"_a,
             ("fail(call: str) -> None\n\nMakes every later call of this kind fail on the "
              "simulated board: one of " +
              std::string(session::kSimFaults) + ".")
                 .c_str())
        .def("clear_faults", &Board::clearFaults,
             "clear_faults() -> None\n\nTakes the simulated board's faults away and plugs it back "
             "in.")
        .def("close", &Board::close,
             "close() -> None\n\nEnds the board's use; later calls raise ValueError.")
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
