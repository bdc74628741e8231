// The body of the BGRx to I420 conversion of one row pair, built once for the
// baseline processor and once for AVX2 (chosen at run time). Everything here
// has internal linkage, so that code built for AVX2 never stands in for the
// baseline build of the same function.
//
// The loops are written for the compiler's vectorizer: whole pixels as 32-bit
// words, no branches, the edges handled by padding the column sums.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "export/i420converter.h"

namespace orba::i420 {

// One row pair's output rows and the scratch of its column sums (3 x
// (width + 2) each).
struct PairOut {
    std::uint8_t* y0;
    // A last odd row is a pair of itself, its second luma row thrown away.
    std::uint8_t* y1;
    std::uint8_t* u;
    std::uint8_t* v;
    std::int16_t* sums;
};

void convertPairAvx2(const std::uint8_t* row0, const std::uint8_t* row1, int width,
                     const YuvMatrix& m, const PairOut& out);

namespace {

inline std::uint32_t pixelAt(const std::uint8_t* row, int x) {
    std::uint32_t w;
    std::memcpy(&w, row + 4 * static_cast<std::ptrdiff_t>(x), sizeof w);
    return w;
}

// Both rows of a pair in one pass: their luma, and each column's sum of the
// two pixels for the chroma (stored one place right, see chromaRow).
// The pointers never overlap: said, so that the vectorizer need not check
// at run time (it gives up checking as many as these).
inline void lumaRows(const std::uint8_t* __restrict row0, const std::uint8_t* __restrict row1,
                     int width, const YuvMatrix& m, std::uint8_t* __restrict y0,
                     std::uint8_t* __restrict y1, std::int16_t* __restrict sr,
                     std::int16_t* __restrict sg, std::int16_t* __restrict sb) {
    const std::int32_t add = (m.yOffset << YuvMatrix::kShift) + (1 << (YuvMatrix::kShift - 1));
    const std::int32_t cr = m.y[0], cg = m.y[1], cb = m.y[2];
    for (int x = 0; x < width; ++x) {
        const std::uint32_t w0 = pixelAt(row0, x);
        const std::uint32_t w1 = pixelAt(row1, x);
        const auto b0 = static_cast<std::int32_t>(w0 & 0xFFu);
        const auto g0 = static_cast<std::int32_t>((w0 >> 8) & 0xFFu);
        const auto r0 = static_cast<std::int32_t>((w0 >> 16) & 0xFFu);
        const auto b1 = static_cast<std::int32_t>(w1 & 0xFFu);
        const auto g1 = static_cast<std::int32_t>((w1 >> 8) & 0xFFu);
        const auto r1 = static_cast<std::int32_t>((w1 >> 16) & 0xFFu);
        y0[x] = static_cast<std::uint8_t>((cr * r0 + cg * g0 + cb * b0 + add) >> YuvMatrix::kShift);
        y1[x] = static_cast<std::uint8_t>((cr * r1 + cg * g1 + cb * b1 + add) >> YuvMatrix::kShift);
        sr[x + 1] = static_cast<std::int16_t>(r0 + r1);
        sg[x + 1] = static_cast<std::int16_t>(g0 + g1);
        sb[x + 1] = static_cast<std::int16_t>(b0 + b1);
    }
}

// `taps`: column sums per chroma sample (2 between columns, 4 with 1-2-1
// weights), times the two rows.
template <int kTaps>
inline void chromaRow(const std::int16_t* __restrict sr, const std::int16_t* __restrict sg,
                      const std::int16_t* __restrict sb, int chromaWidth, const YuvMatrix& m,
                      std::uint8_t* __restrict u, std::uint8_t* __restrict v) {
    constexpr int kShift = YuvMatrix::kShift + (kTaps == 2 ? 2 : 3);
    constexpr std::int32_t add = (128 << kShift) + (1 << (kShift - 1));
    for (int i = 0; i < chromaWidth; ++i) {
        const int x = 2 * i;
        // The sums sit one place right of their column: [0] and [width + 1]
        // repeat the edge columns.
        std::int32_t r, g, b;
        if constexpr (kTaps == 2) {
            r = sr[x + 1] + sr[x + 2];
            g = sg[x + 1] + sg[x + 2];
            b = sb[x + 1] + sb[x + 2];
        } else {
            r = sr[x] + 2 * sr[x + 1] + sr[x + 2];
            g = sg[x] + 2 * sg[x + 1] + sg[x + 2];
            b = sb[x] + 2 * sb[x + 1] + sb[x + 2];
        }
        // Full-range chroma reaches 255.5 at its ends.
        u[i] = static_cast<std::uint8_t>(
            std::min((m.u[0] * r + m.u[1] * g + m.u[2] * b + add) >> kShift, 255));
        v[i] = static_cast<std::uint8_t>(
            std::min((m.v[0] * r + m.v[1] * g + m.v[2] * b + add) >> kShift, 255));
    }
}

inline void convertPair(const std::uint8_t* row0, const std::uint8_t* row1, int width,
                        const YuvMatrix& m, const PairOut& out) {
    const int padded = width + 2;
    std::int16_t* sr = out.sums;
    std::int16_t* sg = sr + padded;
    std::int16_t* sb = sg + padded;
    lumaRows(row0, row1, width, m, out.y0, out.y1, sr, sg, sb);
    for (std::int16_t* s : {sr, sg, sb}) {
        s[0] = s[1];
        s[width + 1] = s[width];
    }
    const int chromaWidth = (width + 1) / 2;
    if (m.chromaOnEvenColumns)
        chromaRow<4>(sr, sg, sb, chromaWidth, m, out.u, out.v);
    else
        chromaRow<2>(sr, sg, sb, chromaWidth, m, out.u, out.v);
}

}  // namespace

}  // namespace orba::i420
