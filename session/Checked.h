// A value or the one-line reason it could not be had: how argument checks report a bad value.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace stepctl::session {

struct BadArgument {
    std::string message;  // names the option and the value, e.g. "--db: 'abc' is not a number"
};

template <typename T>
class Checked {
  public:
    Checked(T value) : state_(std::move(value)) {}        // NOLINT: a good value converts
    Checked(BadArgument bad) : state_(std::move(bad)) {}  // NOLINT: so does a bad one

    bool ok() const { return state_.index() == 0; }
    const T& operator*() const { return std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    const std::string& error() const { return std::get<1>(state_).message; }
    BadArgument bad() const { return std::get<1>(state_); }

  private:
    std::variant<T, BadArgument> state_;
};

}  // namespace stepctl::session
