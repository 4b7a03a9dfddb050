// Entry, window classes and the message loop.
//
// The C runtime's start-up code is the entry point: it calls WinMain with the
// module handle and ends the process with what WinMain returns.

#include <windows.h>

#include <objbase.h>

#include "win32/fatal.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/help.h"
#include "app/menus.h"
#include "app/one_frame.h"
#include "app/program.h"
#include "app/settings_file.h"
#include "app/resource.h"
#include "app/texts.h"
#include "view/compare.h"
#include "view/image_view.h"
#include "win32/texts.h"

namespace {

constexpr UINT CLASS_STYLE = CS_HREDRAW | CS_VREDRAW;
constexpr int FRAME_BACKGROUND = COLOR_APPWORKSPACE + 1;
constexpr int VIEW_BACKGROUND = COLOR_WINDOW + 1;
constexpr DWORD FRAME_STYLE = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int EXIT_CODE_NORMAL = 0;

// Unicode classes, as every text may be in either language whatever the
// system's code page.
void RegisterFrameClass(WNDCLASSEXW& windowClass) {
    windowClass.lpfnWndProc = FrameWndProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(FRAME_BACKGROUND));
    windowClass.lpszClassName = FRAME_CLASS_NAME;
    if (RegisterClassExW(&windowClass) == 0) {
        // Without the class there is no window, and the loop would wait forever.
        ExitWithMessage(Text(IDS_CLASS_FAILED));
    }
}

// The document window class differs from the frame class in its procedure,
// background and name.
void RegisterViewClass(const WNDCLASSEXW& frameClass) {
    WNDCLASSEXW windowClass = frameClass;
    windowClass.lpfnWndProc = ImageViewWndProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(VIEW_BACKGROUND));
    windowClass.lpszClassName = VIEW_CLASS_NAME_W;
    if (RegisterClassExW(&windowClass) == 0) ExitWithMessage(Text(IDS_CLASS_FAILED));
}

WPARAM RunMessageLoop(HACCEL keys) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateMDISysAccel(mdiClient, &message)) {
            continue;
        }
        if (CloseKeyListOnEscape(message)) {
            continue;
        }
        // The command keys, whichever window has the focus, but for those
        // the 比较信息 window's text takes itself (selecting, copying) and
        // those of the list of keys.
        if (!IsCompareInfoKey(message) && !IsKeyListMessage(message) &&
            TranslateAcceleratorW(frameWnd, keys, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return message.wParam;
}

}  // namespace

// The previous instance, the command line and the show command play no part.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    hInstance = instance;
    // Lives until the message loop ends, after the frame.
    Program program;
    program.settingsPath = SettingsFilePath();
    program.kept = LoadSettings(program.settingsPath);
    // One frame per session: a later start hands its files over and ends.
    if (program.kept.oneFrame && !program.oneFrame.Claim() &&
        HandToRunningFrame(program.oneFrame) == HandOverOutcome::HandedOver) {
        return EXIT_CODE_NORMAL;
    }
    // The Open dialog and GDI+'s decoders may use COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    // As chosen, or the user's interface language.
    SetLanguage(program.kept.language);

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CLASS_STYLE;
    windowClass.hInstance = hInstance;
    // Our icon on the frame and the document windows; the small one loaded at
    // its own size, so that title bars show the drawn small image, not a
    // shrunken large one.
    windowClass.hIcon = LoadIconW(hInstance, MAKEINTRESOURCEW(IDI_KIV));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(hInstance, MAKEINTRESOURCEW(IDI_KIV), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterFrameClass(windowClass);

    // Loaded before the frame exists: the frame's creation hands the window
    // menu of the frame's bar to the MDI client, and both bars to the view
    // host. The same bar twice: the frame's shows while no document window is
    // active, the other while one is.
    frameMenu = BuildMenuBar(CurrentLanguage());
    childMenu = BuildMenuBar(CurrentLanguage());
    RegisterKeyListClass(hInstance);

    // Created hidden, so its first WM_SIZE (which opens the first document
    // window) comes only after the document window class is registered.
    frameWnd = CreateWindowExW(0, FRAME_CLASS_NAME, Text(IDS_FRAME_TITLE), FRAME_STYLE, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               hInstance, &program);
    if (frameWnd == nullptr) {
        ExitWithMessage(Text(IDS_FRAME_FAILED));
    }

    RegisterViewClass(windowClass);
    SetMenu(frameWnd, frameMenu);

    ShowFrame(frameWnd, program.kept.frame);
    // Later starts find this frame from now on.
    program.oneFrame.Mark(frameWnd);

    RunMessageLoop(BuildAccelerators());
    // The frame quits with code 0; whatever else a WM_QUIT carried, the
    // process ends normally.
    return EXIT_CODE_NORMAL;
}
