// The arithmetic of one zoom step at the cursor, as pure functions called in
// order by ZoomStep. The Win32 side supplies the cursor and asks for the
// re-layout afterwards.
#pragma once

#include <cstdint>

#include "core/geometry/view_state.h"

// The picture pixel under the cursor (the anchor of the step): scaledPt and
// imagePt, the scaled point clamped into the scaled picture first.
void FindAnchor(ViewState& view, const PlainPoint& cursor);

// Measures the cursor's place inside the anchor pixel (spanW/H, spanOffX/Y)
// unless the anchor key (zoom, srcX/Y, cursor) is what the last step left, so
// a series of notches with a still mouse reuses one measurement and does not
// drift. Below 100 % nothing is measured and the last measurement stays.
void MeasureCursorFraction(ViewState& view, const PlainPoint& cursor);

// The zoom after one notch: 11/10 or 10/11, or the next preset with
// usePresets; capped at ZOOM_MAX; a step outwards is refused once the scaled
// picture is down to one pixel in width or height.
int32_t NextZoom(int32_t zoom, bool zoomIn, bool usePresets, uint32_t scaledW, uint32_t scaledH);

// Rebuilds both tables for the view's zoom and reads the scaled size from
// them. The zoom must fit the tables (HighestFittingZoom); if it does not,
// the tables and the scaled size are left as they were.
void RebuildScaleMaps(ViewState& view);

// The new centre: the anchor pixel's new first scaled pixel plus the carried
// cursor fraction, rounded to nearest (an exact half rounds down) but never
// past the anchor pixel's last scaled pixel, then moved so that it lands under
// the cursor.
void CentreOnAnchor(ViewState& view, const PlainPoint& cursor);

// Lays the view out, hands the new first column and row to the scroll
// records and stores the anchor key.
void FinishZoomStep(ViewState& view, const PlainPoint& cursor);

// One whole zoom step at the cursor (client coordinates), the zoom limited to
// what the view's tables can hold.
void ZoomStep(ViewState& view, const PlainPoint& cursor, bool zoomIn, bool usePresets);

// The same about the cursor, to a given zoom (limited to 1 and to what the
// tables hold) instead of the next notch: the commands for 100 % and fit.
void ZoomTo(ViewState& view, const PlainPoint& cursor, int32_t zoom);
