// The frame view of the Windows panel: a window beside the panel with the last frame sent as a
// timing diagram (drawn with GDI), its bytes and, with the simulated board, what each attenuator
// holds; "Save as VCD..." writes the frame. The words come from panel/, the lanes from board/.
// It only reads the panel; Escape or Close hides it.
#pragma once

#include <windows.h>

#include <string>

#include "LastSend.h"

namespace stepctl {
class SimulatedBoard;
}

namespace stepctl::win32 {

class CFrameView {
  public:
    // Follows `lastSend`, which must outlive the view; `simulated` is the board the link goes
    // to, if it is the simulated one.
    CFrameView(HINSTANCE hInstance, panel::LastSend& lastSend, const SimulatedBoard* simulated);
    ~CFrameView();
    CFrameView(const CFrameView&) = delete;
    CFrameView& operator=(const CFrameView&) = delete;

    // Opens the window beside its owner, or brings it back.
    void Show(HWND hOwner);
    HWND window() const { return m_hWnd; }

    void setSimulatedBoard(const SimulatedBoard* simulated);
    void refresh();

    // Writes the shown frame as VCD; false with `error` set when it cannot.
    bool saveVcd(const std::wstring& path, std::wstring* error) const;

  private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateChildren();
    void MakeFonts();
    void Layout(bool resizeWindow);
    void DrawDiagram(const DRAWITEMSTRUCT& item) const;
    void ChooseFileAndSave();

    HINSTANCE m_hInstance;
    panel::LastSend& m_lastSend;
    const SimulatedBoard* m_simulated;
    HWND m_hWnd = nullptr;
    HFONT m_font = nullptr;
    HFONT m_small = nullptr;
    HFONT m_fixed = nullptr;
    HBRUSH m_white;
    int m_dpi = 96;
};

}  // namespace stepctl::win32
