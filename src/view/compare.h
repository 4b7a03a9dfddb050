// Comparing in the document windows: the reference, the difference view,
// flicker and wipe, the window's own offset, the passes that make their
// surfaces and the 比较信息 tool window.
#pragma once

#include <windows.h>

#include <memory>

#include "view/view.h"

// compare_pass.cpp

// The reference's picture as this window compares with it; null without a
// reference, in the reference itself, or while the reference has no picture.
std::shared_ptr<const Picture> ReferencePictureFor(const View* view, HWND window);
// Where the reference lies against the window's picture: alignment and the
// window's own offset.
PairOffset PairOffsetFor(const View* view, const Picture& reference);
// The surfaces the window paints now: its difference view, and the reference
// placed under its picture (flicker and wipe); null where it shows neither.
const PixelSurface* DifferenceShown(const View* view);
const PixelSurface* ReferencePlaced(const View* view);

// Makes the window's surfaces agree with its modes, its picture, the
// reference and the settings: computed again only where one of them changed,
// freed where no mode needs them, and repainted. A surface that cannot be
// allocated turns its mode off with a message. Also writes the readouts of
// the active window and the 比较信息 window.
void RefreshCompare(View* view, HWND window);
void RefreshAllCompares(const ViewHost* host);
// The window shows another picture: its comparison follows, and when it is
// the reference, every other window's.
void PictureChanged(View* view, HWND window);

// The statistics of the window's pair, from its difference view or computed
// for the asking; null without a pair or where memory is short.
const CompareFigures* FiguresFor(View* view, HWND window);

// Linked views: the common place of this window's picture point p is
// p + displacement (the reference's place with a reference, each window's own
// offset taken away without one).
PlainPoint LinkedDisplacement(const View* view, HWND window);

// compare_commands.cpp

// The commands of the 比较 menu that act on the active window; false for
// any other.
bool RunCompareCommand(View* view, HWND window, int command);
// The flicker key: held down the reference shows, released the picture;
// the key's repeats change nothing.
LRESULT OnKeyDown(View* view, HWND window, WPARAM key, LPARAM flags);
LRESULT OnKeyUp(View* view, HWND window, WPARAM key);
LRESULT OnKillFocus(View* view, HWND window);
// Automatic flicker's turn, in a window that shows.
void OnFlickerTimer(View* view, HWND window);
// The wipe line follows the cursor.
void FollowWipe(View* view, HWND window, int32_t clientX);
// A window going away that was the reference leaves the others without one.
void ForgetReference(const View* view, HWND window);

// compare_info.cpp

// Opens the 比较信息 window beside the frame, or closes it when it is open.
void ToggleCompareInfo(const ViewHost* host);
// Writes the active pair's report into it, when it is open.
void UpdateCompareInfo(const ViewHost* host);
// Writes its title and report again, in the language now in use.
void RewriteCompareInfo(const ViewHost* host);
// Keys that belong to the 比较信息 window while it has the focus (selecting,
// copying, closing): the program's keys leave them alone.
bool IsCompareInfoKey(const MSG& message);
// Check marks of the 比较 menu for the active window, as the menu opens.
void CheckCompareItems(HMENU popup, const ViewHost* host);
