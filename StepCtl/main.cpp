#include <QApplication>

#include "StepCtlApp.h"
#include "Version.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stepctl"));
    QApplication::setApplicationVersion(QString::fromLatin1(stepctl::kVersion));
    QApplication::setDesktopFileName(QStringLiteral("org.stepctl.StepCtl"));
    CStepCtlApp theApp;
    theApp.InitInstance(QApplication::arguments());
    return 0;
}
