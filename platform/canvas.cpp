#include "platform/canvas.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/bitmap.h"
#include "platform/pixelrows.h"
#include "platform/sjistext.h"
#include "platform/textcache.h"

namespace orba {

namespace {

FontFace faceOf(const Font& f) {
    return {f.name, f.size, f.style};
}

void normalise(int& a, int& b) {
    if (a > b) std::swap(a, b);
}

// Calls part(x0, x1) for the pieces of the span [x0, x1) of row y that lie
// outside `hole`.
template <typename Part>
void aroundHole(const Rect& hole, int y, int x0, int x1, Part part) {
    if (y >= hole.top && y < hole.bottom && x0 < hole.right && x1 > hole.left) {
        part(x0, hole.left);
        part(hole.right, x1);
    } else {
        part(x0, x1);
    }
}

}  // namespace

Canvas::Canvas(Bitmap& owner) : m_owner(&owner) {}

QImage& Canvas::image() {
    return m_owner->drawingImage();
}
const QImage& Canvas::image() const {
    return m_owner->image();
}

void Canvas::copyStateFrom(const Canvas& other) {
    m_font = other.m_font;
    m_pen = other.m_pen;
    m_brush = other.m_brush;
    m_penPos = other.m_penPos;
}

void Canvas::writeSpan(const PixelView& px, int y, int x0, int x1, Colour c, bool xorMode) {
    writePixels(px, y, x0, x1, toPixel(c), xorMode);
}

void Canvas::writePixels(const PixelView& px, int y, int x0, int x1, std::uint32_t value,
                         bool xorMode) {
    aroundHole(m_hole, y, x0, x1, [&](int from, int to) {
        fillSpan(px, y, from, to, value, xorMode);
        noted().note(y, from, to);
    });
}

void Canvas::clearAround(const Rect& keep) {
    QImage& img = image();
    if (img.isNull()) return;
    const PixelView px(img);
    const std::uint32_t black = toPixel(0);
    noted().clear.clearAround(img, keep, [&](int y, int x0, int x1) {
        fillSpan(px, y, x0, x1, black, false);
        noted().kept.note(y, x0, x1);
    });
}

// --- text -------------------------------------------------------------------

QString Canvas::textOf(std::string_view bytes) const {
    if (m_font.charset == kUnicodeCharset)
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return sjisText(bytes);
}

void Canvas::textOut(int x, int y, std::string_view text) {
    textOut(x, y, textOf(text));
}

void Canvas::textOut(int x, int y, const QString& text, int subpixels) {
    if (text.isEmpty() || image().isNull()) return;
    QImage& img = image();
    const FontFace face = faceOf(m_font);
    // What of the text's box lies on the bitmap, in the text's coordinates.
    const auto within = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, INT_MIN / 2, INT_MAX / 2));
    };
    const Rect visible{within(-static_cast<long long>(x)), within(-static_cast<long long>(y)),
                       within(static_cast<long long>(img.width()) - x),
                       within(static_cast<long long>(img.height()) - y)};
    const auto rendered = renderText(face, text, visible, subpixels);
    const PixelView px(img);
    if (m_brush.style() == BrushStyle::Solid) {
        const int right = within(static_cast<long long>(x) + rendered->width);
        const int bottom = within(static_cast<long long>(y) + rendered->height);
        for (int row = std::max(y, 0); row < std::min(bottom, img.height()); ++row)
            writeSpan(px, row, x, right, m_brush.color(), false);
    }

    const QImage& mask = rendered->coverage;
    const long long left = static_cast<long long>(x) + rendered->left;
    const long long top = static_cast<long long>(y) + rendered->top;
    const long long first = std::max(0LL, -left);
    const long long last = std::min<long long>(mask.width(), img.width() - left);  // exclusive
    if (first >= last) return;
    const std::uint32_t colour = toPixel(m_font.color);
    for (long long r = std::max(0LL, -top); r < mask.height() && top + r < img.height(); ++r) {
        coverRow(px.row(static_cast<int>(top + r)) + left + first,
                 mask.constScanLine(static_cast<int>(r)) + first, static_cast<int>(last - first),
                 colour);
        noted().note(static_cast<int>(top + r), static_cast<int>(left + first),
                     static_cast<int>(left + last));
    }
}

int Canvas::textWidth(std::string_view text) {
    return textWidth(textOf(text));
}
int Canvas::textWidth(const QString& text) {
    return textAdvance(faceOf(m_font), text);
}
int Canvas::exactTextWidth(const QString& text) {
    return exactTextAdvance(faceOf(m_font), text);
}
int Canvas::textHeight(std::string_view) {
    return fontHeight(faceOf(m_font));
}
int Canvas::textHeight(const QString&) {
    return fontHeight(faceOf(m_font));
}

