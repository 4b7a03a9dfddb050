// The difference pass with AVX2, chosen at run time: the 32-bit program is
// built for plain i686, so nothing here runs unless the processor reports
// AVX2. Eight pixel pairs at a time, widened to 16-bit channels (four pixels
// per register), give the deltas, the per-channel minimum, maximum and sum,
// the weighted errors and the differing count; the colours come from the
// same arithmetic as the portable loop or from the table by gathers. Sums
// are kept in narrow lanes for a chunk of blocks and added to 64-bit totals
// before they could overflow, so the totals are exact.
#include "core/compare/difference_rows.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))

#include <immintrin.h>

namespace {

#define KIV_AVX2 __attribute__((target("avx2,popcnt")))

constexpr int32_t BLOCK = 8;  // pixels per 256-bit register
// 16-bit lanes add two deltas (at most 510 apart from 0) per block: 64
// blocks stay below 32767.
constexpr int32_t CHUNK_BLOCKS = 64;
constexpr uintptr_t STORE_ALIGN = 32;
constexpr int32_t PACK_ORDER = 0xD8;  // _MM_SHUFFLE(3, 1, 2, 0): quads 0, 2, 1, 3

enum class Colour { Absolute, Table, Signed, Mask };

// Byte k of a pixel (blue, green, red, alpha) is channel CHANNEL_OF_BYTE[k]
// of the totals (red, green, blue, alpha).
constexpr int32_t CHANNEL_OF_BYTE[4] = {2, 1, 0, 3};

KIV_AVX2 inline __m256i Load(const uint32_t* in) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
}

template <bool streaming>
KIV_AVX2 inline void Store(uint32_t* out, __m256i pixels) {
    if constexpr (streaming) {
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out), pixels);
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), pixels);
    }
}

// Pixels before the first 32-byte aligned output address.
int32_t HeadCount(const uint32_t* out, int32_t count) {
    const uintptr_t misalignment = reinterpret_cast<uintptr_t>(out) % STORE_ALIGN;
    const int32_t head = misalignment == 0 ? 0 : static_cast<int32_t>((STORE_ALIGN - misalignment) / 4);
    return head < count ? head : count;
}

// The low 32 bits of each 64-bit lane of two registers (pixels 0..3 and
// 4..7), in pixel order.
KIV_AVX2 inline __m256i PackLow32(__m256i low, __m256i high) {
    const __m256 picked = _mm256_shuffle_ps(_mm256_castsi256_ps(low), _mm256_castsi256_ps(high),
                                            _MM_SHUFFLE(2, 0, 2, 0));
    return _mm256_permute4x64_epi64(_mm256_castps_si256(picked), PACK_ORDER);
}

// 16-bit channels of pixels 0..3 and 4..7 back to eight pixels; the fourth
// byte is cleared.
KIV_AVX2 inline __m256i PackChannels(__m256i low, __m256i high) {
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), PACK_ORDER);
    return _mm256_and_si256(packed, _mm256_set1_epi32(0x00FFFFFF));
}

// Per 64-bit lane (one pixel), the sum of its four 16-bit lanes weighted
// by weights, in the lane's low 32 bits.
KIV_AVX2 inline __m256i PixelSums(__m256i channels, __m256i weights) {
    const __m256i pairs = _mm256_madd_epi16(channels, weights);
    return _mm256_add_epi32(pairs, _mm256_srli_epi64(pairs, 32));
}

// What one block hands to the colour step.
struct Block {
    __m256i a[2];      // this picture's channels, pixels 0..3 and 4..7
    __m256i b[2];
    __m256i delta[2];
    __m256i absolute[2];
    __m256i same[2];   // per pixel (64-bit lane): all ones where no channel differs beyond the tolerance
};

struct ColourConstants {
    __m128i shift;     // exposure as a shift count
    __m256i rounding;  // half the divisor for negative exposures
    const uint8_t* pairBytes;
    const int32_t* sumBytes;
    bool enlarge;
};

// floor(min(255, |d| 2^e) + 0.5): a saturated shift left, or a rounded
// shift right.
KIV_AVX2 inline __m256i AbsoluteChannels(__m256i absolute, const ColourConstants& constants) {
    if (constants.enlarge) {
        return _mm256_min_epu16(_mm256_sll_epi16(absolute, constants.shift), _mm256_set1_epi16(255));
    }
    return _mm256_srl_epi16(_mm256_add_epi16(absolute, constants.rounding), constants.shift);
}

