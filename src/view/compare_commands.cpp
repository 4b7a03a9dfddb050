// The commands of the 比较 menu for the active window: the reference, the
// difference view and its settings, the window's own offset, flicker (held
// key, menu and automatic) and the wipe.

#include "view/commands.h"
#include "view/compare.h"
#include "view/view_handlers.h"

namespace {

constexpr int32_t TOLERANCE_STEP = 1;
constexpr int32_t TOLERANCE_LARGE_STEP = 16;
constexpr int32_t OFFSET_STEP = 1;
constexpr int32_t OFFSET_LARGE_STEP = 10;
constexpr UINT FLICKER_MS = 500;
constexpr WPARAM FLICKER_KEY = 'X';
// WM_KEYDOWN's flags: the key was down already (a repeat).
constexpr LPARAM KEY_WAS_DOWN = static_cast<LPARAM>(1) << 30;

int32_t Clamped(int32_t value, int32_t low, int32_t high) { return value < low ? low : value > high ? high : value; }

bool IsReference(const View* view, HWND window) { return view->host->compare->reference == window; }

// One window at a time is the reference; choosing it again clears it.
void ToggleReference(View* view, HWND window) {
    CompareSession& session = *view->host->compare;
    const HWND previous = session.reference;
    session.reference = previous == window ? nullptr : window;
    if (previous != nullptr && previous != window) UpdateTitle(ViewOf(previous), previous);
    UpdateTitle(view, window);
    RefreshAllCompares(view->host);
}

void ToggleDifference(View* view, HWND window) {
    if (IsReference(view, window)) return;  // the reference has nothing to differ from
    view->compare.difference = !view->compare.difference;
    RefreshCompare(view, window);
}

// A setting every comparison shares: each window follows it.
void ChangeSettings(const View* view, void (*change)(CompareSettings&, int32_t), int32_t amount) {
    CompareSettings& settings = view->host->settings->compare;
    const CompareSettings before = settings;
    change(settings, amount);
    if (before.metric == settings.metric && before.exposure == settings.exposure &&
        before.tolerance == settings.tolerance && before.alignment == settings.alignment) {
        return;  // at an end of its range
    }
    RefreshAllCompares(view->host);
}

void StepMetric(CompareSettings& settings, int32_t step) {
    const int32_t next = (static_cast<int32_t>(settings.metric) + step + DIFFERENCE_METRIC_COUNT) % DIFFERENCE_METRIC_COUNT;
    settings.metric = static_cast<DifferenceMetric>(next);
}
void SetMetric(CompareSettings& settings, int32_t metric) { settings.metric = static_cast<DifferenceMetric>(metric); }
void StepExposure(CompareSettings& settings, int32_t step) {
    settings.exposure = Clamped(settings.exposure + step, EXPOSURE_MIN, EXPOSURE_MAX);
}
void StepTolerance(CompareSettings& settings, int32_t step) {
    settings.tolerance = Clamped(settings.tolerance + step, 0, TOLERANCE_MAX);
}
void SetAlignment(CompareSettings& settings, int32_t alignment) { settings.alignment = static_cast<Alignment>(alignment); }

// No offset moves a picture further than its longest possible side.
void MoveOffset(View* view, HWND window, int32_t dx, int32_t dy) {
    constexpr int32_t FARTHEST = static_cast<int32_t>(MAX_PICTURE_SIDE);
    view->compare.offsetX = Clamped(view->compare.offsetX + dx, -FARTHEST, FARTHEST);
    view->compare.offsetY = Clamped(view->compare.offsetY + dy, -FARTHEST, FARTHEST);
    RefreshCompare(view, window);
}

void ResetOffset(View* view, HWND window) {
    view->compare.offsetX = view->compare.offsetY = 0;
    RefreshCompare(view, window);
}

void ToggleShowReference(View* view, HWND window) {
    ViewCompare& compare = view->compare;
    compare.showReference = !compare.showReference;
    compare.keyHeld = false;
    RefreshCompare(view, window);
}

void ToggleAutoFlicker(View* view, HWND window) {
    ViewCompare& compare = view->compare;
    compare.autoFlicker = !compare.autoFlicker;
    compare.showReference = false;
    if (compare.autoFlicker) {
        SetTimer(window, FLICKER_TIMER, FLICKER_MS, nullptr);
    } else {
        KillTimer(window, FLICKER_TIMER);
    }
    RefreshCompare(view, window);
}

// The wipe starts under the cursor, or in the middle when the cursor is
// elsewhere.
void ToggleWipe(View* view, HWND window) {
    ViewCompare& compare = view->compare;
    compare.wipe = !compare.wipe;
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    const PlainRect& client = view->state.clientRect;
    const bool inside = cursor.x >= 0 && cursor.x < client.right && cursor.y >= 0 && cursor.y < client.bottom;
    compare.wipeX = inside ? cursor.x : client.right / 2;
    RefreshCompare(view, window);
}

}  // namespace

