// Where a bitmap has been drawn on since it was last cleared to black, so
// that the next clear fills only that and leaves alone what is black
// already. A frame mostly draws on a small part of a large black window (a
// picture, stars, the lyric lines): clearing all of it every frame was the
// largest cost of a frame in full screen.
//
// Each row is cut into at most 64 chunks of a power-of-two width, one bit
// each. Outside the chunks noted since the last clear every pixel is black;
// until the first clear (and after anything else may have written the
// image) nothing is known, and a clear fills everything as a plain one does.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/raster.h"

namespace orba {

class DrawnArea {
public:
    // Nothing is known of the pixels: the next clear fills all of them.
    void forget() { m_known = false; }
    bool known() const { return m_known; }

    // Pixels x0..x1-1 of row y may now be anything; outside the image is ignored.
    void note(int y, int x0, int x1) {
        if (!m_known || y < 0 || y >= m_height) return;
        x0 = std::max(x0, 0);
        x1 = std::min(x1, m_width);
        if (x0 >= x1) return;
        const int first = x0 >> m_shift, last = (x1 - 1) >> m_shift;
        m_rows[static_cast<std::size_t>(y)] |= (~std::uint64_t{0} >> (63 - (last - first))) << first;
    }
    void note(const Rect& r) {
        if (!m_known) return;
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, m_height); ++y)
            note(y, r.left, r.right);
    }

    // From now on nothing counts as drawn on `image`: for following changes
    // from a moment on rather than from a clear.
    void startEmpty(const QImage& image);

    // Whether what is known is about `image`: the same memory at the same
    // size (a detached or replaced image is another one).
    bool describes(const QImage& image) const {
        return m_known && image.constBits() == m_pixels && image.width() == m_width &&
               image.height() == m_height;
    }

    // Calls span(x0, x1) for the runs of noted chunks of row y, cut to
    // [left, right). Only meaningful while known().
    template <typename Span>
    void forEachNoted(int y, int left, int right, Span span) const;

    // Makes every pixel of `image` outside `keep` black by calling
    // fill(y, x0, x1) for the spans that may not be black yet. Then the
    // image is known black but for `keep`, which counts as drawn: what it
    // holds is up to the caller.
    template <typename Fill>
    void clearAround(const QImage& image, const Rect& keep, Fill fill);

private:
    int m_width = 0;
    int m_height = 0;
    int m_shift = 0;
    bool m_known = false;
    const uchar* m_pixels = nullptr;
    std::vector<std::uint64_t> m_rows;
};

// Where a bitmap has been drawn on since its last clear, and since the last
// picture it keeps in place (Canvas::drawKept): every write notes both.
struct DrawnSince {
    DrawnArea clear;
    DrawnArea kept;
    void note(int y, int x0, int x1) {
        clear.note(y, x0, x1);
        kept.note(y, x0, x1);
    }
    void forget() {
        clear.forget();
        kept.forget();
    }
};

// ---------------------------------------------------------------------------

inline void DrawnArea::startEmpty(const QImage& image) {
    m_pixels = image.constBits();
    m_width = image.width();
    m_height = image.height();
    m_shift = 0;
    while ((m_width >> m_shift) > 64) ++m_shift;
    m_rows.assign(static_cast<std::size_t>(m_height), 0);
    m_known = true;
}

template <typename Span>
void DrawnArea::forEachNoted(int y, int left, int right, Span span) const {
    if (y < 0 || y >= m_height) return;
    left = std::max(left, 0);
    right = std::min(right, m_width);
    std::uint64_t bits = m_rows[static_cast<std::size_t>(y)];
    while (bits && left < right) {
        const int first = __builtin_ctzll(bits);
        const std::uint64_t fromFirst = bits >> first;
        const int run = fromFirst == ~std::uint64_t{0} ? 64 - first : __builtin_ctzll(~fromFirst);
        const int x0 = std::max(first << m_shift, left);
        const int x1 = std::min((first + run) << m_shift, right);
        if (x0 < x1) span(x0, x1);
        bits = run + first >= 64 ? 0 : bits & (~std::uint64_t{0} << (first + run));
    }
}

template <typename Fill>
void DrawnArea::clearAround(const QImage& image, const Rect& keep, Fill fill) {
    const bool inside = keep.left < keep.right && keep.top < keep.bottom;
    // One row's span [x0, x1) less the kept columns when the row is kept.
    const auto fillOutside = [&](int y, int x0, int x1) {
        if (inside && y >= keep.top && y < keep.bottom && x0 < keep.right && x1 > keep.left) {
            if (x0 < keep.left) fill(y, x0, keep.left);
            if (keep.right < x1) fill(y, keep.right, x1);
            return;
        }
        fill(y, x0, x1);
    };
    if (!describes(image)) {
        for (int y = 0; y < image.height(); ++y) fillOutside(y, 0, image.width());
        startEmpty(image);
        note(keep);
        return;
    }
    for (int y = 0; y < m_height; ++y) {
        forEachNoted(y, 0, m_width, [&](int x0, int x1) { fillOutside(y, x0, x1); });
        m_rows[static_cast<std::size_t>(y)] = 0;
    }
    note(keep);
}

}  // namespace orba