// The table's byte for every channel's (a, b): a 32-bit load at a * 256 + b,
// of which the low byte counts.
KIV_AVX2 inline __m256i TableChannels(__m256i a, __m256i b, const uint8_t* pairBytes) {
    const __m256i index = _mm256_or_si256(_mm256_slli_epi16(a, 8), b);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i byteMask = _mm256_set1_epi32(0xFF);
    const int* base = reinterpret_cast<const int*>(pairBytes);
    const __m256i low = _mm256_and_si256(_mm256_i32gather_epi32(base, _mm256_unpacklo_epi16(index, zero), 1), byteMask);
    const __m256i high =
        _mm256_and_si256(_mm256_i32gather_epi32(base, _mm256_unpackhi_epi16(index, zero), 1), byteMask);
    return _mm256_packus_epi32(low, high);  // undoes the unpacking's order
}

template <Colour colour>
KIV_AVX2 inline __m256i ColourOf(const Block& block, const ColourConstants& constants) {
    if constexpr (colour == Colour::Absolute) {
        return PackChannels(AbsoluteChannels(block.absolute[0], constants),
                            AbsoluteChannels(block.absolute[1], constants));
    } else if constexpr (colour == Colour::Table) {
        return PackChannels(TableChannels(block.a[0], block.b[0], constants.pairBytes),
                            TableChannels(block.a[1], block.b[1], constants.pairBytes));
    } else if constexpr (colour == Colour::Signed) {
        const __m256i zero = _mm256_setzero_si256();
        const __m256i colourLanes = _mm256_set1_epi64x(0x0000FFFFFFFFFFFFll);
        const __m256i ones = _mm256_set1_epi16(1);
        __m256i positive[2];
        __m256i negative[2];
        for (int half = 0; half < 2; ++half) {
            const __m256i plus = _mm256_and_si256(_mm256_max_epi16(block.delta[half], zero), colourLanes);
            const __m256i minus = _mm256_and_si256(_mm256_sub_epi16(plus, block.delta[half]), colourLanes);
            positive[half] = PixelSums(plus, ones);
            negative[half] = PixelSums(minus, ones);
        }
        const __m256i red = _mm256_i32gather_epi32(constants.sumBytes, PackLow32(negative[0], negative[1]), 4);
        const __m256i green = _mm256_i32gather_epi32(constants.sumBytes, PackLow32(positive[0], positive[1]), 4);
        return _mm256_or_si256(_mm256_slli_epi32(red, 16), _mm256_slli_epi32(green, 8));
    } else {
        // grey = 192 + (299 R + 587 G + 114 B + 500) / 4000, the division
        // as (x / 32) * 8389 / 2^20, exact for every x up to 255500.
        const __m256i weights = _mm256_set1_epi64x(static_cast<long long>(114ull | 587ull << 16 | 299ull << 32));
        const __m256i luma = PackLow32(PixelSums(block.a[0], weights), PixelSums(block.a[1], weights));
        const __m256i scaled = _mm256_srli_epi32(_mm256_add_epi32(luma, _mm256_set1_epi32(500)), 5);
        const __m256i quarter = _mm256_srli_epi32(_mm256_mullo_epi32(scaled, _mm256_set1_epi32(8389)), 20);
        const __m256i grey = _mm256_mullo_epi32(_mm256_add_epi32(quarter, _mm256_set1_epi32(192)),
                                                _mm256_set1_epi32(0x010101));
        const __m256i same = PackLow32(block.same[0], block.same[1]);
        return _mm256_blendv_epi8(_mm256_set1_epi32(0x00FF0000), grey, same);
    }
}

// The 16-bit lanes of a register, channel by channel (lane l is byte l % 4).
struct LaneValues {
    alignas(32) int16_t lanes[16];
};

KIV_AVX2 inline LaneValues LanesOf(__m256i value) {
    LaneValues values;
    _mm256_store_si256(reinterpret_cast<__m256i*>(values.lanes), value);
    return values;
}

KIV_AVX2 inline uint64_t SumU32(__m256i value) {
    alignas(32) uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), value);
    uint64_t sum = 0;
    for (uint32_t lane : lanes) sum += lane;
    return sum;
}

KIV_AVX2 inline uint64_t SumU64(__m256i value) {
    alignas(32) uint64_t lanes[4];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), value);
    return lanes[0] + lanes[1] + lanes[2] + lanes[3];
}

KIV_AVX2 inline uint32_t MaxU32(__m256i value) {
    alignas(32) uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), value);
    uint32_t most = 0;
    for (uint32_t lane : lanes) most = lane > most ? lane : most;
    return most;
}