// --- shapes -----------------------------------------------------------------

void Canvas::fillRect(const Rect& r) {
    if (m_brush.style() == BrushStyle::Clear) return;
    int l = r.left, t = r.top, rt = r.right, b = r.bottom;
    normalise(l, rt);
    normalise(t, b);
    const PixelView px(image());
    for (int y = std::max(t, 0); y < std::min(b, px.height()); ++y)
        writeSpan(px, y, l, rt, m_brush.color(), false);
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    normalise(left, right);
    normalise(top, bottom);
    if (left == right || top == bottom) return;
    const bool xorMode = m_pen.mode == PenMode::Xor;
    const bool outline = m_pen.style == PenStyle::Solid;
    const int inset = outline ? 1 : 0;
    const PixelView px(image());
    if (m_brush.style() == BrushStyle::Solid)
        for (int y = top + inset; y < bottom - inset; ++y)
            writeSpan(px, y, left + inset, right - inset, m_brush.color(), xorMode);
    if (!outline) return;
    // Each frame pixel once, so that an XOR pen can be undone.
    writeSpan(px, top, left, right, m_pen.color, xorMode);
    if (bottom - 1 > top) writeSpan(px, bottom - 1, left, right, m_pen.color, xorMode);
    for (int y = top + 1; y < bottom - 1; ++y) {
        writeSpan(px, y, left, left + 1, m_pen.color, xorMode);
        if (right - 1 > left) writeSpan(px, y, right - 1, right, m_pen.color, xorMode);
    }
}

void Canvas::ellipse(int left, int top, int right, int bottom) {
    const std::vector<EllipseRow> rows = ellipseRows(left, top, right, bottom);
    if (rows.empty()) return;
    const int firstRow = std::min(top, bottom);
    const bool xorMode = m_pen.mode == PenMode::Xor;
    const bool outline = m_pen.style == PenStyle::Solid;
    const bool fill = m_brush.style() == BrushStyle::Solid;
    const PixelView px(image());
    const int n = static_cast<int>(rows.size());
    for (int i = 0; i < n; ++i) {
        const int y = firstRow + i;
        if (y < 0 || y >= px.height()) continue;
        const EllipseRow row = rows[static_cast<std::size_t>(i)];
        if (row.first > row.last) continue;
        if (!outline) {
            if (fill) writeSpan(px, y, row.first, row.last + 1, m_brush.color(), xorMode);
            continue;
        }
        // Inside are the pixels whose four neighbours all belong to the
        // ellipse; the rest of the row is the outline.
        int inFirst = row.last + 1, inLast = row.last;
        if (i > 0 && i < n - 1) {
            const EllipseRow above = rows[static_cast<std::size_t>(i - 1)];
            const EllipseRow below = rows[static_cast<std::size_t>(i + 1)];
            inFirst = std::max({row.first + 1, above.first, below.first});
            inLast = std::min({row.last - 1, above.last, below.last});
        }
        if (inFirst > inLast) {
            writeSpan(px, y, row.first, row.last + 1, m_pen.color, xorMode);
            continue;
        }
        writeSpan(px, y, row.first, inFirst, m_pen.color, xorMode);
        if (fill) writeSpan(px, y, inFirst, inLast + 1, m_brush.color(), xorMode);
        writeSpan(px, y, inLast + 1, row.last + 1, m_pen.color, xorMode);
    }
}

