#include "NoSettings.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

void setUserSettingsPath(const QString& path) {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, path);
}

}  // namespace

NoSettings::NoSettings() {
    // Without a folder of our own, no path at all: a settings file that cannot be written is
    // dropped by Qt without a word, which is what is wanted here.
    setUserSettingsPath(sink_.isValid() ? sink_.path() : QStringLiteral("/nonexistent"));
}

NoSettings::~NoSettings() {
    setUserSettingsPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
