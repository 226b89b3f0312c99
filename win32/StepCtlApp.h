// Start-up of the Windows panel: the common controls, the board link, the modal run.
#pragma once

#include <windows.h>

namespace stepctl::win32 {

class CStepCtlApp {
  public:
    // Runs the panel until it is closed; the process exit code. pszCmdLine is the command line
    // without the program name.
    int InitInstance(HINSTANCE hInstance, const wchar_t* pszCmdLine);
};

}  // namespace stepctl::win32
