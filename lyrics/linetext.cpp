// A long Shift-JIS text is measured by a ruler: the advance of each
// character, taken once per font and character (in sixteenths of a pixel,
// from a run of sixteen copies, so that the sums do not drift from the drawn
// text), summed along the text and kept at the start of every piece of
// kPieceChars characters. Shift-JIS keeps no state from one character to the
// next, so the characters can be measured apart; only kerning is left out,
// which the pieces drawn whole keep. Unicode text has a ruler of its own
// (unicoderuler.h).
#include "lyrics/linetext.h"

#include <algorithm>
#include <climits>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "lyrics/recentlyused.h"
#include "lyrics/sjistext.h"
#include "lyrics/unicoderuler.h"
#include "platform/perthread.h"

namespace orba {

namespace {

constexpr int kPieceChars = 64;
constexpr int kSubpixels = 16;
// A part drawn at once holds at most this many pieces, however narrow its
// characters are.
constexpr std::size_t kMaxShownPieces = 64;
constexpr std::size_t kRulers = 6;
constexpr std::size_t kFonts = 4;

using FontKey = FontFace;

FontKey keyOf(const Font& f) {
    return {f.name, f.size, f.style};
}

// A part drawn at x, with its box where it is drawn.
ShownText whole(int x, std::string_view text) {
    return {x, 0, text, x, -1};
}

int pixels(long long subpixels) {
    const long long p = subpixels >= 0 ? (subpixels + kSubpixels / 2) / kSubpixels
                                       : -((-subpixels + kSubpixels / 2) / kSubpixels);
    return static_cast<int>(std::clamp<long long>(p, INT_MIN, INT_MAX));
}

// Advances of the characters of one font, by their one- or two-byte code.
class Advances {
public:
    explicit Advances(FontKey font) : m_font(std::move(font)), m_table(65536, -1) {}
    const FontKey& font() const { return m_font; }

    int of(Canvas& canvas, std::string_view ch) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(ch[i]); };
        const unsigned code = ch.size() == 1 ? byte(0) : (byte(0) << 8) | byte(1);
        int& advance = m_table[code];
        if (advance < 0) {
            std::string run;
            for (int i = 0; i < kSubpixels; ++i) run += ch;
            advance = std::max(canvas.textWidth(std::string_view(run)), 0);
        }
        return advance;
    }

private:
    FontKey m_font;
    std::vector<int> m_table;
};

std::shared_ptr<Advances> advancesFor(const FontKey& font) {
    return recentlyUsed(
        perThread<struct AdvanceTables, std::list<std::shared_ptr<Advances>>>(), kFonts,
        [&](const auto& a) { return a->font() == font; },
        [&] { return std::make_shared<Advances>(font); });
}

class Ruler {
public:
    Ruler(Canvas& canvas, std::string_view text)
        : m_font(keyOf(canvas.font())), m_text(text), m_advances(advancesFor(m_font)) {
        long long x = 0;
        int chars = 0;
        for (std::size_t i = 0; i < m_text.size(); ++chars) {
            if (chars % kPieceChars == 0) {
                m_starts.push_back(i);
                m_xs.push_back(x);
            }
            const std::size_t len = sjisCharLength(m_text, i);
            x += m_advances->of(canvas, std::string_view(m_text).substr(i, len));
            i += len;
        }
        m_starts.push_back(m_text.size());
        m_xs.push_back(x);
    }

    bool measures(const FontKey& font, std::string_view text) const {
        return text.size() == m_text.size() && font == m_font && text == m_text;
    }

    int width() const { return pixels(m_xs.back()); }

    // x where the first `bytes` bytes end, in sixteenths of a pixel.
    long long prefix(Canvas& canvas, std::size_t bytes) const {
        bytes = std::min(bytes, m_text.size());
        const std::size_t k = static_cast<std::size_t>(
            std::upper_bound(m_starts.begin(), m_starts.end(), bytes) - m_starts.begin() - 1);
        long long x = m_xs[k];
        for (std::size_t i = m_starts[k]; i < bytes;) {
            const std::size_t len = sjisCharLength(m_text, i);
            x += m_advances->of(canvas, std::string_view(m_text).substr(i, len));
            i += len;
        }
        return x;
    }

    // The pieces that reach [from, to) of the text's own columns.
    ShownText shown(int x, long long from, long long to, std::string_view text) const {
        const std::size_t pieces = m_starts.size() - 1;
        // The first piece that ends right of `from`.
        const auto after = std::upper_bound(m_xs.begin(), m_xs.end(), from * kSubpixels);
        if (after == m_xs.end()) return whole(x, {});
        const std::size_t first =
            after == m_xs.begin() ? 0 : static_cast<std::size_t>(after - m_xs.begin() - 1);
        if (first >= pieces) return whole(x, {});
        std::size_t end = first;
        while (end < pieces && end - first < kMaxShownPieces && m_xs[end] < to * kSubpixels) ++end;
        const long long at = static_cast<long long>(x) + pixels(m_xs[first]);
        return whole(static_cast<int>(std::clamp<long long>(at, INT_MIN, INT_MAX)),
                     text.substr(m_starts[first], m_starts[end] - m_starts[first]));
    }

private:
    FontKey m_font;
    std::string m_text;
    std::shared_ptr<Advances> m_advances;
    std::vector<std::size_t> m_starts;  // byte offset of each piece, then the end
    std::vector<long long> m_xs;        // x of each piece's start, then the width
};

template <typename R>
const R& rulerFor(Canvas& canvas, std::string_view text) {
    const FontKey font = keyOf(canvas.font());
    return *recentlyUsed(
        perThread<struct Rulers, std::list<std::unique_ptr<R>>>(), kRulers,
        [&](const auto& r) { return r->measures(font, text); },
        [&] { return std::make_unique<R>(canvas, text); });
}

bool isLong(std::string_view text) {
    return text.size() > kLongTextBytes;
}

bool isUnicode(const Canvas& canvas) {
    return canvas.font().charset == kUnicodeCharset;
}

}  // namespace

int lyricTextWidth(Canvas& canvas, std::string_view text) {
    if (!isLong(text)) return canvas.textWidth(text);
    if (isUnicode(canvas))
        return layoutPixels(rulerFor<UnicodeRuler>(canvas, text).width(canvas, 0, text.size()));
    return rulerFor<Ruler>(canvas, text).width();
}

int lyricPrefixWidth(Canvas& canvas, std::string_view text, std::string_view part) {
    if (!isLong(text) || part.size() > text.size() || text.substr(0, part.size()) != part)
        return lyricTextWidth(canvas, part);
    if (isUnicode(canvas))
        return layoutPixels(rulerFor<UnicodeRuler>(canvas, text).width(canvas, 0, part.size()));
    return pixels(rulerFor<Ruler>(canvas, text).prefix(canvas, part.size()));
}

ShownText shownText(Canvas& canvas, int x, std::string_view text, int left, int right,
                    std::size_t from) {
    from = std::min(from, text.size());
    const bool unicode = isLong(text) && isUnicode(canvas);
    if (!unicode) {
        text.remove_prefix(from);
        if (!isLong(text)) return whole(x, text);
    }
    // Glyphs reach out of their advance by less than the font's height.
    const long long margin = canvas.textHeight(std::string_view()) + 2LL;
    const long long l = static_cast<long long>(left) - x - margin;
    const long long r = static_cast<long long>(right) - x + margin;
    if (unicode) return rulerFor<UnicodeRuler>(canvas, text).shown(canvas, x, text, from, l, r);
    return rulerFor<Ruler>(canvas, text).shown(x, l, r, text);
}

}  // namespace orba
