#include "export/i420converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "export/i420rows.h"

namespace orba {

namespace {

std::int32_t fixed(double v) {
    return static_cast<std::int32_t>(std::lround(v * (1 << YuvMatrix::kShift)));
}

using PairFn = void (*)(const std::uint8_t*, const std::uint8_t*, int, const YuvMatrix&,
                        const i420::PairOut&);

void convertPairBaseline(const std::uint8_t* row0, const std::uint8_t* row1, int width,
                         const YuvMatrix& m, const i420::PairOut& out) {
    i420::convertPair(row0, row1, width, m, out);
}

PairFn pairConverter() {
#if defined(__x86_64__)
    static const PairFn chosen =
        __builtin_cpu_supports("avx2") ? &i420::convertPairAvx2 : &convertPairBaseline;
    return chosen;
#else
    return &convertPairBaseline;
#endif
}

}  // namespace

YuvMatrix yuvMatrix(double kr, double kb, bool studioRange, bool chromaOnEvenColumns) {
    const double yScale = studioRange ? 219.0 / 255 : 1.0;
    const double cScale = studioRange ? 224.0 / 255 : 1.0;
    YuvMatrix m;
    m.y[0] = fixed(kr * yScale);
    m.y[2] = fixed(kb * yScale);
    // The weights add up exactly, so that white is exactly the top of the range.
    m.y[1] = fixed(yScale) - m.y[0] - m.y[2];
    m.u[0] = fixed(-kr / (2 * (1 - kb)) * cScale);
    m.u[2] = fixed(0.5 * cScale);
    m.u[1] = -m.u[0] - m.u[2];  // greys have no colour
    m.v[0] = fixed(0.5 * cScale);
    m.v[2] = fixed(-kb / (2 * (1 - kr)) * cScale);
    m.v[1] = -m.v[0] - m.v[2];
    m.yOffset = studioRange ? 16 : 0;
    m.chromaOnEvenColumns = chromaOnEvenColumns;
    return m;
}

void convertBgrxRows(const std::uint8_t* bgrx, std::size_t bgrxStride, const I420Layout& layout,
                     const YuvMatrix& matrix, int rowFrom, int rowTo, std::uint8_t* out) {
    thread_local std::vector<std::int16_t> sums;
    thread_local std::vector<std::uint8_t> spareRow;
    sums.resize(3 * static_cast<std::size_t>(layout.width + 2));
    spareRow.resize(static_cast<std::size_t>(layout.width));
    const PairFn convertPair = pairConverter();
    for (int row = rowFrom; row < rowTo; row += 2) {
        const bool two = row + 1 < layout.height;
        const std::size_t c = static_cast<std::size_t>(row / 2);
        const i420::PairOut pair{
            out + static_cast<std::size_t>(row) * layout.strideY,
            two ? out + static_cast<std::size_t>(row + 1) * layout.strideY : spareRow.data(),
            out + layout.offsetU + c * layout.strideU, out + layout.offsetV + c * layout.strideV,
            sums.data()};
        const std::uint8_t* row0 = bgrx + static_cast<std::size_t>(row) * bgrxStride;
        const std::uint8_t* row1 = two ? row0 + bgrxStride : row0;
        convertPair(row0, row1, layout.width, matrix, pair);
    }
}

I420Converter::I420Converter(const I420Layout& layout, const YuvMatrix& matrix)
    : m_layout(layout),
      m_matrix(matrix),
      m_bgrx(static_cast<std::size_t>(layout.width) * 4 * static_cast<std::size_t>(layout.height)) {
}

void I420Converter::copyPair(int row, const std::uint8_t* from, std::uint8_t* to) const {
    const I420Layout& l = m_layout;
    const auto copyRow = [&](std::size_t offset, std::size_t bytes) {
        std::memcpy(to + offset, from + offset, bytes);
    };
    const auto w = static_cast<std::size_t>(l.width);
    const auto chromaW = static_cast<std::size_t>((l.width + 1) / 2);
    const auto r = static_cast<std::size_t>(row);
    copyRow(r * l.strideY, w);
    if (row + 1 < l.height) copyRow((r + 1) * l.strideY, w);
    copyRow(l.offsetU + r / 2 * l.strideU, chromaW);
    copyRow(l.offsetV + r / 2 * l.strideV, chromaW);
}

int I420Converter::convert(const std::uint8_t* bgrx, std::size_t bgrxStride, std::uint8_t* out,
                           const std::uint8_t* previous) {
    const std::size_t rowBytes = static_cast<std::size_t>(m_layout.width) * 4;
    const bool compare = previous && !m_first;
    int converted = 0;
    int runStart = -1;  // the first row of the changed pairs not yet converted
    const auto flush = [&](int row) {
        if (runStart < 0) return;
        convertBgrxRows(bgrx, bgrxStride, m_layout, m_matrix, runStart, row, out);
        runStart = -1;
    };
    for (int row = 0; row < m_layout.height; row += 2) {
        const int rows = std::min(2, m_layout.height - row);
        bool same = compare;
        for (int k = 0; k < rows; ++k) {
            const std::uint8_t* now = bgrx + static_cast<std::size_t>(row + k) * bgrxStride;
            std::uint8_t* kept = m_bgrx.data() + static_cast<std::size_t>(row + k) * rowBytes;
            if (same && std::memcmp(now, kept, rowBytes) == 0) continue;
            same = false;
            std::memcpy(kept, now, rowBytes);
        }
        if (same) {
            flush(row);
            copyPair(row, previous, out);
        } else {
            if (runStart < 0) runStart = row;
            ++converted;
        }
    }
    flush(m_layout.height);
    m_first = false;
    return converted;
}

}  // namespace orba
