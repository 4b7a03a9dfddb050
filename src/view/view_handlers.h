// The message handlers of a document window, by concern. Each takes the
// window's ViewState first.
#pragma once

#include <windows.h>

#include "view/geometry/view_state.h"

// view_create.cpp
LRESULT OnCreate(HWND window);
void OnNcDestroy(ViewState* view, HWND window);

// view_paint.cpp
LRESULT OnPaint(ViewState* view, HWND window);
LRESULT OnEraseBackground();

// view_scroll.cpp
LRESULT OnSize(ViewState* view, HWND window);
LRESULT OnScroll(ViewState* view, HWND window, int bar, WPARAM wParam);
LRESULT OnMouseWheel(ViewState* view, HWND window, WPARAM wParam);

// view_zoom.cpp
LRESULT ZoomAtCursor(ViewState* view, HWND window, bool zoomIn, bool usePresets);

// view_readouts.cpp
void UpdateZoomReadout(const ViewState* view);
LRESULT UpdateCursorReadouts(ViewState* view, HWND window);

// view_activate.cpp
LRESULT OnMdiActivate(HWND window, LPARAM activated);
LRESULT OnClose(HWND window);
