// Vector bodies of the pixel row kernels, for one vector width at a time.
// Included by the translation unit of each instruction set; everything here
// has internal linkage so that code built for AVX2 never stands in for the
// baseline build of the same function.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

namespace orba::kernels {

// Entry points of the AVX2 translation unit; each returns how many pixels it
// did, leaving the rest to the caller.
int blendRowAvx2(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha);
int addRowAvx2(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha);
int coverRowAvx2(std::uint32_t* dest, const std::uint8_t* coverage, int count, std::uint32_t pixel);

namespace {

// Unpack and pack work within 128-bit lanes on both widths, so pixels come
// back in their own places. The 16-bit division by 255 is the high half of
// x x 0x8081 shifted right by 7.
#if defined(__SSE2__)
struct V128 {
    using V = __m128i;
    static constexpr int kPixels = 4;
    static V zero() { return _mm_setzero_si128(); }
    static V set16(int v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static V set32(std::uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
    static V load(const std::uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(std::uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    // Each pixel's coverage byte in all four of its bytes.
    static V coverage(const std::uint8_t* c) {
        int bytes;
        std::memcpy(&bytes, c, sizeof bytes);
        const V x = _mm_cvtsi32_si128(bytes);
        const V twice = _mm_unpacklo_epi8(x, x);
        return _mm_unpacklo_epi16(twice, twice);
    }
    static V lo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
    static V hi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
    static V add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V div255(V x) {
        return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
    }
    static V pack(V lo, V hi) { return _mm_packus_epi16(lo, hi); }
    static V addSat8(V a, V b) { return _mm_adds_epu8(a, b); }
    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
};

#endif

#if defined(__AVX2__)
struct V256 {
    using V = __m256i;
    static constexpr int kPixels = 8;
    static V zero() { return _mm256_setzero_si256(); }
    static V set16(int v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static V set32(std::uint32_t v) { return _mm256_set1_epi32(static_cast<int>(v)); }
    static V load(const std::uint32_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
    }
    static void store(std::uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V coverage(const std::uint8_t* c) {
        const __m128i x = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(c));
        const __m128i twice = _mm_unpacklo_epi8(x, x);
        return _mm256_set_m128i(_mm_unpackhi_epi16(twice, twice), _mm_unpacklo_epi16(twice, twice));
    }
    static V lo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
    static V hi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
    static V add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V div255(V x) {
        return _mm256_srli_epi16(
            _mm256_mulhi_epu16(x, _mm256_set1_epi16(static_cast<short>(0x8081))), 7);
    }
    static V pack(V lo, V hi) { return _mm256_packus_epi16(lo, hi); }
    static V addSat8(V a, V b) { return _mm256_adds_epu8(a, b); }
    static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
    static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
};

#endif

// s x a + d x na per 16-bit channel, divided by 255, packed back to bytes.
template <typename W>
inline typename W::V mix(typename W::V s, typename W::V d, typename W::V aLo, typename W::V aHi,
                         typename W::V naLo, typename W::V naHi) {
    const auto z = W::zero();
    const auto lo = W::add16(W::mul16(W::lo8(s, z), aLo), W::mul16(W::lo8(d, z), naLo));
    const auto hi = W::add16(W::mul16(W::hi8(s, z), aHi), W::mul16(W::hi8(d, z), naHi));
    return W::pack(W::div255(lo), W::div255(hi));
}

template <typename W>
inline int blendVector(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha) {
    const auto a = W::set16(alpha), na = W::set16(255 - alpha), opaque = W::set32(0xFF000000u);
    int i = 0;
    for (; i + W::kPixels <= count; i += W::kPixels)
        W::store(dest + i,
                 W::bitOr(mix<W>(W::load(source + i), W::load(dest + i), a, a, na, na), opaque));
    return i;
}

template <typename W>
inline int addVector(std::uint32_t* dest, const std::uint32_t* source, int count, int alpha) {
    const auto a = W::set16(alpha), z = W::zero(), rgb = W::set32(0x00FFFFFFu);
    const auto opaque = W::set32(0xFF000000u);
    int i = 0;
    for (; i + W::kPixels <= count; i += W::kPixels) {
        const auto s = W::bitAnd(W::load(source + i), rgb);
        const auto add =
            W::pack(W::div255(W::mul16(W::lo8(s, z), a)), W::div255(W::mul16(W::hi8(s, z), a)));
        W::store(dest + i, W::bitOr(W::addSat8(W::load(dest + i), add), opaque));
    }
    return i;
}

template <typename W>
inline int coverVector(std::uint32_t* dest, const std::uint8_t* coverage, int count,
                       std::uint32_t pixel) {
    const auto z = W::zero(), full = W::set16(255), opaque = W::set32(0xFF000000u);
    const auto colour = W::set32(pixel);
    int i = 0;
    for (; i + W::kPixels <= count; i += W::kPixels) {
        std::uint64_t any = 0;
        std::memcpy(&any, coverage + i, static_cast<std::size_t>(W::kPixels));
        if (any == 0) continue;  // most of a text's box is empty
        const auto c = W::coverage(coverage + i);
        const auto aLo = W::lo8(c, z), aHi = W::hi8(c, z);
        const auto mixed =
            mix<W>(colour, W::load(dest + i), aLo, aHi, W::sub16(full, aLo), W::sub16(full, aHi));
        W::store(dest + i, W::bitOr(mixed, opaque));
    }
    return i;
}

}  // namespace
}  // namespace orba::kernels
