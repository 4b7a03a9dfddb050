// The status bar readouts: the zoom (part 0) and the scaled and source
// pixels under the cursor (parts 1 and 2).

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/text/text.h"
#include "core/geometry/zoom.h"
#include "view/view_handlers.h"
#include "view/view_texts.h"

namespace {

constexpr WPARAM ZOOM_PART = 0;
constexpr WPARAM SCALED_POINT_PART = 1;
constexpr WPARAM IMAGE_POINT_PART = 2;
constexpr WPARAM COLOUR_PART = 4;

constexpr WPARAM CACHED_PARTS = COLOUR_PART + 1;

// What this file last wrote into each of its parts: the status bar is one for
// all windows, and a part already showing the text is not redrawn with it.
std::string shownTexts[CACHED_PARTS];

void SetStatusText(HWND statusBar, WPARAM part, const char* text) {
    if (shownTexts[part] == text) return;
    shownTexts[part] = text;
    SendMessageA(statusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text));
}

}  // namespace

void UpdateZoomReadout(const View* view) {
    // Part 0 is the active window's: windows laid out again with it (turned
    // with its picture, following it) leave it alone.
    const HWND active = ActiveDocumentWindow(view->host->mdiClient);
    if (active == nullptr || ViewOf(active) != view) return;
    char text[STATUS_TEXT_BUFFER];
    BuildZoomText(view->state.zoom, text);
    SetStatusText(view->host->statusBar, ZOOM_PART, text);
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

    char text[STATUS_TEXT_BUFFER];
    BuildPointText(state.scaledPtX, state.scaledPtY, text);
    SetStatusText(view->host->statusBar, SCALED_POINT_PART, text);
    BuildPointText(state.imagePtX, state.imagePtY, text);
    SetStatusText(view->host->statusBar, IMAGE_POINT_PART, text);
    // The colour of that picture pixel as decoded, not as the screen shows it.
    const Picture& picture = *view->picture;
    if (static_cast<uint32_t>(state.imagePtX) >= picture.Width() ||
        static_cast<uint32_t>(state.imagePtY) >= picture.Height()) {
        return 0;
    }
    const uint32_t x = static_cast<uint32_t>(state.imagePtX), y = static_cast<uint32_t>(state.imagePtY);
    if (picture.HasDeepColours()) {
        const DeepColour deep = picture.DeepColourAt(x, y);
        BuildDeepColourText(deep.red, deep.green, deep.blue, deep.alpha, picture.HasDeepAlpha(), TEXT_DEEP_COLOUR_TAG,
                            text);
    } else {
        BuildColourText(picture.DecodedColour(x, y), picture.HasAlpha(), text);
    }
    SetStatusText(view->host->statusBar, COLOUR_PART, text);
    return 0;
}
