// The surfaces of comparing: the difference view's colours and statistics in
// one pass over the picture, and the reference placed under the picture for
// flicker and wipe. Each is made once for what it shows and painted through
// the same scaled copy as the picture.

#include <windows.h>

#include <cstdint>
#include <new>

#include "view/back_buffer.h"
#include "view/compare.h"
#include "view/view_handlers.h"
#include "core/text/text_ids.h"
#include "win32/row_threads.h"
#include "win32/texts.h"

namespace {

constexpr uint64_t BYTES_PER_PIXEL = 4;

bool SameOffset(const PairOffset& a, const PairOffset& b) { return a.dx == b.dx && a.dy == b.dy; }

// What the difference view's colours depend on; the alignment comes in
// through the offset.
bool SameLook(const CompareSettings& a, const CompareSettings& b) {
    return a.metric == b.metric && a.exposure == b.exposure && a.tolerance == b.tolerance;
}

// A surface of the picture's size, the one there if it has that size. The old
// one goes first, so that two never take memory at once.
bool Allocate(CompareSurface& target, const Picture& picture) {
    if (target.pixels && static_cast<uint32_t>(target.surface.width) == picture.Width() &&
        static_cast<uint32_t>(target.surface.height) == picture.Height()) {
        return true;
    }
    target = CompareSurface();
    const uint64_t count = static_cast<uint64_t>(picture.Width()) * picture.Height();
    if (count == 0 || count > SIZE_MAX / BYTES_PER_PIXEL) return false;
    target.pixels.reset(new (std::nothrow) uint32_t[static_cast<size_t>(count)]);
    if (!target.pixels) return false;
    target.surface = {reinterpret_cast<uint8_t*>(target.pixels.get()), static_cast<int32_t>(picture.Width()),
                      static_cast<int32_t>(picture.Height()),
                      static_cast<int32_t>(picture.Width() * BYTES_PER_PIXEL)};
    return true;
}

ComparedPicture Compared(const Picture& picture) { return {picture.DecodedPixels(), picture.HasAlpha()}; }

// The table of the metric and exposure last asked for: built again only when
// they change. Window thread only.
const DifferenceTable& TableFor(const CompareSettings& settings) {
    static DifferenceTable table;
    static bool built = false;
    static DifferenceMetric builtMetric = DifferenceMetric::Absolute;
    static int32_t builtExposure = 0;
    if (!built || builtMetric != settings.metric || builtExposure != settings.exposure) {
        table.Build(settings.metric, settings.exposure);
        built = true;
        builtMetric = settings.metric;
        builtExposure = settings.exposure;
    }
    return table;
}

// The rows of a picture on all cores, each worker adding to totals of its
// own, merged once all are done.
template <typename Pass>
void RunRowPass(int32_t rows, DifferenceTotals& totals, Pass pass) {
    DifferenceTotals parts[MAX_ROW_WORKERS];
    RunRowsOnAllCores(rows, [&](int32_t worker, int32_t begin, int32_t end) { pass(begin, end, parts[worker]); });
    for (const DifferenceTotals& part : parts) MergeTotals(totals, part);
}

// The difference view's colours of the pair into target, and the figures of
// the overlap into the window's record.
void RenderDifference(View* view, const std::shared_ptr<const Picture>& reference, PairOffset offset,
                      const PixelSurface& target) {
    const CompareSettings& settings = view->host->settings->compare;
    const ComparedPicture a = Compared(*view->picture), b = Compared(*reference);
    const DifferenceTable& table = TableFor(settings);
    DifferenceTotals totals;
    RunRowPass(static_cast<int32_t>(view->picture->Height()), totals,
               [&](int32_t begin, int32_t end, DifferenceTotals& part) {
                   RenderDifferenceRows(a, b, offset, settings, table, BACKGROUND_PIXEL, target, begin, end, part);
               });
    KnownFigures& figures = view->compare.figures;
    figures.known = true;
    figures.figures = FiguresOf(totals, a.hasAlpha || b.hasAlpha);
    figures.picture = view->picture;
    figures.reference = reference;
    figures.offset = offset;
    figures.tolerance = settings.tolerance;
}

void RenderPlaced(const View* view, const Picture& reference, PairOffset offset, const PixelSurface& target) {
    DifferenceTotals unused;
    const PixelSurface shown = reference.Surface();
    RunRowPass(static_cast<int32_t>(view->picture->Height()), unused,
               [&](int32_t begin, int32_t end, DifferenceTotals&) {
                   PlaceReferenceRows(shown, target.width, target.height, offset, BACKGROUND_PIXEL, target, begin, end);
               });
}

bool IsActive(const View* view, HWND window) { return ActiveDocumentWindow(view->host->mdiClient) == window; }

void TellNoMemory(const View* view, const wchar_t* text) {
    MessageBoxW(view->host->frame, text, Text(IDS_MESSAGE_CAPTION), MB_OK);
}

// The difference view's surface, made for the pair as it is now. False when
// it cannot be allocated.
bool MakeDifference(View* view, const std::shared_ptr<const Picture>& reference, PairOffset offset) {
    CompareSurface& made = view->compare.differenceSurface;
    const CompareSettings& settings = view->host->settings->compare;
    if (made.pixels && made.picture == view->picture && made.reference == reference && SameOffset(made.offset, offset) &&
        SameLook(made.settings, settings)) {
        return true;
    }
    if (!Allocate(made, *view->picture)) return false;
    RenderDifference(view, reference, offset, made.surface);
    made.picture = view->picture;
    made.reference = reference;
    made.offset = offset;
    made.settings = settings;
    return true;
}

bool MakePlaced(View* view, const std::shared_ptr<const Picture>& reference, PairOffset offset) {
    CompareSurface& made = view->compare.placedReference;
    if (made.pixels && made.picture == view->picture && made.reference == reference && SameOffset(made.offset, offset)) {
        return true;
    }
    if (!Allocate(made, *view->picture)) return false;
    RenderPlaced(view, *reference, offset, made.surface);
    made.picture = view->picture;
    made.reference = reference;
    made.offset = offset;
    return true;
}

bool UsesReference(const ViewCompare& compare) {
    return compare.difference || compare.wipe || compare.autoFlicker || compare.showReference;
}

}  // namespace

