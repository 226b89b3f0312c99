// Python arguments read by the CLI's argument rules: a device by name or row, an interface by
// name or Interface, dB values as numbers or texts. Bad values raise ValueError (TypeError for a
// value of the wrong type) in the rules' words, with the options named as Python names them.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include <pybind11/pybind11.h>

#include "Checked.h"
#include "SendRequest.h"

namespace stepctl::python {

// A checked request; the warnings (clamped values, arguments that go nowhere) are collected.
session::SendRequest readRequest(pybind11::handle device, pybind11::handle interface,
                                 pybind11::handle db, pybind11::handle db2,
                                 pybind11::handle address, session::Warnings& warnings);

// The target of a sequence: the device and interface named, or else the last send's. With
// `levelsNameDb2` the steps carry the dual device's second level themselves.
session::SendRequest readSequenceTarget(pybind11::handle device, pybind11::handle interface,
                                        pybind11::handle db2, pybind11::handle address,
                                        const std::optional<session::SendRequest>& last,
                                        bool levelsNameDb2, session::Warnings& warnings);

// A level as the text the rules read ("10.7" for 10.7).
std::string levelText(const char* name, pybind11::handle db);

// A dwell in seconds, 0 to a day, as a duration.
std::chrono::nanoseconds readDwell(const char* name, pybind11::handle seconds);

// A whole number within min..max.
long long readCount(const char* name, pybind11::handle count, long long min, long long max);

// Clamping and other notes of the rules, in Python's words.
void addWarnings(session::Warnings& to, const session::Warnings& from);

// The rules name options as the command line spells them ("--db2"); Python spells "db2". The
// value a user typed, quoted in the message, is left as it was.
std::string pythonWords(const std::string& message);

// Raises ValueError with the reason, in Python's words.
[[noreturn]] void raiseBad(const session::BadArgument& bad);

}  // namespace stepctl::python
