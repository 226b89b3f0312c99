#include "FrameView.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "ControlIds.h"
#include "Dpi.h"
#include "FrameWords.h"
#include "PinRoles.h"
#include "SimulatedBoard.h"
#include "TextFormat.h"
#include "Vcd.h"
#include "WindowDialog.h"

namespace stepctl::win32 {
namespace {

constexpr wchar_t kClassName[] = L"StepCtlFrameView";
constexpr int kSamples = static_cast<int>(kFrameSize);
constexpr int kMinLanes = 4;  // the empty diagram keeps the height of a serial one

constexpr COLORREF kInk = RGB(0, 0, 0);
constexpr COLORREF kFaint = RGB(0xd9, 0xd9, 0xd9);  // grid lines
constexpr COLORREF kGrey = RGB(0x4d, 0x4d, 0x4d);   // numbers, pin names
constexpr COLORREF kTrace = RGB(0x1f, 0x4e, 0x9a);
constexpr COLORREF kLatch = RGB(0xff, 0xe0, 0xb0);

std::wstring wide(std::string_view s) {
    return widen(s);
}

// Line breaks as a static control draws them.
std::wstring lines(const std::string& text) {
    std::wstring out;
    for (const wchar_t c : widen(text)) {
        if (c == L'\n')
            out += L'\r';
        out += c;
    }
    return out;
}

SIZE extent(HDC hDC, HFONT font, const std::wstring& text) {
    const HGDIOBJ old = SelectObject(hDC, font);
    SIZE size{};
    GetTextExtentPoint32W(hDC, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(hDC, old);
    return size;
}

int lineHeight(HDC hDC, HFONT font) {
    const HGDIOBJ old = SelectObject(hDC, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(hDC, &tm);
    SelectObject(hDC, old);
    return tm.tmHeight;
}

// Where the diagram puts things, from its fonts: as the Qt panel's diagram lays it out.
struct Geometry {
    int labelWidth = 0, sample = 0, laneHeight = 0, numberHeight = 0, latchRow = 0;
    int lanes = kMinLanes, right = 0;

    int width() const { return labelWidth + kSamples * sample + right; }
    int height() const { return numberHeight + lanes * laneHeight + latchRow; }
};

Geometry geometryFor(HDC hDC, HFONT font, HFONT small, const std::vector<PinLane>& pinLanes,
                     int dpi) {
    Geometry g;
    const int h = lineHeight(hDC, font);
    int widest = extent(hDC, font, L"0.25 dB").cx;
    for (const PinLane& lane : pinLanes)
        widest = std::max(widest, static_cast<int>(extent(hDC, font, wide(lane.label)).cx));
    g.labelWidth = widest + extent(hDC, small, L"D7").cx + scaled(18, dpi);
    g.sample = extent(hDC, small, L"00").cx + scaled(8, dpi);
    g.laneHeight = h + scaled(14, dpi);
    g.numberHeight = lineHeight(hDC, small) + scaled(6, dpi);
    g.latchRow = lineHeight(hDC, small) + scaled(2, dpi);
    g.lanes = std::max<int>(kMinLanes, static_cast<int>(pinLanes.size()));
    g.right = scaled(12, dpi);
    return g;
}

bool isLatchLane(const PinLane& lane) {
    return lane.name == "LE" || lane.name == "LE2";
}

void drawText(HDC hDC, HFONT font, COLORREF colour, const std::wstring& text, RECT r, UINT format) {
    const HGDIOBJ old = SelectObject(hDC, font);
    SetTextColor(hDC, colour);
    DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &r,
              format | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hDC, old);
}

std::wstring systemWords(DWORD code) {
    wchar_t* words = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPWSTR>(&words), 0, nullptr);
    std::wstring text = words != nullptr ? words : L"error " + std::to_wstring(code);
    LocalFree(words);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.'))
        text.pop_back();
    return text;
}

}  // namespace

CFrameView::CFrameView(HINSTANCE hInstance, panel::LastSend& lastSend,
                       const SimulatedBoard* simulated)
    : m_hInstance(hInstance),
      m_lastSend(lastSend),
      m_simulated(simulated),
      m_white(CreateSolidBrush(RGB(255, 255, 255))) {
    m_lastSend.watch([this] { refresh(); });
}

CFrameView::~CFrameView() {
    m_lastSend.watch({});
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_font), static_cast<HGDIOBJ>(m_small),
                           static_cast<HGDIOBJ>(m_fixed), static_cast<HGDIOBJ>(m_white)}) {
        if (object != nullptr)
            DeleteObject(object);
    }
}

