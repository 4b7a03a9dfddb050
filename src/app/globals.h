// What is process-wide in kiv, named in one place. The program's own handles
// live here, set once during start-up and kept for the life of the process;
// they are the app layer's alone (the document windows get what they need of
// them through their ViewHost). Elsewhere, process-wide by nature:
// - the back buffer every paint composes in (view/back_buffer.h), one surface
//   the size of the screen;
// - the status bar's last written readouts (view/view_readouts.cpp), since
//   the status bar itself is one for every window;
// - the debug viewer the trace channel writes into (win32/trace.h), found by
//   its window class;
// - the 比较信息 tool window and the report it shows (view/compare_info.cpp),
//   one for the program, and the table of the difference view's colours
//   (view/compare_pass.cpp), built for the metric and exposure last used.
#pragma once

#include <windows.h>

extern HINSTANCE hInstance;
extern HWND frameWnd;
extern HWND mdiClient;
extern HWND statusBar;
extern HMENU frameMenu;  // shown while no document window is active
extern HMENU childMenu;  // shown while a document window is active
