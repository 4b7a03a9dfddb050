// Row builders for x86 processors with AVX2, chosen at run time: the 32-bit
// program is built for plain i686, so nothing here runs unless the processor
// reports AVX2. Each loads whole runs of neighbouring picture pixels and
// arranges them by the table's own offsets, and prefetches the picture row
// the copy will build next, so that its first cache lines (and those after
// every page boundary, where the hardware prefetcher stops) are on their way
// while this row is built.
#include "core/pixels/pixel_copy_rows.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

namespace {

constexpr int32_t BLOCK = 8;              // pixels per 256-bit register
constexpr uintptr_t STORE_ALIGN = 32;     // a whole register: no store splits a cache line

#define KIV_AVX2 __attribute__((target("avx2")))

// Stores go to aligned addresses only: the builders start with the pixels
// before the first one, since a store across two cache lines costs twice.
template <bool streaming>
KIV_AVX2 inline void Store(uint32_t* out, __m256i pixels) {
    if constexpr (streaming) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out), pixels);
    } else {
        _mm256_store_si256(reinterpret_cast<__m256i*>(out), pixels);
    }
}

KIV_AVX2 inline __m256i Load(const uint32_t* in) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
}

KIV_AVX2 inline void Prefetch(const uint32_t* address) {
    _mm_prefetch(reinterpret_cast<const char*>(address), _MM_HINT_T0);
}

// Pixels before the first aligned output address.
inline int32_t HeadCount(const uint32_t* out, int32_t count) {
    const uintptr_t misalignment = reinterpret_cast<uintptr_t>(out) % STORE_ALIGN;
    const int32_t head = misalignment == 0 ? 0 : static_cast<int32_t>((STORE_ALIGN - misalignment) / 4);
    return head < count ? head : count;
}

// The span's fields as locals: the stores through out could otherwise alias
// them, and the compiler would read them from memory after every store.
struct RowView {
    const uint32_t* in;
    const uint32_t* next;
    const uint32_t* columns;
    uint32_t* out;
    int32_t count;
    uint32_t pictureWidth;

    explicit RowView(const RowSpan& span)
        : in(span.in), next(span.next), columns(span.columns), out(span.out), count(span.count),
          pictureWidth(span.pictureWidth) {}

    void Gather(int32_t from, int32_t to) const {
        for (int32_t k = from; k < to; ++k) out[k] = in[columns[k]];
    }
};

template <bool streaming>
KIV_AVX2 void IdentityRow(const RowSpan& span) {
    const RowView row(span);
    const uint32_t* in = row.in + row.columns[0];
    const uint32_t* next = row.next + row.columns[0];
    int32_t k = HeadCount(row.out, row.count);
    for (int32_t m = 0; m < k; ++m) row.out[m] = in[m];
    for (; k + 2 * BLOCK <= row.count; k += 2 * BLOCK) {
        Prefetch(next + k);
        const __m256i low = Load(in + k);
        const __m256i high = Load(in + k + BLOCK);
        Store<streaming>(row.out + k, low);
        Store<streaming>(row.out + k + BLOCK, high);
    }
    for (; k < row.count; ++k) row.out[k] = in[k];
}

// Eight output pixels come from at most eight neighbouring picture pixels:
// one load and one permute by the offsets from the first. The row's last
// blocks, whose load would pass the picture's width, go pixel by pixel.
template <bool streaming>
KIV_AVX2 void EnlargingRow(const RowSpan& span) {
    const RowView row(span);
    int32_t k = HeadCount(row.out, row.count);
    row.Gather(0, k);
    for (; k + BLOCK <= row.count; k += BLOCK) {
        const uint32_t base = row.columns[k];
        if (base + BLOCK > row.pictureWidth) break;
        Prefetch(row.next + base);
        const __m256i offsets = _mm256_sub_epi32(Load(row.columns + k), _mm256_set1_epi32(static_cast<int>(base)));
        Store<streaming>(row.out + k, _mm256_permutevar8x32_epi32(Load(row.in + base), offsets));
    }
    row.Gather(k, row.count);
}

