// The status bar readouts: the zoom and the comparing mode (part 0), the
// scaled and source pixels under the cursor (parts 1 and 2), and its colour
// or, in a difference view, the difference there (part 4).

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/compare/compare_text.h"
#include "core/text/text.h"
#include "core/geometry/zoom.h"
#include "view/compare.h"
#include "view/view_handlers.h"
#include "view/view_texts.h"
#include "core/text/text_ids.h"
#include "win32/texts.h"

namespace {

constexpr WPARAM ZOOM_PART = 0;
constexpr WPARAM SCALED_POINT_PART = 1;
constexpr WPARAM IMAGE_POINT_PART = 2;
constexpr WPARAM COLOUR_PART = 4;

constexpr WPARAM CACHED_PARTS = COLOUR_PART + 1;

// What this file last wrote into each of its parts: the status bar is one for
// all windows, and a part already showing the text is not redrawn with it.
std::wstring shownTexts[CACHED_PARTS];

void SetStatusText(HWND statusBar, WPARAM part, const std::wstring& text) {
    if (shownTexts[part] == text) return;
    shownTexts[part] = text;
    SendMessageW(statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(text.c_str()));
}

// The readouts' own texts are ASCII.

CompareMode ModeOf(const View* view) {
    CompareMode mode;
    const bool placed = ReferencePlaced(view) != nullptr;
    mode.difference = DifferenceShown(view) != nullptr;
    mode.autoFlicker = view->compare.autoFlicker && placed;
    mode.wipe = view->compare.wipe && placed;
    mode.offsetX = view->compare.offsetX;
    mode.offsetY = view->compare.offsetY;
    return mode;
}

// In a difference view: a - b at the picture pixel under the cursor, or that
// the reference has none there.
std::wstring DifferenceAt(const View* view, HWND window, uint32_t x, uint32_t y) {
    const std::shared_ptr<const Picture> reference = ReferencePictureFor(view, window);
    if (!reference) return CompareWordsInUse().noReferencePixel;
    const PairOffset offset = PairOffsetFor(view, *reference);
    const int64_t bx = static_cast<int64_t>(x) + offset.dx, by = static_cast<int64_t>(y) + offset.dy;
    if (bx < 0 || by < 0 || bx >= reference->Width() || by >= reference->Height()) {
        return CompareWordsInUse().noReferencePixel;
    }
    return DeltaText(view->picture->DecodedColour(x, y),
                     reference->DecodedColour(static_cast<uint32_t>(bx), static_cast<uint32_t>(by)),
                     view->picture->HasAlpha() || reference->HasAlpha());
}

// The colour of the picture pixel last under the cursor, as decoded, not as
// the screen shows it; in a difference view, a - b there.
void WriteColourReadout(const View* view, HWND window) {
    if (!view->picture) return;
    const ViewState& state = view->state;
    const Picture& picture = *view->picture;
    if (static_cast<uint32_t>(state.imagePtX) >= picture.Width() ||
        static_cast<uint32_t>(state.imagePtY) >= picture.Height()) {
        return;
    }
    char text[STATUS_TEXT_BUFFER];
    const uint32_t x = static_cast<uint32_t>(state.imagePtX), y = static_cast<uint32_t>(state.imagePtY);
    if (DifferenceShown(view) != nullptr) {
        SetStatusText(view->host->statusBar, COLOUR_PART, DifferenceAt(view, window, x, y));
    } else {
        if (picture.HasDeepColours()) {
            const DeepColour deep = picture.DeepColourAt(x, y);
            // The values are ASCII; the tag is a text of the language in use.
            BuildDeepColourText(deep.red, deep.green, deep.blue, deep.alpha, picture.HasDeepAlpha(), "", text);
            SetStatusText(view->host->statusBar, COLOUR_PART, WidenUtf8(text) + Text(IDS_DEEP_COLOUR_TAG));
        } else {
            BuildColourText(picture.DecodedColour(x, y), picture.HasAlpha(), text);
            SetStatusText(view->host->statusBar, COLOUR_PART, WidenUtf8(text));
        }
    }
}

}  // namespace

void UpdateZoomReadout(const View* view) {
    // Part 0 is the active window's: windows laid out again with it (turned
    // with its picture, following it) leave it alone.
    const HWND active = ActiveDocumentWindow(view->host->mdiClient);
    if (active == nullptr || ViewOf(active) != view) return;
    char text[STATUS_TEXT_BUFFER];
    BuildZoomText(view->state.zoom, text);
    SetStatusText(view->host->statusBar, ZOOM_PART,
                  WidenUtf8(text) + CompareModeText(ModeOf(view), view->host->settings->compare, CompareWordsInUse()));
}

LRESULT UpdateCursorReadouts(View* view, HWND window) {
    if (!view->picture) return 0;
    ViewState& state = view->state;
    POINT screen;
    GetCursorPos(&screen);
    ScreenToClient(window, &screen);
    const PlainPoint client = {screen.x, screen.y};

    // Clamped into the scaled picture, so the margin around a centred picture
    // reads as its nearest edge pixel; the view's own tables keep the source
    // pixel inside the picture this view was made for.
    FindAnchor(state, client);

    FollowWipe(view, window, client.x);

    char text[STATUS_TEXT_BUFFER];
    BuildPointText(state.scaledPtX, state.scaledPtY, text);
    SetStatusText(view->host->statusBar, SCALED_POINT_PART, WidenUtf8(text));
    BuildPointText(state.imagePtX, state.imagePtY, text);
    SetStatusText(view->host->statusBar, IMAGE_POINT_PART, WidenUtf8(text));
    WriteColourReadout(view, window);
    if (ActiveDocumentWindow(view->host->mdiClient) == window) UpdateCompareInfo(view->host);
    return 0;
}

void RewriteColourReadout(const View* view, HWND window) {
    // Nothing to say again before the cursor has been over a picture.
    if (!shownTexts[COLOUR_PART].empty()) WriteColourReadout(view, window);
}
