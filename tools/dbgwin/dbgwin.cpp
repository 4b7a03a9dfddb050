// dbgwin: a minimal debug viewer. Its top-level window has the class
// "DbgWinClass" and holds one multi-line, read-only "Edit" child filling the
// client area; other programs find it by class and append trace lines with
// ordinary edit-control messages (EM_SETSEL, EM_REPLACESEL, ...).
#include <windows.h>

namespace {

constexpr char VIEWER_CLASS[] = "DbgWinClass";
constexpr char VIEWER_TITLE[] = "dbgwin";
constexpr int VIEWER_WIDTH = 520;
constexpr int VIEWER_HEIGHT = 360;
constexpr UINT_PTR EDIT_ID = 1;

HWND traceEdit;  // the one edit control; created with the viewer window

LRESULT OnCreate(HWND viewer) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                        ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY;
    traceEdit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", style, 0, 0, 0, 0, viewer,
                                reinterpret_cast<HMENU>(EDIT_ID), GetModuleHandleA(nullptr),
                                nullptr);
    if (!traceEdit) return -1;
    // The default limit of an edit control is far below a long trace session.
    SendMessageA(traceEdit, EM_SETLIMITTEXT, 0, 0);
    return 0;
}

LRESULT OnSize(HWND viewer) {
    RECT client;
    GetClientRect(viewer, &client);
    MoveWindow(traceEdit, 0, 0, client.right, client.bottom, TRUE);
    return 0;
}

LRESULT CALLBACK ViewerWndProc(HWND viewer, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(viewer);
    case WM_SIZE: return OnSize(viewer);
    case WM_SETFOCUS: SetFocus(traceEdit); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(viewer, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ViewerWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = VIEWER_CLASS;
    windowClass.hIconSm = windowClass.hIcon;
    if (!RegisterClassExA(&windowClass)) return 1;

    HWND viewer = CreateWindowExA(0, VIEWER_CLASS, VIEWER_TITLE, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, VIEWER_WIDTH, VIEWER_HEIGHT,
                                  nullptr, nullptr, instance, nullptr);
    if (!viewer) return 1;
    ShowWindow(viewer, showCommand);
    UpdateWindow(viewer);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
