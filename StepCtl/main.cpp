#include <QApplication>

#include "StepCtlApp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stepctl"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("stepctl"));
    CStepCtlApp theApp;
    theApp.InitInstance(QApplication::arguments());
    return 0;
}
