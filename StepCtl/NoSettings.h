// The panel keeps no settings: Qt's own dialogs would store their history in the user's
// configuration folder. While a NoSettings lives, whatever Qt writes there goes into a folder
// of its own that is removed with it.
#pragma once

#include <QTemporaryDir>

class NoSettings {
  public:
    NoSettings();
    ~NoSettings();
    NoSettings(const NoSettings&) = delete;
    NoSettings& operator=(const NoSettings&) = delete;

  private:
    QTemporaryDir sink_;
};