void Canvas::nestedDiscs(int cx, int cy, const int* radii, const Colour* colours, int count) {
    // An outline or an XOR pen makes each disc's pixels depend on what the
    // one before left: then they are drawn one by one.
    if (m_pen.style != PenStyle::Clear || m_pen.mode == PenMode::Xor) {
        for (int j = 0; j < count; ++j) {
            if (radii[j] < 0) continue;
            m_brush.setColor(colours[j]);
            ellipse(cx - radii[j], cy - radii[j], cx + radii[j], cy + radii[j]);
        }
        return;
    }
    // Discs of one centre nest row by row: a smaller one's span lies inside
    // a larger one's, so each disc writes only the part of its rows that the
    // next smaller disc leaves out.
    std::vector<int> drawn;
    std::vector<const std::vector<EllipseRow>*> rows;  // around (0, 0)
    std::vector<std::vector<EllipseRow>> notKept;
    notKept.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int j = 0; j < count; ++j) {
        if (radii[j] <= 0) continue;
        drawn.push_back(j);
        const std::vector<EllipseRow>* kept = discRows(radii[j]);
        if (!kept) {
            const int r = radii[j];
            kept = &notKept.emplace_back(ellipseRows(-r, -r, r, r));
        }
        rows.push_back(kept);
    }
    const PixelView px(image());
    const int height = px.height();
    // The spans are filled unnoted: together they cover exactly the rows of
    // the largest disc, which are noted once at the end.
    const Rect hole = m_hole;
    const auto fill = [&px, &hole](int y, int x0, int x1, std::uint32_t value) {
        aroundHole(hole, y, x0, x1,
                   [&](int from, int to) { fillSpan(px, y, from, to, value, false); });
    };
    for (std::size_t k = 0; k < drawn.size(); ++k) {
        const int r = radii[drawn[k]];
        const std::uint32_t colour = toPixel(colours[drawn[k]]);
        const bool inner = k + 1 < drawn.size();
        const int innerRadius = inner ? radii[drawn[k + 1]] : 0;
        for (int i = 0; i < 2 * r; ++i) {
            const int y = cy - r + i;
            if (y < 0 || y >= height) continue;
            EllipseRow row = (*rows[k])[static_cast<std::size_t>(i)];
            if (row.first > row.last) continue;
            row.first += cx;
            row.last += cx;
            const int innerIndex = y - (cy - innerRadius);
            if (!inner || innerIndex < 0 || innerIndex >= 2 * innerRadius) {
                fill(y, row.first, row.last + 1, colour);
                continue;
            }
            EllipseRow within = (*rows[k + 1])[static_cast<std::size_t>(innerIndex)];
            within.first += cx;
            within.last += cx;
            if (within.first > within.last) {
                fill(y, row.first, row.last + 1, colour);
                continue;
            }
            fill(y, row.first, within.first, colour);
            fill(y, within.last + 1, row.last + 1, colour);
        }
    }
    if (!drawn.empty()) {
        DrawnSince& noting = noted();
        const int r = radii[drawn.front()];
        for (int i = 0; i < 2 * r; ++i) {
            const int y = cy - r + i;
            if (y < 0 || y >= height) continue;
            const EllipseRow row = (*rows.front())[static_cast<std::size_t>(i)];
            if (row.first > row.last) continue;
            aroundHole(hole, y, row.first + cx, row.last + 1 + cx,
                       [&](int from, int to) { noting.note(y, from, to); });
        }
    }
    // The brush ends as the one-by-one drawing leaves it: solid, in the
    // colour of the last disc that was not skipped.
    for (int j = count - 1; j >= 0; --j) {
        if (radii[j] < 0) continue;
        m_brush.setColor(colours[j]);
        break;
    }
}

void Canvas::lineTo(int x, int y) {
    const Point from = m_penPos;
    m_penPos = {x, y};
    if (m_pen.style == PenStyle::Clear || image().isNull()) return;
    const PixelView px(image());
    const std::uint32_t value = toPixel(m_pen.color);
    if (y == from.y) {
        // Rows are the common case (bands, meshes, scan lines): one span,
        // the end point left out on whichever side it lies.
        if (x > from.x)
            writePixels(px, y, from.x, x, value, m_pen.mode == PenMode::Xor);
        else
            writePixels(px, y, x + 1, from.x + 1, value, m_pen.mode == PenMode::Xor);
        return;
    }
    const Rect hole = m_hole;
    const auto inHole = [&hole](int cx, int cy) {
        return cy >= hole.top && cy < hole.bottom && cx >= hole.left && cx < hole.right;
    };
    // The pixels a line sets in one row lie side by side: each run of them
    // is noted once rather than pixel by pixel.
    DrawnSince& drawn = noted();
    int runY = -1, runX0 = 0, runX1 = 0;
    const auto noteRun = [&] {
        if (runY >= 0) drawn.note(runY, runX0, runX1);
    };
    const auto plotted = [&](int cx, int cy) {
        if (cy == runY && (cx == runX1 || cx + 1 == runX0)) {
            runX0 = std::min(runX0, cx);
            runX1 = std::max(runX1, cx + 1);
            return;
        }
        noteRun();
        runY = cy;
        runX0 = cx;
        runX1 = cx + 1;
    };
    if (m_pen.mode == PenMode::Xor) {
        const std::uint32_t bits = value & 0x00FFFFFFu;
        forEachLinePixel(from.x, from.y, x, y, px.width(), px.height(), [&](int cx, int cy) {
            if (inHole(cx, cy)) return;
            px.row(cy)[cx] ^= bits;
            plotted(cx, cy);
        });
    } else {
        forEachLinePixel(from.x, from.y, x, y, px.width(), px.height(), [&](int cx, int cy) {
            if (inHole(cx, cy)) return;
            px.row(cy)[cx] = value;
            plotted(cx, cy);
        });
    }
    noteRun();
}

