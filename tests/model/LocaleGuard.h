// Switches the C locale for the lifetime of the guard, as a Qt program does from LANG/LC_ALL.
#pragma once

#include <clocale>
#include <string>

class LocaleGuard {
  public:
    explicit LocaleGuard(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

    bool active() const { return active_; }

  private:
    std::string saved_;
    bool active_ = false;
};