void CFrameView::Show(HWND hOwner) {
    if (m_hWnd == nullptr) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = m_hInstance;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = m_white;
        wc.lpszClassName = kClassName;
        wc.hIcon = static_cast<HICON>(LoadImageW(m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        RegisterClassExW(&wc);  // fails harmlessly when already registered
        // Beside the panel, to its right.
        RECT owner{};
        GetWindowRect(hOwner, &owner);
        m_hWnd = CreateWindowExW(0, kClassName, L"Frame view", WS_OVERLAPPEDWINDOW, owner.right,
                                 owner.top, 100, 100, hOwner, nullptr, m_hInstance, this);
        if (m_hWnd == nullptr)
            return;
        m_dpi = windowDpi(m_hWnd);
        MakeFonts();
        CreateChildren();
        refresh();
    }
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    SetForegroundWindow(m_hWnd);
    SetFocus(m_hWnd);
}

void CFrameView::MakeFonts() {
    for (HFONT* font : {&m_font, &m_small, &m_fixed}) {
        if (*font != nullptr)
            DeleteObject(*font);
    }
    auto make = [this](int points, const wchar_t* face) {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(points, m_dpi, 72);
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        return CreateFontIndirectW(&lf);
    };
    m_font = make(9, L"MS Shell Dlg 2");
    m_small = make(8, L"MS Shell Dlg 2");
    m_fixed = make(9, L"Courier New");
}

void CFrameView::CreateChildren() {
    auto child = [this](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
        HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_hInstance,
                                 nullptr);
        SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        return h;
    };
    child(L"Static", L"", SS_LEFT | SS_NOPREFIX, IDC_FRAME_SUMMARY);
    child(L"Static", L"", SS_OWNERDRAW, IDC_FRAME_DIAGRAM);
    HWND bytes = child(L"Static", L"", SS_LEFT | SS_NOPREFIX, IDC_FRAME_BYTES);
    SendMessageW(bytes, WM_SETFONT, reinterpret_cast<WPARAM>(m_fixed), FALSE);
    child(L"Static", L"Simulated board now holds:", SS_LEFT | SS_NOPREFIX, IDC_FRAME_BOARD_TITLE);
    child(L"Static", L"", SS_LEFT | SS_NOPREFIX, IDC_FRAME_BOARD);
    child(L"Button", L"Save as VCD...", BS_PUSHBUTTON | WS_TABSTOP, IDC_FRAME_SAVE);
    child(L"Button", L"Close", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
}

void CFrameView::setSimulatedBoard(const SimulatedBoard* simulated) {
    m_simulated = simulated;
    refresh();
}

void CFrameView::refresh() {
    if (m_hWnd == nullptr)
        return;
    const auto& outcome = m_lastSend.outcome();
    SetDlgItemTextW(m_hWnd, IDC_FRAME_SUMMARY,
                    wide(panel::frameSummary(outcome, m_lastSend.settings())).c_str());
    SetDlgItemTextW(m_hWnd, IDC_FRAME_BYTES,
                    outcome ? wide(panel::frameBytes(outcome->frame)).c_str() : L"");
    EnableWindow(GetDlgItem(m_hWnd, IDC_FRAME_SAVE), outcome ? TRUE : FALSE);
    for (const int id : {IDC_FRAME_BOARD_TITLE, IDC_FRAME_BOARD})
        ShowWindow(GetDlgItem(m_hWnd, id), m_simulated != nullptr ? SW_SHOWNA : SW_HIDE);
    if (m_simulated != nullptr)
        SetDlgItemTextW(m_hWnd, IDC_FRAME_BOARD,
                        lines(panel::simulatedHolds(*m_simulated)).c_str());
    InvalidateRect(GetDlgItem(m_hWnd, IDC_FRAME_DIAGRAM), nullptr, TRUE);
    Layout(true);
}

// Everything stacked in one column as wide as the diagram; the window takes that size unless
// the user has sized it, within the screen's work area.
void CFrameView::Layout(bool resizeWindow) {
    HDC hDC = GetDC(m_hWnd);
    const auto& outcome = m_lastSend.outcome();
    const std::vector<PinLane> pinLanes =
        outcome ? lanesFor(outcome->kind) : std::vector<PinLane>{};
    const Geometry g = geometryFor(hDC, m_font, m_small, pinLanes, m_dpi);
    const int margin = scaled(10, m_dpi);
    const int gap = scaled(6, m_dpi);
    const int buttonHeight = scaled(24, m_dpi);

    int width = g.width();
    if (!resizeWindow) {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        width = std::max(scaled(200, m_dpi), static_cast<int>(client.right) - 2 * margin);
    }
    auto textHeight = [&](int id, HFONT font) {
        wchar_t text[1024] = {};
        GetDlgItemTextW(m_hWnd, id, text, static_cast<int>(std::size(text)));
        RECT r{0, 0, width, 0};
        const HGDIOBJ old = SelectObject(hDC, font);
        DrawTextW(hDC, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(hDC, old);
        return std::max(static_cast<int>(r.bottom), lineHeight(hDC, font));
    };
    int y = margin;
    auto place = [&](int id, int height) {
        MoveWindow(GetDlgItem(m_hWnd, id), margin, y, width, height, TRUE);
        y += height + gap;
    };
    place(IDC_FRAME_SUMMARY, textHeight(IDC_FRAME_SUMMARY, m_font));
    place(IDC_FRAME_DIAGRAM, g.height());
    place(IDC_FRAME_BYTES, textHeight(IDC_FRAME_BYTES, m_fixed));
    if (m_simulated != nullptr) {
        place(IDC_FRAME_BOARD_TITLE, lineHeight(hDC, m_font));
        place(IDC_FRAME_BOARD, textHeight(IDC_FRAME_BOARD, m_font));
    }
    const int saveWidth = extent(hDC, m_font, L"Save as VCD...").cx + scaled(24, m_dpi);
    const int closeWidth = std::max(scaled(75, m_dpi), saveWidth / 2);
    const int right = margin + width;
    MoveWindow(GetDlgItem(m_hWnd, IDCANCEL), right - closeWidth, y, closeWidth, buttonHeight, TRUE);
    MoveWindow(GetDlgItem(m_hWnd, IDC_FRAME_SAVE), right - closeWidth - gap - saveWidth, y,
               saveWidth, buttonHeight, TRUE);
    y += buttonHeight + margin;
    ReleaseDC(m_hWnd, hDC);

    if (!resizeWindow)
        return;
    RECT frame{0, 0, width + 2 * margin, y};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE)), FALSE, 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int w = std::min(frame.right - frame.left, work.right - work.left);
    const int h = std::min(frame.bottom - frame.top, work.bottom - work.top);
    RECT now{};
    GetWindowRect(m_hWnd, &now);
    const int x = std::clamp(static_cast<int>(now.left), static_cast<int>(work.left),
                             static_cast<int>(work.right) - w);
    const int top = std::clamp(static_cast<int>(now.top), static_cast<int>(work.top),
                               static_cast<int>(work.bottom) - h);
    SetWindowPos(m_hWnd, nullptr, x, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameView::DrawDiagram(const DRAWITEMSTRUCT& item) const {
    HDC hDC = item.hDC;
    const RECT& rc = item.rcItem;
    FillRect(hDC, &rc, m_white);
    SetBkMode(hDC, TRANSPARENT);
    const auto& outcome = m_lastSend.outcome();
    if (!outcome) {
        drawText(hDC, m_font, kGrey, L"No frame sent yet.", rc, DT_CENTER | DT_VCENTER);
        return;
    }
    const Frame& frame = outcome->frame;
    const std::vector<PinLane> pinLanes = lanesFor(outcome->kind);
    const Geometry g = geometryFor(hDC, m_font, m_small, pinLanes, m_dpi);
    const int span = (rc.right - rc.left) - g.labelWidth - g.right;
    auto left = [&](int sample) { return rc.left + g.labelWidth + sample * span / kSamples; };
    auto laneTop = [&](int lane) { return rc.top + g.numberHeight + lane * g.laneHeight; };
    const int top = laneTop(0);
    const int bottom = laneTop(static_cast<int>(pinLanes.size()));

    // Latch pulses: a band across every lane, named below the lanes.
    HBRUSH latch = CreateSolidBrush(kLatch);
    for (const PinLane& lane : pinLanes) {
        if (!isLatchLane(lane))
            continue;
        for (int s = 0; s < kSamples; ++s) {
            if ((frame[static_cast<std::size_t>(s)] & lane.mask) == 0)
                continue;
            const RECT band{left(s), top, left(s + 1), bottom};
            FillRect(hDC, &band, latch);
            drawText(hDC, m_small, kInk, wide(lane.label),
                     {band.left - 20, bottom, band.right + 20, bottom + g.latchRow},
                     DT_CENTER | DT_VCENTER);
        }
    }
    DeleteObject(latch);

    // Sample grid and numbers; every other number when the samples are narrow.
    const int every = left(2) - left(0) >= 2 * (extent(hDC, m_small, L"00").cx + 4) ? 1 : 2;
    HPEN grid = CreatePen(PS_SOLID, 1, kFaint);
    HGDIOBJ oldPen = SelectObject(hDC, grid);
    for (int s = 0; s <= kSamples; ++s) {
        MoveToEx(hDC, left(s), top, nullptr);
        LineTo(hDC, left(s), bottom);
        if (s < kSamples && s % every == 0) {
            drawText(hDC, m_small, kGrey, wide(formatCode(s)),
                     {left(s) - 10, rc.top, left(s + 1) + 10, top}, DT_CENTER | DT_BOTTOM);
        }
    }

    // Lanes: the role and its pin on the left, the levels as a trace.
    HPEN trace = CreatePen(PS_SOLID, std::max(2, scaled(2, m_dpi)), kTrace);
    for (int lane = 0; lane < static_cast<int>(pinLanes.size()); ++lane) {
        const PinLane& pin = pinLanes[static_cast<std::size_t>(lane)];
        const RECT label{rc.left + 4, laneTop(lane), rc.left + g.labelWidth - 8,
                         laneTop(lane) + g.laneHeight};
        drawText(hDC, m_font, kInk, wide(pin.label), label, DT_LEFT | DT_VCENTER);
        drawText(hDC, m_small, kGrey, L"D" + std::to_wstring(pin.pin), label,
                 DT_RIGHT | DT_VCENTER);
        const int high = laneTop(lane) + g.laneHeight / 4;
        const int low = laneTop(lane) + g.laneHeight - g.laneHeight / 4;
        std::vector<POINT> points;
        for (int s = 0; s < kSamples; ++s) {
            const int y = (frame[static_cast<std::size_t>(s)] & pin.mask) != 0 ? high : low;
            points.push_back({left(s), y});
            points.push_back({left(s + 1), y});
        }
        SelectObject(hDC, trace);
        Polyline(hDC, points.data(), static_cast<int>(points.size()));
    }
    SelectObject(hDC, oldPen);
    DeleteObject(trace);
    DeleteObject(grid);
}

bool CFrameView::saveVcd(const std::wstring& path, std::wstring* error) const {
    const auto& outcome = m_lastSend.outcome();
    if (!outcome) {
        if (error != nullptr)
            *error = L"No frame has been sent yet.";
        return false;
    }
    const std::string vcd = frameToVcd(outcome->kind, outcome->frame);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, vcd.data(), static_cast<DWORD>(vcd.size()), &written, nullptr) != FALSE &&
        written == vcd.size();
    const DWORD code = GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok && error != nullptr)
        *error = L"Cannot write " + path + L": " + systemWords(code) + L".";
    return ok;
}

