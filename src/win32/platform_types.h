// The core's plain records share the platform's layout, so the view hands
// its own fields to the platform directly. The casts live here alone.
#pragma once

#include <windows.h>

#include <cstddef>

#include "core/geometry/view_state.h"

static_assert(sizeof(PlainRect) == sizeof(RECT));
static_assert(offsetof(PlainRect, left) == offsetof(RECT, left));
static_assert(offsetof(PlainRect, top) == offsetof(RECT, top));
static_assert(offsetof(PlainRect, right) == offsetof(RECT, right));
static_assert(offsetof(PlainRect, bottom) == offsetof(RECT, bottom));

static_assert(sizeof(PlainScrollInfo) == sizeof(SCROLLINFO));
static_assert(offsetof(PlainScrollInfo, cbSize) == offsetof(SCROLLINFO, cbSize));
static_assert(offsetof(PlainScrollInfo, fMask) == offsetof(SCROLLINFO, fMask));
static_assert(offsetof(PlainScrollInfo, nMin) == offsetof(SCROLLINFO, nMin));
static_assert(offsetof(PlainScrollInfo, nMax) == offsetof(SCROLLINFO, nMax));
static_assert(offsetof(PlainScrollInfo, nPage) == offsetof(SCROLLINFO, nPage));
static_assert(offsetof(PlainScrollInfo, nPos) == offsetof(SCROLLINFO, nPos));
static_assert(offsetof(PlainScrollInfo, nTrackPos) == offsetof(SCROLLINFO, nTrackPos));

inline RECT* AsRect(PlainRect& rect) { return reinterpret_cast<RECT*>(&rect); }

inline SCROLLINFO* AsScrollInfo(PlainScrollInfo& info) { return reinterpret_cast<SCROLLINFO*>(&info); }
