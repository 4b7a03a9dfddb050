// The frame window: it starts GDI+, holds the MDI client and the five-part
// status bar, opens the first document windows on its first resize, carries
// out the menu commands and hands finished decodes to their windows.

#include "app/frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <new>

#include "win32/fatal.h"
#include "app/globals.h"
#include "app/help.h"
#include "app/menus.h"
#include "app/one_frame.h"
#include "app/open_with.h"
#include "app/opening.h"
#include "app/program.h"
#include "app/recent_menu.h"
#include "app/resource.h"
#include "app/texts.h"
#include "win32/gdiplus_flat.h"
#include "win32/texts.h"
#include "win32/trace.h"
#include "view/back_buffer.h"
#include "view/compare.h"
#include "core/files/file_types.h"
#include "core/geometry/layout.h"
#include "core/settings/recent_files.h"
#include "win32/platform_types.h"

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

// Posted by the decoding workers when a job has ended.
constexpr UINT WM_PICTURES_READY = WM_APP + 1;
// Posted by the first resize: the start's files open once the frame shows,
// so that a message about one of them has a frame to stand on.
constexpr UINT WM_OPEN_START_FILES = WM_APP + 2;
// Posted by the folder watcher when a folder of an open picture changed.
constexpr UINT WM_FOLDERS_CHANGED = WM_APP + 3;
// Posted when a later start has handed its files over: they open once the
// sender has had its answer.
constexpr UINT WM_OPEN_HANDED_FILES = WM_APP + 4;
// Sent when the frame moves to a screen of another DPI (not in every
// header of the oldest systems we build for).
constexpr UINT DPI_CHANGED = 0x02E0;

// Armed when the frame has been created; the first WM_SIZE opens the first
// document windows and disarms it for good.
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

Opener* OpenerOf(HWND frame) { return reinterpret_cast<Opener*>(GetWindowLongPtrA(frame, GWLP_USERDATA)); }

HWND ActiveView() { return reinterpret_cast<HWND>(SendMessageA(mdiClient, WM_MDIGETACTIVE, 0, 0)); }