std::shared_ptr<const Picture> ReferencePictureFor(const View* view, HWND window) {
    const HWND reference = view->host->compare != nullptr ? view->host->compare->reference : nullptr;
    if (reference == nullptr || reference == window) return nullptr;
    const View* referenceView = ViewOf(reference);
    return referenceView != nullptr ? referenceView->picture : nullptr;
}

PairOffset PairOffsetFor(const View* view, const Picture& reference) {
    const Picture& picture = *view->picture;
    return OffsetOf(view->host->settings->compare.alignment, static_cast<int32_t>(picture.Width()),
                    static_cast<int32_t>(picture.Height()), static_cast<int32_t>(reference.Width()),
                    static_cast<int32_t>(reference.Height()), view->compare.offsetX, view->compare.offsetY);
}

const PixelSurface* DifferenceShown(const View* view) {
    const CompareSurface& made = view->compare.differenceSurface;
    return view->compare.difference && made.pixels && made.picture == view->picture ? &made.surface : nullptr;
}

const PixelSurface* ReferencePlaced(const View* view) {
    const CompareSurface& made = view->compare.placedReference;
    return made.pixels && made.picture == view->picture ? &made.surface : nullptr;
}

void RefreshCompare(View* view, HWND window) {
    ViewCompare& compare = view->compare;
    const std::shared_ptr<const Picture> reference = view->picture ? ReferencePictureFor(view, window) : nullptr;
    const PairOffset offset = reference ? PairOffsetFor(view, *reference) : PairOffset{};
    const bool hadSurfaces = compare.differenceSurface.pixels || compare.placedReference.pixels;
    // Figures of another pair would keep its pictures alive.
    if (compare.figures.picture != view->picture || compare.figures.reference != reference) {
        compare.figures = KnownFigures();
    }

    if (compare.difference && reference) {
        if (!MakeDifference(view, reference, offset)) {
            compare.difference = false;
            compare.differenceSurface = CompareSurface();
            TellNoMemory(view, Text(IDS_NO_MEMORY_FOR_DIFFERENCE));
        }
    } else {
        compare.differenceSurface = CompareSurface();
    }

    if (reference && (compare.wipe || compare.autoFlicker || compare.showReference)) {
        if (!MakePlaced(view, reference, offset)) {
            compare.wipe = compare.autoFlicker = compare.showReference = compare.keyHeld = false;
            KillTimer(window, FLICKER_TIMER);
            compare.placedReference = CompareSurface();
            TellNoMemory(view, Text(IDS_NO_MEMORY_FOR_REFERENCE));
        }
    } else {
        compare.placedReference = CompareSurface();
    }

    const bool comparing = hadSurfaces || UsesReference(compare);
    if (comparing) InvalidateRect(window, nullptr, FALSE);
    if (IsActive(view, window)) {
        UpdateZoomReadout(view);
        UpdatePictureReadout(view, window);
        // The cursor's readouts change only where the window compares (or
        // just stopped); a plain window waits for the cursor to move.
        if (comparing) UpdateCursorReadouts(view, window);
        UpdateCompareInfo(view->host);
    }
}

void RefreshAllCompares(const ViewHost* host) {
    for (HWND window : DocumentWindows(host->mdiClient)) RefreshCompare(ViewOf(window), window);
    UpdateCompareInfo(host);
}

void PictureChanged(View* view, HWND window) {
    if (view->host->compare != nullptr && view->host->compare->reference == window) {
        RefreshAllCompares(view->host);
    } else {
        RefreshCompare(view, window);
    }
}

const CompareFigures* FiguresFor(View* view, HWND window) {
    if (!view->picture) return nullptr;
    const std::shared_ptr<const Picture> reference = ReferencePictureFor(view, window);
    if (!reference) return nullptr;
    const PairOffset offset = PairOffsetFor(view, *reference);
    const KnownFigures& known = view->compare.figures;
    if (known.known && known.picture == view->picture && known.reference == reference &&
        SameOffset(known.offset, offset) && known.tolerance == view->host->settings->compare.tolerance) {
        return &known.figures;
    }
    // Not a difference view: the same pass into a surface of its own, for
    // as long as it takes.
    CompareSurface scratch;
    if (!Allocate(scratch, *view->picture)) return nullptr;
    RenderDifference(view, reference, offset, scratch.surface);
    return &view->compare.figures.figures;
}

PlainPoint LinkedDisplacement(const View* view, HWND window) {
    if (!view->picture) return {0, 0};
    if (const std::shared_ptr<const Picture> reference = ReferencePictureFor(view, window)) {
        const PairOffset offset = PairOffsetFor(view, *reference);
        return {offset.dx, offset.dy};
    }
    if (view->host->compare != nullptr && view->host->compare->reference == window) return {0, 0};
    return {-view->compare.offsetX, -view->compare.offsetY};
}