void CFrameView::ChooseFileAndSave() {
    const auto& outcome = m_lastSend.outcome();
    if (!outcome)
        return;
    wchar_t path[MAX_PATH] = {};
    lstrcpynW(path, wide(panel::vcdFileName(outcome->kind)).c_str(), MAX_PATH);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Value change dump (*.vcd)\0*.vcd\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Save frame as VCD";
    ofn.lpstrDefExt = L"vcd";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    // The file dialogs' library is loaded when first needed, not by every start-up.
    using GetSaveFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    HMODULE dialogs = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const auto getSaveFileName = dialogs == nullptr
                                     ? nullptr
                                     : reinterpret_cast<GetSaveFileNameFn>(reinterpret_cast<void*>(
                                           GetProcAddress(dialogs, "GetSaveFileNameW")));
    if (getSaveFileName == nullptr || !getSaveFileName(&ofn))
        return;
    std::wstring error;
    if (!saveVcd(path, &error))
        MessageBoxW(m_hWnd, error.c_str(), L"Save as VCD", MB_OK | MB_ICONWARNING);
}

LRESULT CALLBACK CFrameView::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<CFrameView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hWnd;
    }
    auto* self = reinterpret_cast<CFrameView*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Gone with its owner, the panel.
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CFrameView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID == IDC_FRAME_DIAGRAM)
                DrawDiagram(item);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(m_white);
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_FRAME_SAVE && HIWORD(wParam) == BN_CLICKED)
                ChooseFileAndSave();
            else if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED)
                ShowWindow(m_hWnd, SW_HIDE);
            // The keys stay with the window, so Escape reaches it.
            if (IsWindowVisible(m_hWnd))
                SetFocus(m_hWnd);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE)
                SetFocus(m_hWnd);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                ShowWindow(m_hWnd, SW_HIDE);
                return 0;
            }
            break;
        case WM_SIZE:
            Layout(false);
            InvalidateRect(GetDlgItem(m_hWnd, IDC_FRAME_DIAGRAM), nullptr, TRUE);
            return 0;
        case WM_DPICHANGED: {
            m_dpi = HIWORD(wParam);
            MakeFonts();
            for (const int id : {IDC_FRAME_SUMMARY, IDC_FRAME_BOARD_TITLE, IDC_FRAME_BOARD,
                                 IDC_FRAME_SAVE, IDCANCEL})
                SendDlgItemMessageW(m_hWnd, id, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
            SendDlgItemMessageW(m_hWnd, IDC_FRAME_BYTES, WM_SETFONT,
                                reinterpret_cast<WPARAM>(m_fixed), TRUE);
            Layout(true);
            return 0;
        }
        case WM_CLOSE:
            ShowWindow(m_hWnd, SW_HIDE);  // kept for the next time it is asked for
            return 0;
        default:
            break;
    }
    return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

}  // namespace stepctl::win32
