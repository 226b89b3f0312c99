#include "StepCtlApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "SendRoutines.h"
#include "SimulatedBoard.h"
#include "StepCtlDlg.h"

namespace stepctl::win32 {
namespace {

constexpr wchar_t kUsage[] =
    L"Usage: stepctl [--simulate]\n\n"
    L"--simulate   drive a simulated evaluation board instead of the first FTDI chip.";

struct Options {
    bool simulate = false;
    std::wstring unknown;  // the first argument that is not an option of ours
};

Options parseOptions(const wchar_t* pszCmdLine) {
    Options options;
    if (pszCmdLine == nullptr || *pszCmdLine == L'\0')
        return options;
    int argc = 0;
    // The program name comes first in the shell's parsing; a stand-in takes its place.
    const std::wstring line = std::wstring(L"stepctl ") + pszCmdLine;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &argc);
    for (int i = 1; argv != nullptr && i < argc; ++i) {
        if (lstrcmpW(argv[i], L"--simulate") == 0)
            options.simulate = true;
        else if (options.unknown.empty())
            options.unknown = argv[i];
    }
    LocalFree(argv);
    return options;
}

}  // namespace

int CStepCtlApp::InitInstance(HINSTANCE hInstance, const wchar_t* pszCmdLine) {
    INITCOMMONCONTROLSEX InitCtrls;
    InitCtrls.dwSize = sizeof(InitCtrls);
    InitCtrls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&InitCtrls);

    const Options options = parseOptions(pszCmdLine);
    if (!options.unknown.empty()) {
        const std::wstring message = L"Unknown argument: " + options.unknown + L"\n\n" + kUsage;
        MessageBoxW(nullptr, message.c_str(), L"StepCtl", MB_OK | MB_ICONERROR);
        return 2;
    }

    // Without --simulate every exchange goes to the first chip the D2XX driver lists.
    std::unique_ptr<SimulatedBoard> simulated;
    if (options.simulate) {
        simulated = std::make_unique<SimulatedBoard>();
        setBoardLink(simulated.get());
    }

    INT_PTR nResponse = -1;
    {
        CStepCtlDlg dlg(hInstance, options.simulate);
        nResponse = dlg.DoModal();
    }
    if (nResponse == -1) {
        OutputDebugStringA(
            "Warning: dialog creation failed, so application is terminating unexpectedly.\n");
        OutputDebugStringA(
            "Warning: if you are using MFC controls on the dialog, you cannot #define "
            "_AFX_NO_MFC_CONTROLS_IN_DIALOGS.\n");
    }
    if (simulated)
        setBoardLink(nullptr);
    return 0;
}

}  // namespace stepctl::win32
