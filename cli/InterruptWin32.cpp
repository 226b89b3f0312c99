// Ctrl-C on Windows: a console control handler for the guard's lifetime. Windows runs it on a
// thread of its own; it only raises the flag.
#include <windows.h>

#include "Interrupt.h"
#include "InterruptFlag.h"

namespace stepctl::cli {
namespace {

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;  // closing the console or logging off: the default ends the process
    detail::g_interrupted.store(true);
    return TRUE;
}

}  // namespace

InterruptGuard::InterruptGuard() {
    detail::g_interrupted.store(false);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptGuard::~InterruptGuard() {
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

}  // namespace stepctl::cli
