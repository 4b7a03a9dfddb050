// 比较信息: a tool window owned by the frame, open while the user moves
// between document windows, with the report of the active pair in a
// read-only text field the user can select and copy.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/compare/compare_text.h"
#include "core/files/paths.h"
#include "view/commands.h"
#include "view/compare.h"
#include "view/view_texts.h"
#include "core/text/text_ids.h"
#include "win32/texts.h"
#include "win32/gdi.h"

namespace {

constexpr wchar_t INFO_CLASS_NAME[] = L"KivCompareInfo";
constexpr wchar_t TEXT_FIELD_CLASS[] = L"EDIT";
constexpr DWORD INFO_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD INFO_EX_STYLE = WS_EX_TOOLWINDOW;
constexpr DWORD TEXT_STYLE =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
constexpr int INFO_WIDTH = 520;  // at 96 DPI
constexpr int INFO_HEIGHT = 420;
constexpr int INFO_DPI = USER_DEFAULT_SCREEN_DPI;
constexpr int INFO_MARGIN = 24;  // from the frame's top-right corner
constexpr int TAB_STOP_DIALOG_UNITS = 48;
constexpr UINT_PTR TEXT_SUBCLASS_ID = 1;
constexpr WPARAM CONTROL_A = 0x01;  // the characters of Ctrl+A and Ctrl+C
constexpr WPARAM CONTROL_C = 0x03;
constexpr int KEY_HELD = 0x8000;

// The one 比较信息 window of the program, its text field and the report it
// shows; the window thread alone uses them.
HWND infoWindow = nullptr;
HWND infoText = nullptr;
std::wstring shownReport;

void SelectAll() { SendMessageW(infoText, EM_SETSEL, 0, -1); }

// Ctrl+A selects everything; Ctrl+C copies the selection, or everything
// when nothing is selected; Escape closes the window.
LRESULT CALLBACK TextFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CHAR && wParam == CONTROL_A) {
        SelectAll();
        return 0;
    }
    if (message == WM_CHAR && wParam == CONTROL_C) {
        DWORD start = 0, end = 0;
        SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        if (start == end) SelectAll();
        SendMessageW(field, WM_COPY, 0, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageW(infoWindow, WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, TextFieldProc, TEXT_SUBCLASS_ID);
    return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT OnInfoCreate(HWND window) {
    infoText = CreateWindowExW(WS_EX_CLIENTEDGE, TEXT_FIELD_CLASS, L"", TEXT_STYLE, 0, 0, 0, 0, window, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (infoText == nullptr) return -1;
    SendMessageW(infoText, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    const int tabStop = TAB_STOP_DIALOG_UNITS;
    SendMessageW(infoText, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    SetWindowSubclass(infoText, TextFieldProc, TEXT_SUBCLASS_ID, 0);
    return 0;
}

LRESULT OnInfoSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    MoveWindow(infoText, 0, 0, client.right, client.bottom, TRUE);
    return 0;
}

LRESULT CALLBACK InfoWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnInfoCreate(window);
        case WM_SIZE: return OnInfoSize(window);
        case WM_SETFOCUS: SetFocus(infoText); return 0;
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_DESTROY:
            infoWindow = infoText = nullptr;
            shownReport.clear();
            return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterInfoClass() {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = InfoWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = INFO_CLASS_NAME;
    registered = RegisterClassExW(&windowClass) != 0;
    return registered;
}

// The pair's report: this window's picture against the reference.
std::wstring PairReport(View* view, HWND window, const std::shared_ptr<const Picture>& reference) {
    const Picture& picture = *view->picture;
    CompareReport report;
    report.name = FileNameOf(picture.Identity().path);
    report.referenceName = FileNameOf(reference->Identity().path);
    report.width = picture.Width();
    report.height = picture.Height();
    report.referenceWidth = reference->Width();
    report.referenceHeight = reference->Height();
    report.alignment = view->host->settings->compare.alignment;
    report.offsetX = view->compare.offsetX;
    report.offsetY = view->compare.offsetY;
    report.pairOffset = PairOffsetFor(view, *reference);
    report.overlap = OverlapOf(static_cast<int32_t>(report.width), static_cast<int32_t>(report.height),
                               static_cast<int32_t>(report.referenceWidth), static_cast<int32_t>(report.referenceHeight),
                               report.pairOffset);
    report.withAlpha = picture.HasAlpha() || reference->HasAlpha();
    // The picture pixel of the last cursor readout.
    report.cursorX = view->state.imagePtX;
    report.cursorY = view->state.imagePtY;
    const int64_t bx = static_cast<int64_t>(report.cursorX) + report.pairOffset.dx;
    const int64_t by = static_cast<int64_t>(report.cursorY) + report.pairOffset.dy;
    report.cursorInOverlap = report.cursorX >= 0 && report.cursorY >= 0 &&
                             static_cast<uint32_t>(report.cursorX) < report.width &&
                             static_cast<uint32_t>(report.cursorY) < report.height && bx >= 0 && by >= 0 &&
                             bx < reference->Width() && by < reference->Height();
    if (report.cursorInOverlap) {
        report.a = picture.DecodedColour(static_cast<uint32_t>(report.cursorX), static_cast<uint32_t>(report.cursorY));
        report.b = reference->DecodedColour(static_cast<uint32_t>(bx), static_cast<uint32_t>(by));
    }
    report.tolerance = view->host->settings->compare.tolerance;
    if (const CompareFigures* figures = FiguresFor(view, window)) {
        report.figuresKnown = true;
        report.figures = *figures;
    }
    return CompareReportText(report, CompareWordsInUse());
}

std::wstring ReportOf(const ViewHost* host) {
    const HWND active = ActiveDocumentWindow(host->mdiClient);
    if (active == nullptr) return Text(IDS_INFO_NO_WINDOW);
    View* view = ViewOf(active);
    if (!view->picture) return Text(IDS_LOADING);
    if (host->compare->reference == active) return Text(IDS_INFO_IS_REFERENCE);
    const std::shared_ptr<const Picture> reference = ReferencePictureFor(view, active);
    if (!reference) return Text(host->compare->reference != nullptr ? IDS_LOADING : IDS_INFO_NO_REFERENCE);
    return PairReport(view, active, reference);
}

}  // namespace

void ToggleCompareInfo(const ViewHost* host) {
    if (infoWindow != nullptr) {
        DestroyWindow(infoWindow);
        return;
    }
    if (!RegisterInfoClass()) return;
    RECT frame;
    GetWindowRect(host->frame, &frame);
    int dpi = INFO_DPI;
    {
        WindowDc screen(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
    }
    const int width = MulDiv(INFO_WIDTH, dpi, INFO_DPI), height = MulDiv(INFO_HEIGHT, dpi, INFO_DPI);
    infoWindow = CreateWindowExW(INFO_EX_STYLE, INFO_CLASS_NAME, Text(IDS_COMPARE_INFO_TITLE), INFO_STYLE,
                                 frame.right - width - INFO_MARGIN, frame.top + INFO_MARGIN, width, height, host->frame,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (infoWindow == nullptr) return;
    UpdateCompareInfo(host);
    // Beside the pictures, not in their way: the keys stay with the active window.
    ShowWindow(infoWindow, SW_SHOWNOACTIVATE);
}

void RewriteCompareInfo(const ViewHost* host) {
    if (infoWindow == nullptr) return;
    SetWindowTextW(infoWindow, Text(IDS_COMPARE_INFO_TITLE));
    UpdateCompareInfo(host);
}

void UpdateCompareInfo(const ViewHost* host) {
    if (infoWindow == nullptr) return;
    const std::wstring report = ReportOf(host);
    if (report == shownReport) return;
    shownReport = report;
    SetWindowTextW(infoText, report.c_str());
}

bool IsCompareInfoKey(const MSG& message) {
    if (infoWindow == nullptr || (message.hwnd != infoText && message.hwnd != infoWindow)) return false;
    if (message.message != WM_KEYDOWN && message.message != WM_KEYUP) return false;
    switch (message.wParam) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_ESCAPE: return true;
        case 'A':
        case 'C': return (GetKeyState(VK_CONTROL) & KEY_HELD) != 0;
        default: return false;
    }
}

void CheckCompareItems(HMENU popup, const ViewHost* host) {
    const HWND active = ActiveDocumentWindow(host->mdiClient);
    const View* view = active != nullptr ? ViewOf(active) : nullptr;
    const auto check = [&](UINT command, bool on) {
        CheckMenuItem(popup, command, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    };
    check(IDM_SET_REFERENCE, active != nullptr && host->compare->reference == active);
    check(IDM_DIFFERENCE_VIEW, view != nullptr && view->compare.difference);
    check(IDM_SHOW_REFERENCE, view != nullptr && view->compare.showReference && !view->compare.autoFlicker);
    check(IDM_AUTO_FLICKER, view != nullptr && view->compare.autoFlicker);
    check(IDM_WIPE, view != nullptr && view->compare.wipe);
    check(IDM_COMPARE_INFO, infoWindow != nullptr);
    const CompareSettings& settings = host->settings->compare;
    CheckMenuRadioItem(popup, IDM_METRIC_FIRST, IDM_METRIC_LAST,
                       IDM_METRIC_FIRST + static_cast<UINT>(settings.metric), MF_BYCOMMAND);
    CheckMenuRadioItem(popup, IDM_ALIGN_TOP_LEFT, IDM_ALIGN_CENTRE,
                       settings.alignment == Alignment::Centre ? IDM_ALIGN_CENTRE : IDM_ALIGN_TOP_LEFT, MF_BYCOMMAND);
}
