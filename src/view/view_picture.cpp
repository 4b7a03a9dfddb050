// A window changes its picture in one place: open, a step through the
// folder, a reload. Same pixel size keeps zoom and position (frame-by-frame
// inspection); any other size starts over as a new picture does.

#include <windows.h>

#include <commctrl.h>

#include <new>

#include "document/documents.h"
#include "core/compare/compare_text.h"
#include "core/files/paths.h"
#include "core/text/text.h"
#include "core/geometry/layout.h"
#include "core/geometry/scale_maps.h"
#include "core/geometry/zoom.h"
#include "view/compare.h"
#include "view/view_handlers.h"
#include "view/view_texts.h"

namespace {

constexpr WPARAM PICTURE_PART = 3;

bool IsActive(const View* view, HWND window) { return ActiveDocumentWindow(view->host->mdiClient) == window; }

// Tables for the new picture, unless the ones the window has are of the
// right size already.
bool PrepareTables(View* view, uint32_t mapLength) {
    const ScaleMapCapacity capacity = CapacityForPicture(mapLength);
    if (view->majorTable && capacity.major == view->state.mapCapacity.major &&
        capacity.minor == view->state.mapCapacity.minor) {
        return true;
    }
    std::unique_ptr<uint32_t[]> major(new (std::nothrow) uint32_t[capacity.major]);
    std::unique_ptr<uint32_t[]> minor(new (std::nothrow) uint32_t[capacity.minor]);
    if (!major || !minor) return false;
    view->majorTable = std::move(major);
    view->minorTable = std::move(minor);
    view->state.majorMap = view->majorTable.get();
    view->state.minorMap = view->minorTable.get();
    view->state.mapCapacity = capacity;
    return true;
}

// A new picture's start: 100 %, centred on its middle.
void StartOver(ViewState& state, uint32_t width, uint32_t height) {
    state.imageW = width;
    state.imageH = height;
    state.mapLength = (width > height ? width : height) + 1;
    state.zoom = ZOOM_UNIT;
    RebuildScaleMaps(state);
    state.centreX = static_cast<int32_t>(width / 2);
    state.centreY = static_cast<int32_t>(height / 2);
    state.hScroll.nPos = 0;
    state.vScroll.nPos = 0;
    state.lastZoom = 0;
    LayoutView(state);
}

}  // namespace

std::vector<HWND> DocumentWindows(HWND mdiClient) {
    std::vector<HWND> windows;
    for (HWND child = GetWindow(mdiClient, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ViewOf(child) != nullptr) windows.push_back(child);
    }
    return windows;
}

HWND ActiveDocumentWindow(HWND mdiClient) {
    const HWND active = reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDIGETACTIVE, 0, 0));
    return active != nullptr && ViewOf(active) != nullptr ? active : nullptr;
}

bool ShowPicture(View* view, HWND window, const std::shared_ptr<const Picture>& picture,
                 const std::shared_ptr<const FolderList>& folder) {
    const bool sameSize = view->picture && view->picture->Width() == picture->Width() &&
                          view->picture->Height() == picture->Height();
    if (!sameSize) {
        const uint32_t longer = picture->Width() > picture->Height() ? picture->Width() : picture->Height();
        if (!PrepareTables(view, longer + 1)) return false;
        StartOver(view->state, picture->Width(), picture->Height());
    }
    view->picture = picture;
    view->path = picture->Identity().path;
    if (folder) view->folder = folder;
    StartAnimation(view, window);
    UpdateTitle(view, window);
    UpdatePictureReadout(view, window);
    // Re-layout: bars, their positions, the zoom readout and a full repaint.
    SendMessageW(window, WM_SIZE, 0, 0);
    PictureChanged(view, window);
    return true;
}

void UpdateTitle(const View* view, HWND window) {
    std::wstring title = FileNameOf(view->path);
    if (view->host->compare != nullptr && view->host->compare->reference == window) title += TEXT_REFERENCE_SUFFIX;
    SetWindowTextW(window, title.c_str());
}

void WaitForPicture(View* view, HWND window, const std::wstring& path, uint64_t ticket, LoadPurpose purpose) {
    StopWaiting(view);
    view->pendingTicket = ticket;
    view->pendingPurpose = purpose;
    view->path = path;
    if (!view->picture) UpdateTitle(view, window);
    UpdatePictureReadout(view, window);
}

void StopWaiting(View* view) {
    if (view->pendingTicket != 0 && view->host->documents != nullptr) view->host->documents->Release(view->pendingTicket);
    view->pendingTicket = 0;
}

void ShowPictureStatus(const View* view, HWND window, const wchar_t* text) {
    if (IsActive(view, window)) SendMessageW(view->host->statusBar, SB_SETTEXTW, PICTURE_PART, reinterpret_cast<LPARAM>(text));
}

void UpdatePictureReadout(const View* view, HWND window) {
    if (view->pendingTicket != 0) {
        ShowPictureStatus(view, window, TEXT_LOADING);
        return;
    }
    if (!view->picture) return;
    // A difference view tells how much of the overlap differs instead.
    const KnownFigures& known = view->compare.figures;
    if (DifferenceShown(view) != nullptr && known.known) {
        ShowPictureStatus(view, window,
                          DifferingText(known.figures.differingPixels, known.figures.overlapPixels).c_str());
        return;
    }
    int32_t place = -1, count = 0;
    if (view->folder) {
        place = PlaceInFolder(*view->folder, FileNameOf(view->path));
        count = static_cast<int32_t>(view->folder->names.size());
    }
    FrameReadout frame;
    if (view->animation) frame = {TEXT_FRAME, view->player.Current(), view->player.FrameCount()};
    char text[STATUS_TEXT_BUFFER];
    BuildPictureText(view->picture->Width(), view->picture->Height(), place, count, frame, text);
    if (IsActive(view, window)) SendMessageW(view->host->statusBar, SB_SETTEXTA, PICTURE_PART, reinterpret_cast<LPARAM>(text));
}