// Below 100 %: eight output pixels span up to 8 * windows picture pixels, so
// that many loads, each permuted by the offsets and blended in where the
// offset falls into its window. Three prefetches per block cover every cache
// line the same block of the next row touches at spans up to 23.
template <int windows, bool streaming>
KIV_AVX2 void ShrinkingRow(const RowSpan& span) {
    const RowView row(span);
    int32_t k = HeadCount(row.out, row.count);
    row.Gather(0, k);
    for (; k + BLOCK <= row.count; k += BLOCK) {
        const uint32_t base = row.columns[k];
        if (base + BLOCK * windows > row.pictureWidth) break;
        Prefetch(row.next + base);
        Prefetch(row.next + row.columns[k + BLOCK / 2]);
        Prefetch(row.next + row.columns[k + BLOCK - 1]);
        const __m256i offsets = _mm256_sub_epi32(Load(row.columns + k), _mm256_set1_epi32(static_cast<int>(base)));
        __m256i pixels = _mm256_permutevar8x32_epi32(Load(row.in + base), offsets);
        for (int window = 1; window < windows; ++window) {
            const __m256i inWindow = _mm256_cmpgt_epi32(offsets, _mm256_set1_epi32(BLOCK * window - 1));
            const __m256i more = _mm256_permutevar8x32_epi32(Load(row.in + base + BLOCK * window), offsets);
            pixels = _mm256_blendv_epi8(pixels, more, inWindow);
        }
        Store<streaming>(row.out + k, pixels);
    }
    row.Gather(k, row.count);
}

// Arbitrary tables, and shrinking by more than a third: pixel by pixel,
// prefetching the next row all the same; written through the caches.
KIV_AVX2 void AnyRow(const RowSpan& span) {
    const RowView row(span);
    int32_t k = 0;
    for (; k + BLOCK <= row.count; k += BLOCK) {
        Prefetch(row.next + row.columns[k]);
        row.Gather(k, k + BLOCK);
    }
    row.Gather(k, row.count);
}

template <bool streaming>
RowBuilder Builders(RowShape shape, uint32_t maxSpan) {
    switch (shape) {
        case RowShape::Identity:
            return IdentityRow<streaming>;
        case RowShape::Enlarging:
            return EnlargingRow<streaming>;
        case RowShape::Shrinking:
            if (maxSpan < 2 * BLOCK) return ShrinkingRow<2, streaming>;
            if (maxSpan < 3 * BLOCK) return ShrinkingRow<3, streaming>;
            return AnyRow;
        case RowShape::Any:
            return AnyRow;
        case RowShape::Checked:
            return nullptr;  // the portable loop: rare and cheap to check
    }
    return nullptr;
}

bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}

}  // namespace

RowBuilder WideRowBuilder(RowShape shape, uint32_t maxSpan, bool streaming) {
    if (!HasAvx2()) {
        return nullptr;
    }
    return streaming ? Builders<true>(shape, maxSpan) : Builders<false>(shape, maxSpan);
}

bool CanStream() {
    return HasAvx2();
}

KIV_AVX2 void StreamRow(uint32_t* out, const uint32_t* in, int32_t count) {
    int32_t k = HeadCount(out, count);
    for (int32_t m = 0; m < k; ++m) out[m] = in[m];
    for (; k + 2 * BLOCK <= count; k += 2 * BLOCK) {
        const __m256i low = Load(in + k);
        const __m256i high = Load(in + k + BLOCK);
        Store<true>(out + k, low);
        Store<true>(out + k + BLOCK, high);
    }
    for (; k < count; ++k) out[k] = in[k];
}

KIV_AVX2 void StreamingDone() {
    _mm_sfence();
}

#else

RowBuilder WideRowBuilder(RowShape, uint32_t, bool) {
    return nullptr;
}

bool CanStream() {
    return false;
}

void StreamRow(uint32_t*, const uint32_t*, int32_t) {}

void StreamingDone() {}

#endif
