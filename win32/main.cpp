#include <windows.h>

#include "StepCtlApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR pszCmdLine, int) {
    stepctl::win32::CStepCtlApp theApp;
    return theApp.InitInstance(hInstance, pszCmdLine);
}
