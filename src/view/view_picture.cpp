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
#include "core/text/text_ids.h"
#include "win32/texts.h"
#include "view/view_texts.h"

namespace {

constexpr WPARAM PICTURE_PART = 3;

bool IsActive(const View* view, HWND window) { return ActiveDocumentWindow(view->host->mdiClient) == window; }

void ShowPictureStatus(const View* view, HWND window, const wchar_t* text) {
    if (IsActive(view, window)) SendMessageW(view->host->statusBar, SB_SETTEXTW, PICTURE_PART, reinterpret_cast<LPARAM>(text));
}

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
    if (view->host->compare != nullptr && view->host->compare->reference == window) title += Text(IDS_REFERENCE_SUFFIX);
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

std::wstring ReasonText(LoadError error, uint32_t width, uint32_t height) {
    switch (error) {
        case LoadError::NotFound: return Text(IDS_NOT_FOUND);
        case LoadError::IsFolder: return Text(IDS_IS_FOLDER);
        case LoadError::Unreadable: return Text(IDS_UNREADABLE);
        case LoadError::Empty: return Text(IDS_EMPTY);
        case LoadError::NotAPicture: return Text(IDS_NOT_A_PICTURE);
        case LoadError::TwelveBitJpeg: return Text(IDS_TWELVE_BIT_JPEG);
        case LoadError::TooLarge: return FormatText(IDS_TOO_LARGE, {std::to_wstring(width), std::to_wstring(height)});
        case LoadError::OutOfMemory: return Text(IDS_OUT_OF_MEMORY);
        case LoadError::Damaged:
        case LoadError::Cancelled:
        case LoadError::None: break;
    }
    return Text(IDS_DAMAGED);
}

void ShowPictureReason(View* view, HWND window, LoadError error, uint32_t width, uint32_t height) {
    view->note = {error, width, height};
    ShowPictureStatus(view, window, ReasonText(error, width, height).c_str());
}

void UpdatePictureReadout(View* view, HWND window) {
    view->note = PictureNote();
    if (view->pendingTicket != 0) {
        ShowPictureStatus(view, window, Text(IDS_LOADING));
        return;
    }
    if (!view->picture) return;
    // A difference view tells how much of the overlap differs instead.
    const KnownFigures& known = view->compare.figures;
    if (DifferenceShown(view) != nullptr && known.known) {
        ShowPictureStatus(view, window,
                          DifferingText(known.figures.differingPixels, known.figures.overlapPixels, CompareWordsInUse()).c_str());
        return;
    }
    int32_t place = -1, count = 0;
    if (view->folder) {
        place = PlaceInFolder(*view->folder, FileNameOf(view->path));
        count = static_cast<int32_t>(view->folder->names.size());
    }
    // The label in UTF-8, the text read back as such.
    const std::string label = NarrowUtf8(Text(IDS_FRAME_LABEL));
    FrameReadout frame;
    if (view->animation) frame = {label.c_str(), view->player.Current(), view->player.FrameCount()};
    char text[STATUS_TEXT_BUFFER];
    BuildPictureText(view->picture->Width(), view->picture->Height(), place, count, frame, text);
    ShowPictureStatus(view, window, WidenUtf8(text).c_str());
}

void RewriteViewTexts(const ViewHost* host) {
    for (HWND window : DocumentWindows(host->mdiClient)) UpdateTitle(ViewOf(window), window);
    RewriteCompareInfo(host);
    const HWND active = ActiveDocumentWindow(host->mdiClient);
    View* view = active != nullptr ? ViewOf(active) : nullptr;
    if (view == nullptr) return;
    UpdateZoomReadout(view);
    RewriteColourReadout(view, active);
    if (view->note.error != LoadError::None) {
        ShowPictureReason(view, active, view->note.error, view->note.width, view->note.height);
    } else {
        UpdatePictureReadout(view, active);
    }
}
