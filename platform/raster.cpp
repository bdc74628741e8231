#include "platform/raster.h"

#include <cmath>

namespace orba {

std::vector<EllipseRow> ellipseRows(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    std::vector<EllipseRow> rows;
    if (right == left || bottom == top) return rows;
    rows.reserve(static_cast<std::size_t>(bottom - top));
    const double cx = (double(left) + right) / 2.0;
    const double cy = (double(top) + bottom) / 2.0;
    const double rx = (double(right) - left) / 2.0;
    const double ry = (double(bottom) - top) / 2.0;
    // A pixel belongs to the ellipse when its centre lies inside it.
    constexpr double kSlack = 1e-9;
    for (int y = top; y < bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        const double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int first = static_cast<int>(std::ceil(cx - half - 0.5 - kSlack));
        int last = static_cast<int>(std::floor(cx + half - 0.5 + kSlack));
        rows.push_back({std::max(first, left), std::min(last, right - 1)});
    }
    return rows;
}

// Row k of a circle of whole radius r around a whole-pixel centre has the
// half-width h = sqrt(m) / 2 with m = 4r^2 - (2k + 1)^2, and m leaves 3 over
// 4, so it is never a square: h is irrational and at least 1 / (8 sqrt(m))
// from any half pixel. The rounding of the centre's coordinate (under 1e-12
// for sides up to millions) and the 1e-9 slack cannot carry it across one.
const std::vector<EllipseRow>* discRows(int radius) {
    if (radius < 0 || radius > kLargestKeptRadius) return nullptr;
    thread_local std::vector<std::vector<EllipseRow>> kept(kLargestKeptRadius + 1);
    thread_local std::vector<bool> worked(kLargestKeptRadius + 1, false);
    const auto r = static_cast<std::size_t>(radius);
    if (!worked[r]) {
        kept[r] = ellipseRows(-radius, -radius, radius, radius);
        worked[r] = true;
    }
    return &kept[r];
}

AxisMap mapAxis(int d0, int d1, int s0, int s1, int destLimit, int sourceLimit) {
    AxisMap map;
    const bool destMirrored = d1 < d0;
    const bool sourceMirrored = s1 < s0;
    const std::int64_t dLo = std::min(d0, d1), dHi = std::max(d0, d1);
    const std::int64_t sLo = std::min(s0, s1), sHi = std::max(s0, s1);
    const std::int64_t n = dHi - dLo;
    const std::int64_t m = sHi - sLo;
    if (n == 0 || m == 0) return map;

    const std::int64_t first = std::max<std::int64_t>(dLo, 0);
    const std::int64_t last = std::min<std::int64_t>(dHi, destLimit);  // exclusive
    map.source.reserve(static_cast<std::size_t>(std::max<std::int64_t>(last - first, 0)));
    for (std::int64_t d = first; d < last; ++d) {
        const std::int64_t i = d - dLo;
        const std::int64_t k = destMirrored ? n - 1 - i : i;
        const std::int64_t j = k * m / n;
        const std::int64_t s = sourceMirrored ? sHi - 1 - j : sLo + j;
        if (s < 0 || s >= sourceLimit) {
            if (!map.source.empty()) break;  // the mapping is monotonic
            continue;
        }
        if (map.source.empty()) map.destStart = static_cast<int>(d);
        map.source.push_back(static_cast<int>(s));
    }
    map.identity = n == m && destMirrored == sourceMirrored;
    return map;
}

}  // namespace orba