// weighted: either picture has alpha, so every channel's error is
// alphaA * a - alphaB * b in 32-bit lanes; otherwise it is 255 (a - b) and
// 16-bit lanes do.
template <Colour colour, bool weighted, bool streaming>
KIV_AVX2 void SpanAvx2(const SpanSettings& settings, const SpanPixels& span, DifferenceTotals& totals) {
    const int32_t head = HeadCount(span.out, span.count);
    DifferenceSpanPortable(settings, SpanPixels{span.a, span.b, span.out, head}, totals);
    const uint32_t* inA = span.a + head;
    const uint32_t* inB = span.b + head;
    uint32_t* out = span.out + head;
    const int32_t blocks = (span.count - head) / BLOCK;
    const int32_t done = head + blocks * BLOCK;
    DifferenceSpanPortable(settings, SpanPixels{span.a + done, span.b + done, span.out + done, span.count - done},
                           totals);
    if (blocks == 0) {
        return;
    }

    const __m256i opaqueA = _mm256_set1_epi32(static_cast<int>(settings.aOpaqueBits));
    const __m256i opaqueB = _mm256_set1_epi32(static_cast<int>(settings.bOpaqueBits));
    const __m256i tolerance = _mm256_set1_epi16(static_cast<int16_t>(settings.tolerance));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi16(1);
    // Each pixel's alpha in its colour lanes and 255 in its alpha lane: the
    // alpha channel's own error is 255 (alphaA - alphaB).
    const __m256i alphaSpread =
        _mm256_setr_epi8(6, 7, 6, 7, 6, 7, -1, -1, 14, 15, 14, 15, 14, 15, -1, -1, 6, 7, 6, 7, 6, 7, -1, -1, 14, 15,
                         14, 15, 14, 15, -1, -1);
    const __m256i alphaLane255 = _mm256_set1_epi64x(0x00FF000000000000ll);

    ColourConstants constants{};
    constants.enlarge = settings.exposure >= 0;
    constants.shift = _mm_cvtsi32_si128(constants.enlarge ? settings.exposure : -settings.exposure);
    constants.rounding = _mm256_set1_epi16(constants.enlarge ? 0 : static_cast<int16_t>(1 << (-settings.exposure - 1)));
    constants.pairBytes = settings.pairBytes;
    constants.sumBytes = settings.sumBytes;

    __m256i minDelta = _mm256_set1_epi16(255);
    __m256i maxDelta = _mm256_set1_epi16(-255);
    __m256i maxAbsolute = zero;  // 16-bit |d| (opaque) or 32-bit |w| (weighted)
    DifferenceTotals part;
    part.pixels = static_cast<uint64_t>(blocks) * BLOCK;
    uint64_t sumAbsolute = 0;  // opaque: sum |d| and d^2, weighted by 255 and 255^2 at the end
    uint64_t sumSquared = 0;

    for (int32_t block = 0; block < blocks;) {
        const int32_t chunkEnd = blocks - block < CHUNK_BLOCKS ? blocks : block + CHUNK_BLOCKS;
        __m256i sumDelta = zero;   // 16-bit, per channel lane
        __m256i absolutes = zero;  // 32-bit
        __m256i squares = zero;    // 32-bit (opaque) or 64-bit (weighted)
        for (; block < chunkEnd; ++block) {
            const __m256i pa = _mm256_or_si256(Load(inA + block * BLOCK), opaqueA);
            const __m256i pb = _mm256_or_si256(Load(inB + block * BLOCK), opaqueB);
            Block values;
            values.a[0] = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(pa));
            values.a[1] = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(pa, 1));
            values.b[0] = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(pb));
            values.b[1] = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(pb, 1));
            int sameBits = 0;
            for (int half = 0; half < 2; ++half) {
                const __m256i delta = _mm256_sub_epi16(values.a[half], values.b[half]);
                const __m256i absolute = _mm256_abs_epi16(delta);
                values.delta[half] = delta;
                values.absolute[half] = absolute;
                minDelta = _mm256_min_epi16(minDelta, delta);
                maxDelta = _mm256_max_epi16(maxDelta, delta);
                sumDelta = _mm256_add_epi16(sumDelta, delta);
                values.same[half] = _mm256_cmpeq_epi64(_mm256_cmpgt_epi16(absolute, tolerance), zero);
                sameBits |= _mm256_movemask_pd(_mm256_castsi256_pd(values.same[half])) << (4 * half);
                if constexpr (weighted) {
                    const __m256i productA = _mm256_mullo_epi16(
                        values.a[half], _mm256_or_si256(_mm256_shuffle_epi8(values.a[half], alphaSpread), alphaLane255));
                    const __m256i productB = _mm256_mullo_epi16(
                        values.b[half], _mm256_or_si256(_mm256_shuffle_epi8(values.b[half], alphaSpread), alphaLane255));
                    const __m256i errors[2] = {
                        _mm256_abs_epi32(_mm256_sub_epi32(_mm256_unpacklo_epi16(productA, zero),
                                                          _mm256_unpacklo_epi16(productB, zero))),
                        _mm256_abs_epi32(_mm256_sub_epi32(_mm256_unpackhi_epi16(productA, zero),
                                                          _mm256_unpackhi_epi16(productB, zero)))};
                    for (const __m256i error : errors) {
                        absolutes = _mm256_add_epi32(absolutes, error);
                        maxAbsolute = _mm256_max_epu32(maxAbsolute, error);
                        squares = _mm256_add_epi64(squares, _mm256_mul_epu32(error, error));
                        const __m256i odd = _mm256_srli_epi64(error, 32);
                        squares = _mm256_add_epi64(squares, _mm256_mul_epu32(odd, odd));
                    }
                } else {
                    absolutes = _mm256_add_epi32(absolutes, _mm256_madd_epi16(absolute, ones));
                    squares = _mm256_add_epi32(squares, _mm256_madd_epi16(delta, delta));
                    maxAbsolute = _mm256_max_epi16(maxAbsolute, absolute);
                }
            }
            part.differing += static_cast<uint64_t>(BLOCK - __builtin_popcount(static_cast<unsigned>(sameBits)));
            Store<streaming>(out + block * BLOCK, ColourOf<colour>(values, constants));
        }
        const LaneValues sums = LanesOf(sumDelta);
        for (int32_t lane = 0; lane < 16; ++lane) part.sumDelta[CHANNEL_OF_BYTE[lane % 4]] += sums.lanes[lane];
        sumAbsolute += SumU32(absolutes);
        sumSquared += weighted ? SumU64(squares) : SumU32(squares);
    }

    const LaneValues lowest = LanesOf(minDelta);
    const LaneValues highest = LanesOf(maxDelta);
    for (int32_t c = 0; c < 4; ++c) {
        part.minDelta[c] = 255;
        part.maxDelta[c] = -255;
    }
    for (int32_t lane = 0; lane < 16; ++lane) {
        const int32_t channel = CHANNEL_OF_BYTE[lane % 4];
        if (lowest.lanes[lane] < part.minDelta[channel]) part.minDelta[channel] = lowest.lanes[lane];
        if (highest.lanes[lane] > part.maxDelta[channel]) part.maxDelta[channel] = highest.lanes[lane];
    }
    if constexpr (weighted) {
        part.sumAbsWeighted = sumAbsolute;
        part.sumSquaredWeighted = sumSquared;
        part.maxAbsWeighted = MaxU32(maxAbsolute);
    } else {
        const LaneValues most = LanesOf(maxAbsolute);
        int32_t largest = 0;
        for (int16_t lane : most.lanes) largest = lane > largest ? lane : largest;
        part.sumAbsWeighted = 255 * sumAbsolute;
        part.sumSquaredWeighted = 255 * 255 * sumSquared;
        part.maxAbsWeighted = static_cast<uint32_t>(255 * largest);
    }
    MergeTotals(totals, part);
}

