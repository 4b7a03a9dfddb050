// The message handlers of a document window, by concern. Each takes the
// window's View first.
#pragma once

#include <windows.h>

#include "view/view.h"

// view_create.cpp
LRESULT OnCreate(HWND window, const CREATESTRUCTW* create);
void OnNcDestroy(View* view, HWND window);

// view_paint.cpp
LRESULT OnPaint(View* view, HWND window);
LRESULT OnEraseBackground();
LRESULT OnTimer(View* view, HWND window, WPARAM timer);

// view_scroll.cpp
LRESULT OnSize(View* view, HWND window);
LRESULT OnScroll(View* view, HWND window, int bar, WPARAM wParam);
LRESULT OnMouseWheel(View* view, HWND window, WPARAM wParam);

// view_zoom.cpp
void ZoomAt(View* view, HWND window, const PlainPoint& point, bool zoomIn, bool usePresets);
LRESULT ZoomAtCursor(View* view, HWND window, bool zoomIn, bool usePresets);

// view_readouts.cpp
void UpdateZoomReadout(const View* view);
LRESULT UpdateCursorReadouts(View* view, HWND window);
// Part 4 again for the pixel last under the cursor, in the language now in
// use (its words: a missing reference pixel, 16 bits per channel).
void RewriteColourReadout(const View* view, HWND window);

// view_animation.cpp
// Plays the animation the window's picture starts, if any; stops the one
// played before.
void StartAnimation(View* view, HWND window);
void OnAnimationTimer(View* view, HWND window);
// Pause and resume, a frame back and forward; false for other commands.
bool RunAnimationCommand(View* view, HWND window, int command);
// Turns the animation of the window, and of every window showing it.
void TurnAnimation(const View* view, Orientation turn);

// view_activate.cpp
LRESULT OnMdiActivate(View* view, HWND window, LPARAM activated);
LRESULT OnClose(const View* view, HWND window);
LRESULT OnDropFiles(const View* view, WPARAM drop);
