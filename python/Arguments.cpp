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

// The target's values as the command line would have been given them.
session::TargetText targetText(py::handle device, py::handle interface, py::handle db2,
                               py::handle address) {
    session::TargetText typed;
    typed.device = deviceText(device);
    typed.interface = interfaceText(interface);
    typed.address = addressText(address);
    if (!db2.is_none())
        typed.db2 = dbText("db2", db2);
    return typed;
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

std::string levelText(const char* name, py::handle db) {
    return dbText(name, db);
}

void addWarnings(session::Warnings& to, const session::Warnings& from) {
    for (const std::string& warning : from)
        to.push_back(pythonWords(warning));
}

session::SendRequest readSequenceTarget(py::handle device, py::handle interface, py::handle db2,
                                        py::handle address,
                                        const std::optional<session::SendRequest>& last,
                                        bool levelsNameDb2, session::Warnings& warnings) {
    if (device.is_none() && interface.is_none() && address.is_none()) {
        if (!last)
            throw py::value_error(
                "device, interface: name them (device='ZMG-A4', interface='serial'), or send() "
                "once first so the sequence goes where that went");
        session::SendRequest target = *last;
        if (!db2.is_none())
            target.text2 = dbText("db2", db2);
        return target;
    }
    if (device.is_none() || interface.is_none())
        throw py::value_error("device, interface: a sequence names both, or neither");
    session::TargetText typed = targetText(device, interface, db2, address);
    if (levelsNameDb2 && !typed.db2) {
        const auto row = session::readDevice(typed.device);
        const auto iface = session::readInterface(typed.interface);
        if (row.ok() && iface.ok() && session::sendsBothCodes(*row, *iface))
            typed.db2 = "0";  // every step names its own
    }
    session::Warnings ruleWarnings;
    const auto target = session::readTarget(typed, ruleWarnings);
    if (!target.ok())
        raiseBad(target.bad());
    addWarnings(warnings, ruleWarnings);
    return *target;
}

std::chrono::nanoseconds readDwell(const char* name, py::handle seconds) {
    if (py::isinstance<py::bool_>(seconds) || !py::hasattr(seconds, "__float__"))
        raiseType(name, "a number of seconds", seconds);
    const double value = py::float_(py::reinterpret_borrow<py::object>(seconds));
    constexpr double kDay = 86'400.0;
    if (!(value >= 0.0 && value <= kDay))  // NaN fails both
        throw py::value_error(std::string(name) + ": " + std::string(py::repr(seconds)) +
                              " is not a dwell of 0 to 86400 seconds");
    return std::chrono::nanoseconds(static_cast<long long>(value * 1e9 + 0.5));
}

long long readCount(const char* name, py::handle count, long long min, long long max) {
    if (!isInt(count))
        raiseType(name, "an int", count);
    const auto checked = session::readWholeNumber(name, std::string(py::str(count)), min, max);
    if (!checked.ok())
        raiseBad(checked.bad());
    return *checked;
}

session::SendRequest readRequest(py::handle device, py::handle interface, py::handle db,
                                 py::handle db2, py::handle address, session::Warnings& warnings) {
    session::TargetText typed = targetText(device, interface, db2, address);
    session::Warnings ruleWarnings;
    const auto request = session::readSendRequest(typed, dbText("db", db), ruleWarnings);
    if (!request.ok())
        raiseBad(request.bad());
    for (const std::string& warning : ruleWarnings)
        warnings.push_back(pythonWords(warning));
    return *request;
}

}  // namespace stepctl::python