// --- copies -----------------------------------------------------------------

namespace {

// `rowsStandAlone`: a row's result depends on its source row alone (not on
// what the destination held), so a row that repeats the source row of the
// one above, as enlarging pictures do, is a copy of that one.
template <typename CopyRow>
void copyMapped(QImage& dst, const QImage& src, const Rect& dest, const Rect& source,
                DrawnSince& drawn, CopyRow copyRow, bool rowsStandAlone = false) {
    if (dst.isNull() || src.isNull()) return;
    const AxisMap xs =
        mapAxis(dest.left, dest.right, source.left, source.right, dst.width(), src.width());
    if (xs.source.empty()) return;
    const AxisMap ys =
        mapAxis(dest.top, dest.bottom, source.top, source.bottom, dst.height(), src.height());
    for (int i = 0; i < ys.size(); ++i) {
        std::uint32_t* d = scanLine(dst, ys.destStart + i) + xs.destStart;
        const std::size_t row = static_cast<std::size_t>(i);
        if (rowsStandAlone && i > 0 && ys.source[row] == ys.source[row - 1])
            std::memcpy(d, scanLine(dst, ys.destStart + i - 1) + xs.destStart,
                        sizeof(std::uint32_t) * static_cast<std::size_t>(xs.size()));
        else
            copyRow(d, scanLine(src, ys.source[row]), xs);
        drawn.note(ys.destStart + i, xs.destStart, xs.destStart + xs.size());
    }
}

}  // namespace

void Canvas::copyRect(const Rect& dest, const Bitmap& from, const Rect& source) {
    // A copy within one bitmap reads from the picture as it was before.
    const QImage src = from.image();
    copyMapped(
        image(), src, dest, source, noted(),
        [](std::uint32_t* d, const std::uint32_t* s, const AxisMap& xs) {
            if (xs.identity) {
                std::memcpy(d, s + xs.source[0], sizeof(std::uint32_t) * xs.source.size());
                return;
            }
            for (int i = 0; i < xs.size(); ++i) d[i] = s[xs.source[static_cast<std::size_t>(i)]];
        },
        &from != m_owner);
}

void Canvas::copyRectTransparent(const Rect& dest, const Bitmap& from, const Rect& source,
                                 Colour key) {
    const QImage src = from.image();
    const std::uint32_t keyBits = toPixel(key) & 0x00FFFFFFu;
    copyMapped(image(), src, dest, source, noted(),
               [keyBits](std::uint32_t* d, const std::uint32_t* s, const AxisMap& xs) {
                   for (int i = 0; i < xs.size(); ++i) {
                       const std::uint32_t p = s[xs.source[static_cast<std::size_t>(i)]];
                       if ((p & 0x00FFFFFFu) != keyBits) d[i] = p;
                   }
               });
}

void Canvas::draw(int x, int y, const Bitmap& picture) {
    copyRect({x, y, x + picture.width(), y + picture.height()}, picture,
             {0, 0, picture.width(), picture.height()});
}

void Canvas::drawKept(int x, int y, const Bitmap& picture) {
    Bitmap& owner = *m_owner;
    DrawnArea& since = owner.m_drawn.kept;
    const Bitmap::Kept now{picture.image().cacheKey(), x, y, picture.width(), picture.height()};
    if (!since.describes(image()) || owner.m_kept != now) {
        draw(x, y, picture);
    } else if (!picture.empty()) {
        // What the bitmap holds of the picture is the picture but where
        // something was drawn since: only that is copied again.
        const QImage src = picture.image();
        const PixelView px(image());
        const int top = std::max(y, 0), bottom = std::min(y + picture.height(), px.height());
        for (int row = top; row < bottom; ++row) {
            const std::uint32_t* s = scanLine(src, row - y);
            since.forEachNoted(row, x, x + picture.width(), [&](int x0, int x1) {
                std::copy(s + (x0 - x), s + (x1 - x), px.row(row) + x0);
                noted().clear.note(row, x0, x1);
            });
        }
    }
    owner.m_kept = now;
    since.startEmpty(image());
}

void Canvas::stretchDraw(const Rect& dest, const Bitmap& picture) {
    copyRect(dest, picture, {0, 0, picture.width(), picture.height()});
}

Colour Canvas::pixel(int x, int y) const {
    const QImage& img = image();
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return kInvalidColour;
    return fromPixel(scanLine(img, y)[x]);
}

void Canvas::setPixel(int x, int y, Colour c) {
    QImage& img = image();
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return;
    scanLine(img, y)[x] = toPixel(c);
    noted().note(y, x, x + 1);
}

}  // namespace orba
