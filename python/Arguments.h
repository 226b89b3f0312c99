// Python arguments read by the CLI's argument rules: a device by name or row, an interface by
// name or Interface, dB values as numbers or texts. Bad values raise ValueError (TypeError for a
// value of the wrong type) in the rules' words, with the options named as Python names them.
#pragma once

#include <string>

#include <pybind11/pybind11.h>

#include "Checked.h"
#include "SendRequest.h"

namespace stepctl::python {

// A checked request; the warnings (clamped values, arguments that go nowhere) are collected.
session::SendRequest readRequest(pybind11::handle device, pybind11::handle interface,
                                 pybind11::handle db, pybind11::handle db2,
                                 pybind11::handle address, session::Warnings& warnings);

// The rules name options as the command line spells them ("--db2"); Python spells "db2". The
// value a user typed, quoted in the message, is left as it was.
std::string pythonWords(const std::string& message);

// Raises ValueError with the reason, in Python's words.
[[noreturn]] void raiseBad(const session::BadArgument& bad);

}  // namespace stepctl::python
