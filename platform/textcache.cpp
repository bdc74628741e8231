#include "platform/textcache.h"

#include <QPainter>
#include <list>
#include <utility>

namespace orba {

namespace {

// A little most-recently-used list; lookups move the hit to the front.
template <typename Key, typename Value>
class RecentCache {
public:
    explicit RecentCache(std::size_t limit) : m_limit(limit) {}

    template <typename Make>
    const Value& get(const Key& key, Make make) {
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->first == key) {
                if (it != m_entries.begin()) m_entries.splice(m_entries.begin(), m_entries, it);
                return m_entries.front().second;
            }
        }
        m_entries.emplace_front(key, make());
        if (m_entries.size() > m_limit) m_entries.pop_back();
        return m_entries.front().second;
    }

private:
    std::size_t m_limit;
    std::list<std::pair<Key, Value>> m_entries;
};

struct LoadedFont {
    QFont font;
    QFontMetrics metrics;
};

const LoadedFont& loadedFont(const FontFace& face) {
    // Kept to the end of the process: fonts must not outlive the GUI
    // application, which a static destructor would make them do.
    static auto* cache = new RecentCache<FontFace, std::shared_ptr<const LoadedFont>>(16);
    return *cache->get(face, [&] {
        QFont font = makeQFont(face.name, face.size, face.style);
        return std::make_shared<const LoadedFont>(LoadedFont{font, QFontMetrics(font)});
    });
}

std::shared_ptr<const RenderedText> rasterise(const FontFace& face, const QString& text) {
    const LoadedFont& f = loadedFont(face);
    auto out = std::make_shared<RenderedText>();
    out->width = f.metrics.horizontalAdvance(text);
    out->height = f.metrics.height();
    if (text.isEmpty()) return out;

    // Room on every side for glyphs that overhang their box (italics,
    // accents, underlines below the descent).
    const int pad = out->height + 2;
    QImage canvas(out->width + 2 * pad, out->height + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setFont(f.font);
        p.setPen(Qt::white);
        p.drawText(QPointF(pad, pad + f.metrics.ascent()), text);
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
    out->left = left - pad;
    out->top = top - pad;
    return out;
}

}  // namespace

std::shared_ptr<const RenderedText> renderText(const FontFace& face, const QString& text) {
    using Key = std::pair<FontFace, QString>;
    static auto* cache = new RecentCache<Key, std::shared_ptr<const RenderedText>>(32);
    return cache->get(Key{face, text}, [&] { return rasterise(face, text); });
}

int fontHeight(const FontFace& face) {
    return loadedFont(face).metrics.height();
}

}  // namespace orba