template <Colour colour>
SpanKernel KernelFor(bool weighted, bool streaming) {
    if (weighted) {
        return streaming ? SpanAvx2<colour, true, true> : SpanAvx2<colour, true, false>;
    }
    return streaming ? SpanAvx2<colour, false, true> : SpanAvx2<colour, false, false>;
}

bool HasAvx2() {
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
}

}  // namespace

SpanKernel WideDifferenceKernel(const SpanSettings& settings) {
    if (!HasAvx2()) {
        return nullptr;
    }
    const bool weighted = settings.aOpaqueBits == 0 || settings.bOpaqueBits == 0;
    switch (settings.metric) {
        case DifferenceMetric::Absolute:
            return KernelFor<Colour::Absolute>(weighted, settings.streaming);
        case DifferenceMetric::Signed:
            return KernelFor<Colour::Signed>(weighted, settings.streaming);
        case DifferenceMetric::ToleranceMask:
            return KernelFor<Colour::Mask>(weighted, settings.streaming);
        default:
            return KernelFor<Colour::Table>(weighted, settings.streaming);
    }
}

KIV_AVX2 void DifferenceStreamingDone() {
    _mm_sfence();
}

#else

SpanKernel WideDifferenceKernel(const SpanSettings&) {
    return nullptr;
}

void DifferenceStreamingDone() {}

#endif
