// The frame window: it starts GDI+, holds the MDI client and the five-part
// status bar, opens the first document window on its first resize and
// carries out the menu commands.

#include "app/frame.h"

#include <commctrl.h>

#include <cstdint>

#include "app/fatal.h"
#include "app/globals.h"
#include "app/resource.h"
#include "app/texts.h"
#include "support/trace.h"
#include "view/gdiplus_flat.h"
#include "view/geometry/layout.h"
#include "view/platform_types.h"

namespace {

// Right edges of the status parts: parts 1 to 4 are 150 pixels wide at 96 DPI
// and scale with the frame's DPI, part 0 takes the rest, part 4 ends at the
// right edge.
constexpr int STATUS_PART_COUNT = 5;
constexpr int STATUS_PART_WIDTH = 150;
constexpr int STATUS_PART_DPI = USER_DEFAULT_SCREEN_DPI;
constexpr DWORD STATUS_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NODIVIDER | SBARS_SIZEGRIP;
constexpr UINT STATUS_ID = 0;

constexpr DWORD MDI_CLIENT_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr UINT FIRST_CHILD_ID = 100;  // window-list entries count up from here

constexpr int VIEW_WIDTH = 400;
constexpr int VIEW_HEIGHT = 400;

// Armed when the frame has been created; the first WM_SIZE opens the first
// document window and disarms it for good.
constexpr uint32_t FIRST_CHILD_ARMED = 999999999;
uint32_t firstChildPending = 0;

int statusParts[STATUS_PART_COUNT];

ULONG_PTR gdiplusToken = 0;
const GdiplusStartupInput gdiplusStartupInput = {1, nullptr, FALSE, FALSE};

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

// The window's DPI where the system knows one per window (Windows 10 1607 on;
// looked up at run time so that Windows 7 still starts), else the system DPI,
// which a DPI-aware program sees unscaled.
int WindowDpi(HWND window) {
    // Through the one function type that casts to any other without a warning.
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        return static_cast<int>(getDpiForWindow(window));
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

void LayOutStatusParts(HWND frame) {
    RECT client;
    GetClientRect(frame, &client);
    const int partWidth = MulDiv(STATUS_PART_WIDTH, WindowDpi(frame), STATUS_PART_DPI);
    for (int part = 0; part < STATUS_PART_COUNT; ++part) {
        statusParts[part] = client.right - (STATUS_PART_COUNT - 1 - part) * partWidth;
    }
    SendMessageA(statusBar, SB_SETPARTS, STATUS_PART_COUNT, reinterpret_cast<LPARAM>(statusParts));
}

LRESULT OnFrameCreate(HWND frame) {
    DebugClear();
    // Every document window decodes its picture through GDI+, so it runs for
    // the life of the process.
    GdiplusStartup(&gdiplusToken, &gdiplusStartupInput, nullptr);

    CLIENTCREATESTRUCT clientCreate = {};
    clientCreate.hWindowMenu = GetSubMenu(frameMenu, WINDOW_MENU_POSITION);
    clientCreate.idFirstChild = FIRST_CHILD_ID;
    mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, MDI_CLIENT_STYLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                                nullptr, hInstance, &clientCreate);

    childCreate.szClass = VIEW_CLASS_NAME;
    childCreate.szTitle = VIEW_TITLE;
    childCreate.hOwner = hInstance;
    childCreate.x = CW_USEDEFAULT;
    childCreate.y = CW_USEDEFAULT;
    childCreate.cx = VIEW_WIDTH;
    childCreate.cy = VIEW_HEIGHT;
    childCreate.style = 0;
    childCreate.lParam = 0;

    statusBar = CreateStatusWindowA(STATUS_STYLE, STATUS_INITIAL_TEXT, frame, STATUS_ID);
    if (statusBar == nullptr) {
        ExitWithMessage(TEXT_STATUS_BAR_FAILED);
    }
    LayOutStatusParts(frame);
    firstChildPending = FIRST_CHILD_ARMED;
    return 0;
}

LRESULT OnFrameSize(HWND frame, WPARAM wParam, LPARAM lParam) {
    LayOutStatusParts(frame);
    // Zeros: the status bar places itself along the bottom at its own height.
    MoveWindow(statusBar, 0, 0, 0, 0, TRUE);
    ShowWindow(statusBar, SW_SHOW);
    DefFrameProcA(frame, mdiClient, WM_SIZE, wParam, lParam);

    PlainRect statusRect;
    GetClientRect(statusBar, AsRect(statusRect));
    PlainSize statusSize;
    RectSize(statusRect, statusSize);
    RECT client;
    GetClientRect(frame, &client);
    // Below the status bar in the sibling order, and above it on the screen.
    SetWindowPos(mdiClient, HWND_BOTTOM, client.left, client.top, client.right,
                 client.bottom - statusSize.h, SWP_SHOWWINDOW);

    if (firstChildPending == FIRST_CHILD_ARMED) {
        SendMessageA(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&childCreate));
        firstChildPending = 0;
    }
    return 0;
}

void CloseActiveView() {
    const HWND active = reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0));
    if (active != nullptr) {
        SendMessageA(active, WM_CLOSE, 0, 0);
    }
}

LRESULT OnFrameCommand(HWND frame, WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        return 0;  // a control's notification: none of ours
    }
    switch (LOWORD(wParam)) {
        case IDM_EXIT: SendMessageA(frame, WM_CLOSE, 0, 0); return 0;
        case IDM_TILEHORZ: SendMessageA(mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); return 0;
        case IDM_TILEVERT: SendMessageA(mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0); return 0;
        case IDM_CASCADE: SendMessageA(mdiClient, WM_MDICASCADE, MDITILE_SKIPDISABLED, 0); return 0;
        case IDM_NEW:
            SendMessageA(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&childCreate));
            return 0;
        case IDM_CLOSE: CloseActiveView(); return 0;
        default:
            // The window-list entries activate their document windows here.
            return DefFrameProcA(frame, mdiClient, WM_COMMAND, wParam, lParam);
    }
}

}  // namespace

LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnFrameCreate(frame);
        case WM_SIZE: return OnFrameSize(frame, wParam, lParam);
        case WM_COMMAND: return OnFrameCommand(frame, wParam, lParam);
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefFrameProcA(frame, mdiClient, message, wParam, lParam);
    }
}
