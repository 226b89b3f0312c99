#include "StepCtlApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

#include "ChipDriver.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"
#include "StepCtlDlg.h"
#include "WindowDialog.h"

namespace stepctl::win32 {
namespace {

constexpr wchar_t kUsage[] =
    L"Usage: stepctl [--simulate | --serial SN]\n\n"
    L"--simulate   drive a simulated evaluation board instead of the first FTDI chip.\n"
    L"--serial SN  drive the FTDI chip with this serial number instead of the first one.\n\n"
    L"The window menu's Board entry changes the board for this run.";

struct Options {
    bool simulate = false;
    std::optional<std::wstring> serial;
    std::wstring error;  // what is wrong with the command line
};

Options parseOptions(const wchar_t* pszCmdLine) {
    Options options;
    if (pszCmdLine == nullptr || *pszCmdLine == L'\0')
        return options;
    int argc = 0;
    // The program name comes first in the shell's parsing; a stand-in takes its place.
    const std::wstring line = std::wstring(L"stepctl ") + pszCmdLine;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &argc);
    for (int i = 1; argv != nullptr && i < argc && options.error.empty(); ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--simulate") {
            options.simulate = true;
        } else if (arg == L"--serial" || arg.rfind(L"--serial=", 0) == 0) {
            std::wstring value;
            if (arg != L"--serial")
                value = arg.substr(9);
            else if (i + 1 < argc)
                value = argv[++i];
            if (value.empty())
                options.error = L"--serial needs the chip's serial number";
            else
                options.serial = value;
        } else {
            options.error = L"Unknown argument: " + arg;
        }
    }
    LocalFree(argv);
    if (options.error.empty() && options.simulate && options.serial)
        options.error = L"--simulate and --serial exclude each other";
    return options;
}

}  // namespace

int CStepCtlApp::InitInstance(HINSTANCE hInstance, const wchar_t* pszCmdLine) {
    INITCOMMONCONTROLSEX InitCtrls;
    InitCtrls.dwSize = sizeof(InitCtrls);
    InitCtrls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&InitCtrls);

    const Options options = parseOptions(pszCmdLine);
    if (!options.error.empty()) {
        const std::wstring message = options.error + L"\n\n" + kUsage;
        MessageBoxW(nullptr, message.c_str(), L"StepCtl", MB_OK | MB_ICONERROR);
        return 2;
    }

    // Without an option every exchange goes to the first chip the D2XX driver lists.
    panel::StartBoard start{panel::BoardKind::FirstChip, {}, nullptr};
    std::unique_ptr<SimulatedBoard> simulated;
    std::unique_ptr<BoardLink> chip;
    if (options.simulate) {
        simulated = std::make_unique<SimulatedBoard>();
        setBoardLink(simulated.get());
        start = {panel::BoardKind::Simulated, {}, simulated.get()};
    } else if (options.serial) {
        start = {panel::BoardKind::Chip, narrow(*options.serial), nullptr};
        chip = makeChipLink(defaultChipDriver(), start.serial);
        setBoardLink(chip.get());
    }

    INT_PTR nResponse = -1;
    {
        CStepCtlDlg dlg(hInstance, start);
        nResponse = dlg.DoModal();
    }
    if (nResponse == -1) {
        OutputDebugStringA(
            "Warning: dialog creation failed, so application is terminating unexpectedly.\n");
        OutputDebugStringA(
            "Warning: if you are using MFC controls on the dialog, you cannot #define "
            "_AFX_NO_MFC_CONTROLS_IN_DIALOGS.\n");
    }
    if (simulated || chip)
        setBoardLink(nullptr);
    return 0;
}

}  // namespace stepctl::win32
