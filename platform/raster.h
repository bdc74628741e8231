// Pixel rules of the drawing model, kept apart from the Canvas state so that
// blends and copies in other folders share them: the 0x00BBGGRR colour order,
// half-open rectangles, lines without their end point and nearest-neighbour
// stretching with mirroring.
#pragma once

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <vector>

namespace orba {

// A colour as the API takes it: 0x00BBGGRR, red in the low byte.
using Colour = std::uint32_t;

// A rectangle (left, top)-(right, bottom); it covers columns left..right-1
// and rows top..bottom-1.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

// 0x00BBGGRR to the 0xAARRGGBB word of a 32-bit QImage, and back. Only the
// three low bytes of a colour count.
constexpr std::uint32_t toPixel(Colour c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr Colour fromPixel(std::uint32_t p) {
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// Row and column of a 32-bit image, no bounds check.
inline std::uint32_t* scanLine(QImage& image, int y) {
    return reinterpret_cast<std::uint32_t*>(image.scanLine(y));
}
inline const std::uint32_t* scanLine(const QImage& image, int y) {
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
}

// The pixels of a 32-bit image for the length of one drawing call. The image
// is detached from any shared copy once, when the view is made; after that a
// row is pointer arithmetic rather than a call into Qt for every span or
// pixel. The view must not outlive the call: a later copy of the image would
// share the memory it writes.
class PixelView {
public:
    explicit PixelView(QImage& image)
        : m_bits(reinterpret_cast<std::uint32_t*>(image.bits())),
          m_stride(image.bytesPerLine() / static_cast<qsizetype>(sizeof(std::uint32_t))),
          m_width(m_bits ? image.width() : 0),
          m_height(m_bits ? image.height() : 0) {}
    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint32_t* row(int y) const { return m_bits + y * m_stride; }

private:
    std::uint32_t* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
};

// `count` pixels from `row` on set to `value`: the C library's wide-character
// fill, which is vectorised for the processor it runs on (a plain loop is
// not, and clearing a large window with it took three times as long).
inline void fillPixels(std::uint32_t* row, int count, std::uint32_t value) {
    if constexpr (sizeof(wchar_t) == sizeof(std::uint32_t)) {
        std::wmemset(reinterpret_cast<wchar_t*>(row), static_cast<wchar_t>(value),
                     static_cast<std::size_t>(count));
    } else {
        std::fill(row, row + count, value);
    }
}

// Writes pixel `value` into columns x0..x1-1 of row y, clipped; with `xorMode`
// the colour bits are XORed into what is there.
inline void fillSpan(const PixelView& pixels, int y, int x0, int x1, std::uint32_t value,
                     bool xorMode) {
    if (y < 0 || y >= pixels.height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, pixels.width());
    if (x0 >= x1) return;
    std::uint32_t* row = pixels.row(y);
    if (xorMode) {
        const std::uint32_t bits = value & 0x00FFFFFFu;
        for (int x = x0; x < x1; ++x) row[x] ^= bits;
    } else {
        fillPixels(row + x0, x1 - x0, value);
    }
}

// Calls plot(x, y) for every pixel of the line from (x0, y0) towards
// (x1, y1) that lies inside width x height, the end point excluded.
template <typename Plot>
void forEachLinePixel(int x0, int y0, int x1, int y1, int width, int height, Plot plot);

// Pixels of the ellipse filling the box minus its right and bottom edge: for
// each row of the box, the columns [first, last] inside (first > last when
// the row is empty).
struct EllipseRow {
    int first;
    int last;
};
std::vector<EllipseRow> ellipseRows(int left, int top, int right, int bottom);

// The rows of ellipseRows(-radius, -radius, radius, radius), worked out once
// per radius and thread and kept. Moved by a centre (cx, cy) they are the
// rows of the disc around it: a circle's half-widths never come near a
// rounding tie (see the .cpp), so moving the box by whole pixels moves every
// row by as much. Radii above kLargestKeptRadius are not kept: null then.
inline constexpr int kLargestKeptRadius = 2048;
const std::vector<EllipseRow>* discRows(int radius);

// Nearest-neighbour mapping of one axis of a copy: destination span
// [d0, d1) from source span [s0, s1), either of them reversed (d1 < d0) to
// mirror. Only destination pixels inside [0, destLimit) that take a source
// pixel inside [0, sourceLimit) are kept; they are contiguous.
struct AxisMap {
    int destStart = 0;
    std::vector<int> source;  // source index of destStart + i
    bool identity = false;    // source[i] == source[0] + i
    int size() const { return static_cast<int>(source.size()); }
};
AxisMap mapAxis(int d0, int d1, int s0, int s1, int destLimit, int sourceLimit);

// ---------------------------------------------------------------------------

template <typename Plot>
void forEachLinePixel(int x0, int y0, int x1, int y1, int width, int height, Plot plot) {
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t steps = xMajor ? adx : ady;
    if (steps == 0) return;
    const std::int64_t minor = xMajor ? ady : adx;
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;
    const std::int64_t majorLimit = xMajor ? width : height;
    const std::int64_t minorLimit = xMajor ? height : width;

    // Only the steps whose major coordinate lies inside the image are walked,
    // so lines reaching far outside cost no more than visible ones.
    std::int64_t kFirst = 0;
    std::int64_t kLast = steps - 1;
    if (majorStep > 0) {
        kFirst = std::max<std::int64_t>(kFirst, -majorStart);
        kLast = std::min<std::int64_t>(kLast, majorLimit - 1 - majorStart);
    } else {
        kFirst = std::max<std::int64_t>(kFirst, majorStart - (majorLimit - 1));
        kLast = std::min<std::int64_t>(kLast, majorStart);
    }
    for (std::int64_t k = kFirst; k <= kLast; ++k) {
        // Midpoint rule: the minor offset rounds k * minor / steps, halves down.
        const std::int64_t offset = (2 * k * minor + steps - 1) / (2 * steps);
        const std::int64_t m = minorStart + minorStep * offset;
        if (m < 0 || m >= minorLimit) continue;
        const std::int64_t a = majorStart + majorStep * k;
        if (xMajor)
            plot(static_cast<int>(a), static_cast<int>(m));
        else
            plot(static_cast<int>(m), static_cast<int>(a));
    }
}

}  // namespace orba
