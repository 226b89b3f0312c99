// QTEST_MAIN for panel tests on the emulated chips: the program runs again under umockdev's
// preload library before Qt starts, so that libusb sees the test's chips and nothing else.
#pragma once

#include <QApplication>
#include <QTest>

#include "UmockdevPreload.h"

#define STEPCTL_USB_QTEST_MAIN(TestObject)                 \
    int main(int argc, char** argv) {                      \
        stepctl::usbtest::reexecWithUmockdevPreload(argv); \
        QApplication app(argc, argv);                      \
        TestObject test;                                   \
        return QTest::qExec(&test, argc, argv);            \
    }
