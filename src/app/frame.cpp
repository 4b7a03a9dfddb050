// The frame window: it starts GDI+, holds the MDI client and the five-part
// status bar, opens the first document windows on its first resize, carries
// out the menu commands and hands finished decodes to their windows.

#include "app/frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <new>

#include "app/fatal.h"
#include "app/globals.h"
#include "app/opening.h"
#include "app/resource.h"
#include "app/texts.h"
#include "document/gdiplus_flat.h"
#include "support/trace.h"
#include "view/back_buffer.h"
#include "view/geometry/layout.h"
#include "view/platform_types.h"

namespace {

// Right edges of the status parts: part 0 takes all but the last 600 pixels,
// parts 1 to 3 are 150 pixels wide, part 4 ends at the right edge.
constexpr int STATUS_PART_COUNT = 5;
constexpr int STATUS_PART_WIDTH = 150;
constexpr DWORD STATUS_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NODIVIDER | SBARS_SIZEGRIP;
constexpr UINT STATUS_ID = 0;

constexpr DWORD MDI_CLIENT_STYLE = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr UINT FIRST_CHILD_ID = 100;  // window-list entries count up from here

// Posted by the decoding workers when a job has ended.
constexpr UINT WM_PICTURES_READY = WM_APP + 1;
// Posted by the first resize: the start's files open once the frame shows,
// so that a message about one of them has a frame to stand on.
constexpr UINT WM_OPEN_START_FILES = WM_APP + 2;

// Armed when the frame has been created; the first WM_SIZE opens the first
// document windows and disarms it for good.
constexpr uint32_t FIRST_CHILD_ARMED = 999999999;
uint32_t firstChildPending = 0;

int statusParts[STATUS_PART_COUNT];

ULONG_PTR gdiplusToken = 0;
const GdiplusStartupInput gdiplusStartupInput = {1, nullptr, FALSE, FALSE};

void LayOutStatusParts(HWND frame) {
    RECT client;
    GetClientRect(frame, &client);
    for (int part = 0; part < STATUS_PART_COUNT; ++part) {
        statusParts[part] = client.right - (STATUS_PART_COUNT - 1 - part) * STATUS_PART_WIDTH;
    }
    SendMessageA(statusBar, SB_SETPARTS, STATUS_PART_COUNT, reinterpret_cast<LPARAM>(statusParts));
}

Opener* OpenerOf(HWND frame) { return reinterpret_cast<Opener*>(GetWindowLongPtrA(frame, GWLP_USERDATA)); }

HWND ActiveView() { return reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0)); }

LRESULT OnFrameCreate(HWND frame) {
    DebugClear();
    // Every picture is decoded through GDI+, so it runs for the life of the
    // process.
    GdiplusStartup(&gdiplusToken, &gdiplusStartupInput, nullptr);
    Opener* opener = new (std::nothrow) Opener(frame, WM_PICTURES_READY);
    if (opener == nullptr) ExitWithMessage(TEXT_DIB_FAILED);
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(opener));

    CLIENTCREATESTRUCT clientCreate = {};
    clientCreate.hWindowMenu = GetSubMenu(frameMenu, WINDOW_MENU_POSITION);
    clientCreate.idFirstChild = FIRST_CHILD_ID;
    mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, MDI_CLIENT_STYLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                                nullptr, hInstance, &clientCreate);

    statusBar = CreateStatusWindowA(STATUS_STYLE, STATUS_INITIAL_TEXT, frame, STATUS_ID);
    if (statusBar == nullptr) {
        ExitWithMessage(TEXT_STATUS_BAR_FAILED);
    }
    LayOutStatusParts(frame);
    // One back buffer for every paint of every window.
    if (!CreateBackBuffer(frame)) ExitWithMessage(TEXT_DIB_FAILED);
    // Files dropped on the frame open here. A drop goes to the window under
    // the pointer or its nearest ancestor that accepts files: the MDI client
    // must not accept them itself (its system procedure ignores drops), so a
    // drop on its empty part reaches the frame.
    DragAcceptFiles(frame, TRUE);
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
        firstChildPending = 0;
        PostMessageA(frame, WM_OPEN_START_FILES, 0, 0);
    }
    return 0;
}

void CloseActiveView() {
    const HWND active = ActiveView();
    if (active != nullptr) {
        SendMessageA(active, WM_CLOSE, 0, 0);
    }
}

LRESULT OnFrameCommand(Opener* opener, HWND frame, WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        return 0;  // a control's notification: none of ours
    }
    switch (LOWORD(wParam)) {
        case IDM_EXIT: SendMessageA(frame, WM_CLOSE, 0, 0); return 0;
        case IDM_TILEHORZ: SendMessageA(mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); return 0;
        case IDM_TILEVERT: SendMessageA(mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0); return 0;
        case IDM_CASCADE: SendMessageA(mdiClient, WM_MDICASCADE, MDITILE_SKIPDISABLED, 0); return 0;
        case IDM_NEW: opener->OpenStartPictureAgain(); return 0;
        case IDM_CLOSE: CloseActiveView(); return 0;
        case IDM_OPEN: opener->OpenWithDialog(frame, ActiveView()); return 0;
        case IDM_NEXT: opener->Step(ActiveView(), +1); return 0;
        case IDM_PREVIOUS: opener->Step(ActiveView(), -1); return 0;
        default:
            // The window-list entries activate their document windows here.
            return DefFrameProcA(frame, mdiClient, WM_COMMAND, wParam, lParam);
    }
}

LRESULT OnFrameDestroy(Opener* opener) {
    // The workers stop before the windows go; the documents themselves stay
    // until the last window has let go of them.
    opener->Stop();
    PostQuitMessage(0);
    return 0;
}

}  // namespace

LRESULT CALLBACK FrameWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    Opener* opener = OpenerOf(frame);
    if (opener == nullptr) {
        if (message == WM_CREATE) return OnFrameCreate(frame);
        return DefFrameProcA(frame, mdiClient, message, wParam, lParam);
    }
    switch (message) {
        case WM_SIZE: return OnFrameSize(frame, wParam, lParam);
        case WM_COMMAND: return OnFrameCommand(opener, frame, wParam, lParam);
        case WM_DROPFILES: opener->OpenDropped(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_PICTURES_READY: opener->DeliverFinished(); return 0;
        case WM_OPEN_START_FILES: opener->OpenStartupFiles(); return 0;
        case WM_DESTROY: return OnFrameDestroy(opener);
        case WM_NCDESTROY:
            SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
            delete opener;
            return DefFrameProcA(frame, mdiClient, message, wParam, lParam);
        default: return DefFrameProcA(frame, mdiClient, message, wParam, lParam);
    }
}
