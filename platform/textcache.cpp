#include "platform/textcache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <list>
#include <utility>

#include "platform/perthread.h"

namespace orba {

namespace {

// A little most-recently-used list; lookups move the hit to the front.
template <typename Key, typename Value, std::size_t Limit>
class RecentCache {
public:
    template <typename Make>
    const Value& get(const Key& key, Make make) {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->first == key) {
                if (it != m_entries.begin()) m_entries.splice(m_entries.begin(), m_entries, it);
                return m_entries.front().second;
            }
        }
        m_entries.emplace_front(key, make());
        if (m_entries.size() > Limit) m_entries.pop_back();
        return m_entries.front().second;
    }

private:
    std::list<std::pair<Key, Value>> m_entries;
};

struct LoadedFont {
    QFont font;
    QFontMetrics metrics;
    QFontMetricsF exactMetrics;
};

const LoadedFont& loadedFont(const FontFace& face) {
    using Fonts = RecentCache<FontFace, std::shared_ptr<const LoadedFont>, 16>;
    return *perThread<struct LoadedFonts, Fonts>().get(face, [&] {
        QFont font = makeQFont(face.name, face.size, face.style);
        return std::make_shared<const LoadedFont>(
            LoadedFont{font, QFontMetrics(font), QFontMetricsF(font)});
    });
}

long long floorTo(long long v, long long step) {
    return v >= 0 ? v / step * step : -((-v + step - 1) / step * step);
}

long long ceilTo(long long v, long long step) {
    return -floorTo(-v, step);
}

struct RenderKey {
    FontFace face;
    QString text;
    Rect area;
    int subpixels;
    bool operator==(const RenderKey&) const = default;
};

std::shared_ptr<const RenderedText> rasterise(const FontFace& face, const QString& text,
                                              const Rect& area, int subpixels) {
    const LoadedFont& f = loadedFont(face);
    auto out = std::make_shared<RenderedText>();
    out->width = textAdvance(face, text);
    out->height = f.metrics.height();
    if (text.isEmpty() || area.right <= area.left || area.bottom <= area.top) return out;

    // The area starts left of and above the text's top-left, with room for
    // glyphs that overhang their box (italics, accents, underlines below the
    // descent).
    QImage canvas(area.right - area.left, area.bottom - area.top,
                  QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) return out;
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setFont(f.font);
        p.setPen(Qt::white);
        p.drawText(QPointF(-area.left + subpixels / 64.0, -area.top + f.metrics.ascent()), text);
    }
    const QImage alpha = canvas.convertToFormat(QImage::Format_Alpha8);

    int top = alpha.height(), bottom = -1, left = alpha.width(), right = -1;
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* row = alpha.constScanLine(y);
        for (int x = 0; x < alpha.width(); ++x) {
            if (row[x] == 0) continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            left = std::min(left, x);
            right = std::max(right, x);
        }
    }
    if (bottom < 0) return out;  // only blanks
    out->coverage = alpha.copy(left, top, right - left + 1, bottom - top + 1);
    out->left = left + area.left;
    out->top = top + area.top;
    return out;
}

}  // namespace

Rect textRasterArea(int advance, int height, const Rect& visible) {
    const long long pad = height + 2LL;
    const long long boxLeft = -pad, boxTop = -pad;
    const long long boxRight = std::max(advance, 0) + pad, boxBottom = height + pad;
    const auto rect = [](long long l, long long t, long long r, long long b) {
        return Rect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r),
                    static_cast<int>(b)};
    };
    if ((boxRight - boxLeft) * (boxBottom - boxTop) <= kWholeTextPixels)
        return rect(boxLeft, boxTop, boxRight, boxBottom);
    const long long l = std::max(boxLeft, floorTo(visible.left, kTextTile));
    const long long t = std::max(boxTop, floorTo(visible.top, kTextTile));
    const long long r = std::min(boxRight, ceilTo(visible.right, kTextTile));
    const long long b = std::min(boxBottom, ceilTo(visible.bottom, kTextTile));
    if (l >= r || t >= b) return {};
    return rect(l, t, r, b);
}

std::shared_ptr<const RenderedText> renderText(const FontFace& face, const QString& text,
                                               const Rect& visible, int subpixels) {
    const Rect area = textRasterArea(textAdvance(face, text), fontHeight(face), visible);
    using Texts = RecentCache<RenderKey, std::shared_ptr<const RenderedText>, 32>;
    return perThread<struct RenderedTexts, Texts>().get(
        RenderKey{face, text, area, subpixels},
        [&] { return rasterise(face, text, area, subpixels); });
}

int textAdvance(const FontFace& face, const QString& text) {
    using Key = std::pair<FontFace, QString>;
    return perThread<struct TextAdvances, RecentCache<Key, int, 64>>().get(
        Key{face, text}, [&] { return loadedFont(face).metrics.horizontalAdvance(text); });
}

int exactTextAdvance(const FontFace& face, const QString& text) {
    // QFontMetricsF gives the layout's 26.6 fixed-point sum unrounded.
    return static_cast<int>(
        std::lround(loadedFont(face).exactMetrics.horizontalAdvance(text) * 64));
}

int fontHeight(const FontFace& face) {
    return loadedFont(face).metrics.height();
}

}  // namespace orba
