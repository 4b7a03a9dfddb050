#include "core/files/folder_order.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

constexpr wchar_t EXTENSION_DOT = L'.';

// Lower-cases ASCII letters only: other scripts sort by code unit.
uint32_t FoldAscii(wchar_t unit) {
    const uint32_t value = static_cast<uint32_t>(unit);
    return value >= 'A' && value <= 'Z' ? value - 'A' + 'a' : value;
}

bool IsDigit(wchar_t unit) {
    return unit >= L'0' && unit <= L'9';
}

// Three-way comparison of two unsigned values.
int Order(size_t a, size_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool EqualIgnoringAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k) {
        if (FoldAscii(a[k]) != FoldAscii(b[k])) return false;
    }
    return true;
}

// Plain code-unit order, the tie-break that makes the order total.
int CodeUnitCompare(const std::wstring& a, const std::wstring& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t k = 0; k < common; ++k) {
        const uint32_t left = static_cast<uint32_t>(a[k]);
        const uint32_t right = static_cast<uint32_t>(b[k]);
        if (left != right) return left < right ? -1 : 1;
    }
    return Order(a.size(), b.size());
}

int TotalCompare(const std::wstring& a, const std::wstring& b, NameCompare compare) {
    const int primary = compare(a, b);
    if (primary != 0) return primary;
    return CodeUnitCompare(a, b);
}

constexpr const wchar_t* BUILT_IN_EXTENSIONS[] = {L"jpg", L"jpeg", L"jpe", L"jfif", L"png", L"webp",
                                                  L"bmp", L"dib", L"gif", L"tif", L"tiff", L"ico"};
constexpr wchar_t LIST_SEPARATORS[] = L",; ";
constexpr wchar_t ANY_NAME = L'*';

std::wstring LowerAscii(const std::wstring& text) {
    std::wstring lower;
    lower.reserve(text.size());
    for (wchar_t unit : text) lower.push_back(static_cast<wchar_t>(FoldAscii(unit)));
    return lower;
}

}  // namespace

int NaturalCompare(const std::wstring& a, const std::wstring& b) {
    // The first difference in leading zeros, kept until the end.
    int zerosOrder = 0;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const size_t runA = i, runB = j;
            while (i < a.size() && a[i] == L'0') ++i;
            while (j < b.size() && b[j] == L'0') ++j;
            const size_t zerosA = i - runA, zerosB = j - runB;
            const size_t digitsA = i, digitsB = j;
            while (i < a.size() && IsDigit(a[i])) ++i;
            while (j < b.size() && IsDigit(b[j])) ++j;
            // Without leading zeros, the longer run is the larger value;
            // runs of one length compare digit by digit.
            const int byLength = Order(i - digitsA, j - digitsB);
            if (byLength != 0) return byLength;
            for (size_t k = 0; k < i - digitsA; ++k) {
                if (a[digitsA + k] != b[digitsB + k]) return a[digitsA + k] < b[digitsB + k] ? -1 : 1;
            }
            if (zerosOrder == 0) zerosOrder = Order(zerosA, zerosB);
            continue;
        }
        const uint32_t left = FoldAscii(a[i]);
        const uint32_t right = FoldAscii(b[j]);
        if (left != right) return left < right ? -1 : 1;
        ++i;
        ++j;
    }
    const int byRest = Order(a.size() - i, b.size() - j);
    return byRest != 0 ? byRest : zerosOrder;
}

const PictureExtensions& BuiltInPictureExtensions() {
    static const PictureExtensions builtIn(std::begin(BUILT_IN_EXTENSIONS), std::end(BUILT_IN_EXTENSIONS));
    return builtIn;
}

void AddPictureExtensions(const std::wstring& list, PictureExtensions& extensions) {
    size_t at = 0;
    while (at <= list.size()) {
        size_t end = list.find_first_of(LIST_SEPARATORS, at);
        if (end == std::wstring::npos) end = list.size();
        std::wstring extension = list.substr(at, end - at);
        at = end + 1;
        while (!extension.empty() && (extension[0] == ANY_NAME || extension[0] == EXTENSION_DOT)) extension.erase(0, 1);
        if (extension.empty() || extension.find_first_of(L"*.?") != std::wstring::npos) continue;
        extension = LowerAscii(extension);
        if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) {
            extensions.push_back(extension);
        }
    }
}

std::wstring ExtensionPatterns(const PictureExtensions& extensions) {
    std::wstring patterns;
    for (const std::wstring& extension : extensions) {
        if (!patterns.empty()) patterns += L';';
        patterns += L"*.";
        patterns += extension;
    }
    return patterns;
}

bool HasPictureExtension(const std::wstring& name, const PictureExtensions& extensions) {
    const size_t dot = name.rfind(EXTENSION_DOT);
    if (dot == std::wstring::npos) return false;
    const std::wstring extension = name.substr(dot + 1);
    for (const std::wstring& known : extensions) {
        if (EqualIgnoringAsciiCase(extension, known)) return true;
    }
    return false;
}

std::vector<std::wstring> OrderPictures(const std::vector<FolderEntry>& entries, NameCompare compare,
                                        const PictureExtensions& extensions) {
    if (compare == nullptr) compare = NaturalCompare;
    std::vector<std::wstring> pictures;
    for (const FolderEntry& entry : entries) {
        if (!entry.isDirectory && HasPictureExtension(entry.name, extensions)) pictures.push_back(entry.name);
    }
    std::stable_sort(pictures.begin(), pictures.end(), [compare](const std::wstring& a, const std::wstring& b) {
        return TotalCompare(a, b, compare) < 0;
    });
    return pictures;
}

int FindPicture(const std::vector<std::wstring>& ordered, const std::wstring& name) {
    for (size_t k = 0; k < ordered.size(); ++k) {
        if (ordered[k] == name) return static_cast<int>(k);
    }
    for (size_t k = 0; k < ordered.size(); ++k) {
        if (EqualIgnoringAsciiCase(ordered[k], name)) return static_cast<int>(k);
    }
    return -1;
}

int NeighbourPicture(const std::vector<std::wstring>& ordered, const std::wstring& name, int direction,
                     NameCompare compare) {
    if (ordered.empty()) return -1;
    if (compare == nullptr) compare = NaturalCompare;
    const size_t count = ordered.size();
    const bool forward = direction >= 0;
    const int found = FindPicture(ordered, name);
    if (found >= 0) {
        const size_t at = static_cast<size_t>(found);
        return static_cast<int>(forward ? (at + 1) % count : (at + count - 1) % count);
    }
    // The first entry that would follow name: a binary search, which ends
    // after log2(count) steps even on a list not sorted by compare.
    size_t low = 0, high = count;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (TotalCompare(ordered[middle], name, compare) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return static_cast<int>(forward ? low % count : (low + count - 1) % count);
}