// A check item of both menu bars.
void CheckBoth(UINT command, bool checked) {
    for (HMENU menuBar : {frameMenu, childMenu}) {
        CheckMenuItem(menuBar, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

LRESULT OnFrameCreate(HWND frame, const CREATESTRUCTW* create) {
    DebugClear();
    Program& program = *static_cast<Program*>(create->lpCreateParams);
    // Every picture is decoded through GDI+, so it runs for the life of the
    // process.
    GdiplusStartup(&gdiplusToken, &gdiplusStartupInput, nullptr);
    Opener* opener = new (std::nothrow) Opener(frame, WM_PICTURES_READY, WM_FOLDERS_CHANGED, program);
    if (opener == nullptr) ExitWithMessage(Text(IDS_DIB_FAILED));
    SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(opener));

    CLIENTCREATESTRUCT clientCreate = {};
    clientCreate.hWindowMenu = GetSubMenu(frameMenu, WINDOW_MENU_POSITION);
    clientCreate.idFirstChild = FIRST_CHILD_ID;
    mdiClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, MDI_CLIENT_STYLE,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame,
                                nullptr, hInstance, &clientCreate);

    statusBar = CreateStatusWindowW(STATUS_STYLE, STATUS_INITIAL_TEXT, frame, STATUS_ID);
    if (statusBar == nullptr) {
        ExitWithMessage(Text(IDS_STATUS_BAR_FAILED));
    }
    LayOutStatusParts(frame);
    ViewHost& host = opener->Host();
    host.frame = frame;
    host.mdiClient = mdiClient;
    host.statusBar = statusBar;
    host.frameMenu = frameMenu;
    host.documentMenu = childMenu;
    host.windowMenuPosition = WINDOW_MENU_POSITION;
    // One back buffer for every paint of every window.
    if (!CreateBackBuffer(frame)) ExitWithMessage(Text(IDS_DIB_FAILED));
    // Files dropped on the frame open here. A drop goes to the window under
    // the pointer or its nearest ancestor that accepts files: the MDI client
    // must not accept them itself (its system procedure ignores drops), so a
    // drop on its empty part reaches the frame.
    DragAcceptFiles(frame, TRUE);
    // The program starts with the kept settings, and its menus show them.
    opener->SetAutoReload(program.kept.autoReload);
    CheckBoth(IDM_AUTO_RELOAD, program.kept.autoReload);
    CheckBoth(IDM_LINK_VIEWS, program.kept.linkedViews);
    CheckBoth(IDM_NEW_FRAME_EACH_START, !program.kept.oneFrame);
    ShowRecentFiles(program.kept.recentFiles);
    firstChildPending = FIRST_CHILD_ARMED;
    return 0;
}

LRESULT OnFrameSize(HWND frame, WPARAM wParam, LPARAM lParam) {
    LayOutStatusParts(frame);
    // Zeros: the status bar places itself along the bottom at its own height.
    MoveWindow(statusBar, 0, 0, 0, 0, TRUE);
    ShowWindow(statusBar, SW_SHOW);
    DefFrameProcW(frame, mdiClient, WM_SIZE, wParam, lParam);

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

void ToggleLinkedViews(Opener* opener) {
    ViewSettings& settings = opener->Settings();
    settings.linked = !settings.linked;
    CheckBoth(IDM_LINK_VIEWS, settings.linked);
    opener->Kept().kept.linkedViews = settings.linked;
    opener->Kept().Save();
    // Turning it on puts every window where the active one is.
    const HWND active = ActiveDocumentWindow(mdiClient);
    if (settings.linked && active != nullptr) AlignViewsTo(ViewOf(active), active);
}

void ToggleAutoReload(Opener* opener) {
    opener->SetAutoReload(!opener->Settings().autoReload);
    CheckBoth(IDM_AUTO_RELOAD, opener->Settings().autoReload);
    opener->Kept().kept.autoReload = opener->Settings().autoReload;
    opener->Kept().Save();
}

// 每次启动新的主窗口: turned on, this frame lets go of the session's lock
// and later starts open frames of their own; turned off, it takes the lock
// when no other frame holds it.
void ToggleNewFrameEachStart(Program& program, HWND frame) {
    program.kept.oneFrame = !program.kept.oneFrame;
    CheckBoth(IDM_NEW_FRAME_EACH_START, !program.kept.oneFrame);
    if (program.kept.oneFrame && program.oneFrame.Claim()) {
        program.oneFrame.Mark(frame);
    } else if (!program.kept.oneFrame) {
        program.oneFrame.Unmark(frame);
        program.oneFrame.Release();
    }
    program.Save();
}

void ChangeOpenWith(HWND frame, bool add) {
    const std::vector<std::wstring> extensions = ExtensionsOfFilter(OpenDialogFilter());
    const bool done = add ? AddToOpenWith(extensions) : RemoveFromOpenWith();
    const UINT text = !done ? IDS_OPEN_WITH_FAILED : add ? IDS_OPEN_WITH_ADDED : IDS_OPEN_WITH_REMOVED;
    MessageBoxW(frame, Text(text), Text(IDS_MESSAGE_CAPTION), MB_OK);
}

// The frame's place and size as the next start is to restore them.
void KeepPlacement(HWND frame, Program& program) {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(frame, &placement)) return;
    FramePlacement& kept = program.kept.frame;
    kept.known = true;
    kept.left = placement.rcNormalPosition.left;
    kept.top = placement.rcNormalPosition.top;
    kept.right = placement.rcNormalPosition.right;
    kept.bottom = placement.rcNormalPosition.bottom;
    // Minimised, it comes back as it was before.
    kept.maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                     (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    program.Save();
}

LRESULT OnCopyData(Opener* opener, HWND frame, const COPYDATASTRUCT* data) {
    std::vector<std::wstring> files;
    if (data == nullptr || !ReadHandedFiles(*data, files)) return FALSE;
    opener->QueueHandedFiles(std::move(files));
    PostMessageW(frame, WM_OPEN_HANDED_FILES, 0, 0);
    return TRUE;
}

void OnOpenHandedFiles(Opener* opener, HWND frame) {
    if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
    SetForegroundWindow(frame);
    opener->OpenHandedFiles();
}

// The check marks and the recent files of both bars as the settings are (a
// bar just built has none).
void ShowSettingsInMenus(Opener* opener) {
    CheckBoth(IDM_LINK_VIEWS, opener->Settings().linked);
    CheckBoth(IDM_AUTO_RELOAD, opener->Settings().autoReload);
    CheckBoth(IDM_NEW_FRAME_EACH_START, !opener->Kept().kept.oneFrame);
    ShowRecentFiles(opener->Kept().kept.recentFiles);
}

// Takes effect at once: both menu bars are built again in the language (the
// window list moves to the new window menu with WM_MDISETMENU), the frame's
// title, the status texts and the list of keys are written again.
void SwitchLanguage(Opener* opener, HWND frame, Language language) {
    // Chosen, it is kept even when it is the one showing.
    opener->Kept().kept.language = language;
    opener->Kept().Save();
    if (language == CurrentLanguage()) return;
    const HMENU newFrameMenu = BuildMenuBar(language);
    const HMENU newChildMenu = BuildMenuBar(language);
    if (newFrameMenu == nullptr || newChildMenu == nullptr) {
        if (newFrameMenu != nullptr) DestroyMenu(newFrameMenu);
        if (newChildMenu != nullptr) DestroyMenu(newChildMenu);
        return;
    }
    SetLanguage(language);
    const bool childMenuShown = GetMenu(frame) == childMenu;
    const HMENU oldFrameMenu = frameMenu;
    const HMENU oldChildMenu = childMenu;
    frameMenu = newFrameMenu;
    childMenu = newChildMenu;
    ViewHost& host = opener->Host();
    host.frameMenu = frameMenu;
    host.documentMenu = childMenu;
    const HMENU shown = childMenuShown ? childMenu : frameMenu;
    SendMessageW(mdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(shown),
                 reinterpret_cast<LPARAM>(GetSubMenu(shown, WINDOW_MENU_POSITION)));
    DrawMenuBar(frame);
    DestroyMenu(oldFrameMenu);
    DestroyMenu(oldChildMenu);
    ShowSettingsInMenus(opener);
    SetWindowTextW(frame, Text(IDS_FRAME_TITLE));
    RewriteViewTexts(&host);
    RewriteKeyList();
}

// The metric, exposure, tolerance and alignment last from one run to the
// next: kept whenever a command of the 比较 menu changed them.
void KeepCompareSettings(Opener* opener) {
    const CompareSettings& now = opener->Settings().compare;
    CompareSettings& kept = opener->Kept().kept.compare;
    if (now.metric == kept.metric && now.exposure == kept.exposure && now.tolerance == kept.tolerance &&
        now.alignment == kept.alignment) {
        return;
    }
    kept = now;
    opener->Kept().Save();
}

// The view commands act on the active document window; without one, or
// before its first picture arrived, they do nothing.
void RunOnActiveView(int command) {
    const HWND active = ActiveDocumentWindow(mdiClient);
    if (active != nullptr) RunViewCommand(ViewOf(active), active, command);
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
        case IDM_RELOAD: opener->Reload(ActiveDocumentWindow(mdiClient)); return 0;
        case IDM_AUTO_RELOAD: ToggleAutoReload(opener); return 0;
        case IDM_LINK_VIEWS: ToggleLinkedViews(opener); return 0;
        case IDM_LANGUAGE_CHINESE: SwitchLanguage(opener, frame, Language::Chinese); return 0;
        case IDM_LANGUAGE_ENGLISH: SwitchLanguage(opener, frame, Language::English); return 0;
        case IDM_KEYS: ShowKeyList(frame); return 0;
        case IDM_ABOUT: ShowAbout(frame); return 0;
        case IDM_NEW_FRAME_EACH_START: ToggleNewFrameEachStart(opener->Kept(), frame); return 0;
        case IDM_OPEN_WITH_ADD: ChangeOpenWith(frame, true); return 0;
        case IDM_OPEN_WITH_REMOVE: ChangeOpenWith(frame, false); return 0;
        case IDM_RECENT_CLEAR: opener->ClearRecent(); return 0;
        case IDM_ZOOM_IN:
        case IDM_ZOOM_OUT:
        case IDM_ZOOM_IN_PRESET:
        case IDM_ZOOM_OUT_PRESET:
        case IDM_ACTUAL_SIZE:
        case IDM_FIT:
        case IDM_ROTATE_CLOCKWISE:
        case IDM_ROTATE_ANTICLOCKWISE:
        case IDM_FLIP:
        case IDM_COPY_PICTURE:
        case IDM_COPY_PATH:
        case IDM_PAUSE_ANIMATION:
        case IDM_PREVIOUS_FRAME:
        case IDM_NEXT_FRAME:
        case IDM_SCROLL_LEFT:
        case IDM_SCROLL_RIGHT:
        case IDM_SCROLL_UP:
        case IDM_SCROLL_DOWN:
        case IDM_PAGE_UP:
        case IDM_PAGE_DOWN:
        case IDM_HOME:
        case IDM_END: RunOnActiveView(LOWORD(wParam)); return 0;
        case IDM_COMPARE_INFO: ToggleCompareInfo(&opener->Host()); return 0;
        default:
            // The 比较 menu's commands act on the active window too.
            if (LOWORD(wParam) >= IDM_SET_REFERENCE && LOWORD(wParam) <= IDM_OFFSET_RESET) {
                RunOnActiveView(LOWORD(wParam));
                KeepCompareSettings(opener);
                return 0;
            }
            if (LOWORD(wParam) >= IDM_RECENT_FIRST && LOWORD(wParam) < IDM_RECENT_FIRST + RECENT_FILES_MAX) {
                opener->OpenRecent(LOWORD(wParam) - IDM_RECENT_FIRST);
                return 0;
            }
            // The window-list entries activate their document windows here.
            return DefFrameProcW(frame, mdiClient, WM_COMMAND, wParam, lParam);
    }
}

// On a screen of another DPI the frame takes the size the system suggests;
// the resize then lays the status parts out for that DPI. The picture keeps
// its pixels.
LRESULT OnDpiChanged(HWND frame, LPARAM suggested) {
    const RECT* rect = reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(frame, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutStatusParts(frame);
    return 0;
}

LRESULT OnFrameDestroy(Opener* opener, HWND frame) {
    KeepPlacement(frame, opener->Kept());
    opener->Kept().oneFrame.Unmark(frame);
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
        if (message == WM_CREATE) return OnFrameCreate(frame, reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return DefFrameProcW(frame, mdiClient, message, wParam, lParam);
    }
    switch (message) {
        case WM_SIZE: return OnFrameSize(frame, wParam, lParam);
        case WM_COMMAND: return OnFrameCommand(opener, frame, wParam, lParam);
        case WM_DROPFILES: opener->OpenDropped(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_INITMENUPOPUP:
            CheckCompareItems(reinterpret_cast<HMENU>(wParam), &opener->Host());
            return DefFrameProcW(frame, mdiClient, message, wParam, lParam);
        case DPI_CHANGED: return OnDpiChanged(frame, lParam);
        case WM_PICTURES_READY: opener->DeliverFinished(); return 0;
        case WM_OPEN_START_FILES: opener->OpenStartupFiles(); return 0;
        case WM_FOLDERS_CHANGED: opener->FoldersChanged(); return 0;
        case WM_COPYDATA: return OnCopyData(opener, frame, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_OPEN_HANDED_FILES: OnOpenHandedFiles(opener, frame); return 0;
        case WM_ENDSESSION:
            if (wParam) KeepPlacement(frame, opener->Kept());
            return 0;
        case WM_TIMER:
            if (wParam == Opener::RELOAD_TIMER) opener->ReloadChangedFiles();
            return 0;
        case WM_DESTROY: return OnFrameDestroy(opener, frame);
        case WM_NCDESTROY:
            SetWindowLongPtrA(frame, GWLP_USERDATA, 0);
            delete opener;
            return DefFrameProcW(frame, mdiClient, message, wParam, lParam);
        default: return DefFrameProcW(frame, mdiClient, message, wParam, lParam);
    }
}

void ShowFrame(HWND frame, const FramePlacement& kept) {
    RECT rect = {kept.left, kept.top, kept.right, kept.bottom};
    // A screen that was there when the frame was kept may be gone.
    const bool visible = kept.known && MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
    if (visible) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        placement.showCmd = SW_HIDE;  // placed while hidden, shown below
        placement.rcNormalPosition = rect;
        SetWindowPlacement(frame, &placement);
    }
    ShowWindow(frame, visible && kept.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(frame);
}
