#include "view/view_texts.h"

#include <map>

#include "core/text/text_ids.h"
#include "win32/texts.h"

const CompareWords& CompareWordsInUse() {
    // Filled once per language, on the window thread.
    static std::map<Language, CompareWords> filled;
    const auto known = filled.find(CurrentLanguage());
    if (known != filled.end()) return known->second;
    CompareWords words;
    for (int metric = 0; metric < DIFFERENCE_METRIC_COUNT; ++metric) {
        words.metricNames[metric] = Text(IDS_METRIC_FIRST + static_cast<UINT>(metric));
    }
    words.differenceMode = Text(IDS_COMPARE_DIFFERENCE_MODE);
    words.toleranceMode = Text(IDS_COMPARE_TOLERANCE_MODE);
    words.offsetMode = Text(IDS_COMPARE_OFFSET_MODE);
    words.autoFlickerMode = Text(IDS_COMPARE_AUTO_FLICKER_MODE);
    words.wipeMode = Text(IDS_COMPARE_WIPE_MODE);
    words.noReferencePixel = Text(IDS_COMPARE_NO_REFERENCE_PIXEL);
    words.identical = Text(IDS_COMPARE_IDENTICAL);
    words.noOverlap = Text(IDS_COMPARE_NO_OVERLAP);
    words.differing = Text(IDS_COMPARE_DIFFERING);
    words.pictureLine = Text(IDS_COMPARE_PICTURE_LINE);
    words.referenceLine = Text(IDS_COMPARE_REFERENCE_LINE);
    words.alignmentLine = Text(IDS_COMPARE_ALIGNMENT_LINE);
    words.centre = Text(IDS_COMPARE_CENTRE);
    words.topLeft = Text(IDS_COMPARE_TOP_LEFT);
    words.overlapLine = Text(IDS_COMPARE_OVERLAP_LINE);
    words.noOverlapLine = Text(IDS_COMPARE_NO_OVERLAP_LINE);
    words.cursorLine = Text(IDS_COMPARE_CURSOR_LINE);
    words.cursorOutsideLine = Text(IDS_COMPARE_CURSOR_OUTSIDE_LINE);
    words.hexadecimal = Text(IDS_COMPARE_HEXADECIMAL);
    words.wholeOverlapLine = Text(IDS_COMPARE_WHOLE_OVERLAP_LINE);
    words.statisticsHeader = Text(IDS_COMPARE_STATISTICS_HEADER);
    words.differingLine = Text(IDS_COMPARE_DIFFERING_LINE);
    words.noMemoryForFigures = Text(IDS_COMPARE_NO_MEMORY_FOR_FIGURES);
    return filled.emplace(CurrentLanguage(), words).first->second;
}
