#include "Arguments.h"

#include <charconv>
#include <optional>

#include "ArgumentRules.h"

namespace py = pybind11;

namespace stepctl::python {
namespace {

[[noreturn]] void raiseType(const char* name, const char* expected, py::handle value) {
    throw py::type_error(std::string(name) + ": expected " + expected + ", got " +
                         std::string(py::str(py::type::handle_of(value).attr("__name__"))));
}

bool isInt(py::handle value) {
    // bool is an int to Python, but True is no row, address or level.
    return py::isinstance<py::int_>(value) && !py::isinstance<py::bool_>(value);
}

std::string deviceText(py::handle device) {
    if (py::isinstance<py::str>(device) || isInt(device))
        return py::str(device);
    raiseType("device", "a name (str) or a row (int)", device);
}

std::string interfaceText(py::handle iface) {
    if (py::isinstance<Interface>(iface))
        return std::string(session::interfaceName(iface.cast<Interface>()));
    if (py::isinstance<py::str>(iface))
        return py::str(iface);
    raiseType("interface", "a name (str) or a stepctl.Interface", iface);
}

// A level as the text the CLI would have been given. A float goes as its shortest round-trip
// form (Python's repr), so 10.7 reads as "10.7" and takes the CLI's road exactly; an int goes
// in full, however large.
std::string dbText(const char* name, py::handle db) {
    if (py::isinstance<py::str>(db) || isInt(db))
        return py::str(db);
    if (py::isinstance<py::bool_>(db) || !py::hasattr(db, "__float__"))
        raiseType(name, "a number or a text such as '10.5dB'", db);
    const double value = py::float_(py::reinterpret_borrow<py::object>(db));
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::optional<std::string> addressText(py::handle address) {
    if (address.is_none())
        return std::nullopt;
    if (!isInt(address))
        raiseType("address", "an int 0..7 or None", address);
    return std::string(py::str(address));
}

}  // namespace

std::string pythonWords(const std::string& message) {
    // The typed value sits between the first ": '" and the last "' " (or the end).
    const std::size_t quoteStart = message.find(": '");
    std::size_t quoteEnd = message.rfind("' ");
    if (quoteEnd == std::string::npos || quoteEnd < quoteStart)
        quoteEnd = message.size();
    std::string words;
    for (std::size_t i = 0; i < message.size(); ++i) {
        const bool quoted = quoteStart != std::string::npos && i > quoteStart && i < quoteEnd;
        const bool optionStart = (i == 0 || message[i - 1] == ' ') && i + 2 < message.size() &&
                                 message.compare(i, 2, "--") == 0 && message[i + 2] >= 'a' &&
                                 message[i + 2] <= 'z';
        if (optionStart && !quoted) {
            ++i;
            continue;
        }
        words += message[i];
    }
    return words;
}

void raiseBad(const session::BadArgument& bad) {
    throw py::value_error(pythonWords(bad.message));
}

session::SendRequest readRequest(py::handle device, py::handle interface, py::handle db,
                                 py::handle db2, py::handle address, session::Warnings& warnings) {
    session::TargetText typed;
    typed.device = deviceText(device);
    typed.interface = interfaceText(interface);
    typed.address = addressText(address);
    if (!db2.is_none())
        typed.db2 = dbText("db2", db2);
    session::Warnings ruleWarnings;
    const auto request = session::readSendRequest(typed, dbText("db", db), ruleWarnings);
    if (!request.ok())
        raiseBad(request.bad());
    for (const std::string& warning : ruleWarnings)
        warnings.push_back(pythonWords(warning));
    return *request;
}

}  // namespace stepctl::python
