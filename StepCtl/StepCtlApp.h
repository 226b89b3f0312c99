// The application: reads the command line, picks the board link, runs the panel modally and
// ends when it closes.
#pragma once

#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "SimulatedBoard.h"

class CStepCtlDlg;

class CStepCtlApp {
  public:
    // Makes the panel; returns nullptr when it cannot be created.
    using DialogFactory =
        std::function<std::unique_ptr<CStepCtlDlg>(const stepctl::SimulatedBoard* simulated)>;

    CStepCtlApp();
    ~CStepCtlApp();
    CStepCtlApp(const CStepCtlApp&) = delete;
    CStepCtlApp& operator=(const CStepCtlApp&) = delete;

    // Runs once the QApplication exists. Handles --help and --version (which end the process,
    // as in every Qt program), chooses the board, runs the panel until it closes. Returns
    // false, like the start-up routine of a dialog application: there is no loop to run after.
    bool InitInstance(const QStringList& arguments);

    // Replaces the panel, for tests of start-up.
    void setDialogFactory(DialogFactory factory) { m_factory = std::move(factory); }

    // The result of the panel's run: 1 (Close), 2 (Escape or close box) or -1 (not created).
    int dialogResult() const { return m_nResponse; }
    bool simulated() const { return m_pSimulatedBoard != nullptr; }

  private:
    DialogFactory m_factory;
    std::unique_ptr<stepctl::SimulatedBoard> m_pSimulatedBoard;
    std::unique_ptr<stepctl::BoardLink> m_pChosenChip;  // --serial
    std::string m_serial;
    int m_nResponse = 0;
};