bool RunCompareCommand(View* view, HWND window, int command) {
    if (command >= IDM_METRIC_FIRST && command <= IDM_METRIC_LAST) {
        ChangeSettings(view, SetMetric, command - IDM_METRIC_FIRST);
        return true;
    }
    switch (command) {
        case IDM_SET_REFERENCE: ToggleReference(view, window); return true;
        case IDM_DIFFERENCE_VIEW: ToggleDifference(view, window); return true;
        case IDM_METRIC_NEXT: ChangeSettings(view, StepMetric, 1); return true;
        case IDM_METRIC_PREVIOUS: ChangeSettings(view, StepMetric, -1); return true;
        case IDM_EXPOSURE_UP: ChangeSettings(view, StepExposure, 1); return true;
        case IDM_EXPOSURE_DOWN: ChangeSettings(view, StepExposure, -1); return true;
        case IDM_TOLERANCE_UP: ChangeSettings(view, StepTolerance, TOLERANCE_STEP); return true;
        case IDM_TOLERANCE_DOWN: ChangeSettings(view, StepTolerance, -TOLERANCE_STEP); return true;
        case IDM_TOLERANCE_UP_16: ChangeSettings(view, StepTolerance, TOLERANCE_LARGE_STEP); return true;
        case IDM_TOLERANCE_DOWN_16: ChangeSettings(view, StepTolerance, -TOLERANCE_LARGE_STEP); return true;
        case IDM_ALIGN_TOP_LEFT: ChangeSettings(view, SetAlignment, static_cast<int32_t>(Alignment::TopLeft)); return true;
        case IDM_ALIGN_CENTRE: ChangeSettings(view, SetAlignment, static_cast<int32_t>(Alignment::Centre)); return true;
        case IDM_SHOW_REFERENCE: ToggleShowReference(view, window); return true;
        case IDM_AUTO_FLICKER: ToggleAutoFlicker(view, window); return true;
        case IDM_WIPE: ToggleWipe(view, window); return true;
        case IDM_OFFSET_LEFT: MoveOffset(view, window, -OFFSET_STEP, 0); return true;
        case IDM_OFFSET_RIGHT: MoveOffset(view, window, OFFSET_STEP, 0); return true;
        case IDM_OFFSET_UP: MoveOffset(view, window, 0, -OFFSET_STEP); return true;
        case IDM_OFFSET_DOWN: MoveOffset(view, window, 0, OFFSET_STEP); return true;
        case IDM_OFFSET_LEFT_10: MoveOffset(view, window, -OFFSET_LARGE_STEP, 0); return true;
        case IDM_OFFSET_RIGHT_10: MoveOffset(view, window, OFFSET_LARGE_STEP, 0); return true;
        case IDM_OFFSET_UP_10: MoveOffset(view, window, 0, -OFFSET_LARGE_STEP); return true;
        case IDM_OFFSET_DOWN_10: MoveOffset(view, window, 0, OFFSET_LARGE_STEP); return true;
        case IDM_OFFSET_RESET: ResetOffset(view, window); return true;
        default: return false;
    }
}

LRESULT OnKeyDown(View* view, HWND window, WPARAM key, LPARAM flags) {
    if (key != FLICKER_KEY) return DefMDIChildProcW(window, WM_KEYDOWN, key, flags);
    ViewCompare& compare = view->compare;
    // A held key repeats; only its first press counts.
    if ((flags & KEY_WAS_DOWN) != 0 || compare.keyHeld || !view->picture) return 0;
    compare.keyHeld = true;
    compare.showReference = true;
    RefreshCompare(view, window);
    return 0;
}

LRESULT OnKeyUp(View* view, HWND window, WPARAM key) {
    if (key != FLICKER_KEY || !view->compare.keyHeld) return DefMDIChildProcW(window, WM_KEYUP, key, 0);
    view->compare.keyHeld = false;
    view->compare.showReference = false;
    RefreshCompare(view, window);
    return 0;
}

LRESULT OnKillFocus(View* view, HWND window) {
    // The key's release goes elsewhere now.
    if (view->compare.keyHeld) OnKeyUp(view, window, FLICKER_KEY);
    return 0;
}

void OnFlickerTimer(View* view, HWND window) {
    if (!view->compare.autoFlicker || !IsWindowVisible(window) || IsIconic(window)) return;
    view->compare.showReference = !view->compare.showReference;
    InvalidateRect(window, nullptr, FALSE);
}

void FollowWipe(View* view, HWND window, int32_t clientX) {
    ViewCompare& compare = view->compare;
    const PlainRect& client = view->state.clientRect;
    if (!compare.wipe || clientX == compare.wipeX || clientX < 0 || clientX >= client.right) return;
    compare.wipeX = clientX;
    InvalidateRect(window, nullptr, FALSE);
}

void ForgetReference(const View* view, HWND window) {
    if (view->host->compare != nullptr && view->host->compare->reference == window) {
        view->host->compare->reference = nullptr;
        RefreshAllCompares(view->host);
        return;
    }
    UpdateCompareInfo(view->host);
}
