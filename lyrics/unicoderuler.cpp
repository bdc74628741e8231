#include "lyrics/unicoderuler.h"

#include <QChar>
#include <QString>
#include <algorithm>
#include <array>
#include <climits>
#include <list>
#include <unordered_map>

#include "lyrics/recentlyused.h"
#include "platform/perthread.h"
#include "platform/textencoding.h"

namespace orba {

namespace {

constexpr std::size_t kPieceUnits = 64;
// A piece also ends once it holds this many bytes, so that a part drawn at
// once stays small however narrow its units are.
constexpr std::size_t kPieceBytes = 256;
constexpr std::size_t kMaxShownPieces = 64;
constexpr std::size_t kFonts = 4;
// Neighbouring characters in [kFirstKerned, kEndKerned) are measured in
// pairs for their kerning: Latin letters, digits and punctuation, which
// fonts kern; a table of every pair stays small.
constexpr char32_t kFirstKerned = 0x20;
constexpr char32_t kEndKerned = 0x180;
constexpr std::size_t kKerned = kEndKerned - kFirstKerned;
// Units of more than one character are kept by their bytes, up to this many.
constexpr std::size_t kMaxKeptUnits = 1 << 16;
constexpr int kUnknown = INT_MIN;
constexpr char32_t kBroken = 0xFFFFFFFF;  // a byte that starts no UTF-8 sequence
constexpr std::string_view kCutter = "\xC2\x9C";

// The character of the n bytes at s[i] (as textCharLength steps them);
// kBroken for a byte that starts nothing and for sequences that decode to
// no character (overlong forms, surrogates, beyond U+10FFFF).
char32_t decodeAt(std::string_view s, std::size_t i, std::size_t n) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (n == 1) return byte(0) < 0x80 ? byte(0) : kBroken;
    char32_t c = byte(0) & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) c = c << 6 | (byte(k) & 0x3F);
    const bool overlong = (n == 3 && c < 0x800) || (n == 4 && c < 0x10000);
    return overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF ? kBroken : c;
}

// Scripts whose letters take their shape from their neighbours.
bool isShapingScript(QChar::Script s) {
    switch (s) {
        case QChar::Script_Unknown:
        case QChar::Script_Common:
        case QChar::Script_Inherited:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Armenian:
        case QChar::Script_Hebrew:
        case QChar::Script_Georgian:
        case QChar::Script_Hangul:
        case QChar::Script_Ethiopic:
        case QChar::Script_Cherokee:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Bopomofo:
        case QChar::Script_Han:
        case QChar::Script_Yi:
        case QChar::Script_Braille:
            return false;
        default:
            return true;
    }
}

enum class Kind : std::uint8_t {
    Other,
    Extend,
    Joiner,
    Regional,
    JamoL,
    JamoVT,
    Syllable,
    Shaping,
    Broken
};

Kind kindOf(char32_t c) {
    if (c == kBroken) return Kind::Broken;
    if (c == 0x200D) return Kind::Joiner;
    if (c >= 0x1F1E6 && c <= 0x1F1FF) return Kind::Regional;
    if (c >= 0x1F3FB && c <= 0x1F3FF) return Kind::Extend;  // skin tones
    if ((c >= 0x1100 && c <= 0x115F) || (c >= 0xA960 && c <= 0xA97F)) return Kind::JamoL;
    if ((c >= 0x1160 && c <= 0x11FF) || (c >= 0xD7B0 && c <= 0xD7FF)) return Kind::JamoVT;
    if (c >= 0xAC00 && c <= 0xD7A3) return Kind::Syllable;
    switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
            return Kind::Extend;
        default:
            return isShapingScript(QChar::script(c)) ? Kind::Shaping : Kind::Other;
    }
}

// Whether a character of kind k belongs to the unit so far.
bool joins(Kind first, Kind previous, Kind k, int chars) {
    if (k == Kind::Extend || k == Kind::Joiner) return true;
    if (previous == Kind::Joiner) return k != Kind::Broken;
    switch (k) {
        case Kind::Regional:
            return first == Kind::Regional && chars == 1;  // flags are pairs
        case Kind::JamoL:
            return previous == Kind::JamoL;
        case Kind::JamoVT:
            return previous == Kind::JamoL || previous == Kind::JamoVT ||
                   previous == Kind::Syllable;
        case Kind::Syllable:
            return previous == Kind::JamoL;
        case Kind::Shaping:
        case Kind::Broken:
            return first == k;
        default:
            return false;
    }
}

// The character of a unit that may kern with its neighbours, else 0.
char32_t kerningChar(std::string_view unit) {
    const auto c = static_cast<unsigned char>(unit[0]);
    if (unit.size() == 1) return c >= kFirstKerned && c < 0x80 ? c : 0;
    if (unit.size() != 2 || textCharLength(unit, 0, TextEncoding::Utf8) != 2) return 0;
    const char32_t d = decodeAt(unit, 0, 2);
    return d < kEndKerned ? d : 0;
}

QString textOfUtf8(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

long long floorDiv(long long v, long long d) {
    return v >= 0 ? v / d : -((-v + d - 1) / d);
}

int clampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

}  // namespace

int layoutPixels(long long sixtyFourths) {
    return clampToInt(floorDiv(sixtyFourths + 32, 64));
}

std::size_t textUnitEnd(std::string_view text, std::size_t from, std::size_t limit) {
    limit = std::min(limit, text.size());
    std::size_t i = from;
    Kind first = Kind::Other, previous = Kind::Other;
    for (int chars = 0; i < limit && chars < kMaxUnitChars; ++chars) {
        const std::size_t n = textCharLength(text, i, TextEncoding::Utf8);
        if (i + n > limit) return chars == 0 ? limit : i;
        const Kind k = kindOf(decodeAt(text, i, n));
        if (chars == 0)
            first = k;
        else if (!joins(first, previous, k, chars))
            break;
        previous = k;
        i += n;
    }
    return i;
}

struct BytesHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Advances of the units of one font in sixty-fourths of a pixel: single
// characters in pages by their code, longer units by their bytes.
class UnicodeAdvances {
public:
    explicit UnicodeAdvances(FontFace font) : m_font(std::move(font)), m_pages(0x110000 >> 8) {}
    const FontFace& font() const { return m_font; }

    int of(Canvas& canvas, std::string_view unit) {
        const std::size_t n = textCharLength(unit, 0, TextEncoding::Utf8);
        const char32_t c = n == unit.size() ? decodeAt(unit, 0, n) : kBroken;
        if (c == kBroken) {
            if (auto it = m_units.find(unit); it != m_units.end()) return it->second;
            if (m_units.size() >= kMaxKeptUnits) m_units.clear();
            return m_units.emplace(std::string(unit), measure(canvas, unit)).first->second;
        }
        auto& page = m_pages[c >> 8];
        if (!page) {
            page = std::make_unique<std::array<int, 256>>();
            page->fill(kUnknown);
        }
        int& advance = (*page)[c & 0xFF];
        if (advance == kUnknown) advance = measure(canvas, unit);
        return advance;
    }

    // What laying out a and b together adds to their advances; 0 when
    // either is 0 (no character that kerns).
    int kerning(Canvas& canvas, char32_t a, char32_t b) {
        if (a == 0 || b == 0 || !kerns(canvas)) return 0;
        if (m_pairs.empty()) m_pairs.assign(kKerned * kKerned, kUnknown);
        int& k = m_pairs[(a - kFirstKerned) * kKerned + (b - kFirstKerned)];
        if (k == kUnknown) k = measurePair(canvas, a, b);
        return k;
    }

private:
    static int measure(Canvas& canvas, std::string_view unit) {
        return canvas.exactTextWidth(textOfUtf8(unit));
    }

    int measurePair(Canvas& canvas, char32_t a, char32_t b) {
        const QString pair = QString(QChar(a)) + QChar(b);
        return canvas.exactTextWidth(pair) - canvas.exactTextWidth(pair.left(1)) -
               canvas.exactTextWidth(pair.right(1));
    }

    // Most faces kern no pair at all; they are found out by the pairs that
    // kerning faces are sure to adjust, so that their texts never measure pairs.
    bool kerns(Canvas& canvas) {
        if (m_kerns < 0) {
            m_kerns = 0;
            for (const char* pair : {"AV", "AT", "LT", "To", "Ta", "Vo", "Wa", "Ya", "P.", "F,"})
                m_kerns = m_kerns || measurePair(canvas, pair[0], pair[1]) != 0;
        }
        return m_kerns > 0;
    }

    FontFace m_font;
    std::vector<std::unique_ptr<std::array<int, 256>>> m_pages;
    std::unordered_map<std::string, int, BytesHash, std::equal_to<>> m_units;
    int m_kerns = -1;  // not known yet
    std::vector<int> m_pairs;
};

namespace {

std::shared_ptr<UnicodeAdvances> advancesFor(const FontFace& font) {
    return recentlyUsed(
        perThread<struct UnicodeAdvanceTables, std::list<std::shared_ptr<UnicodeAdvances>>>(),
        kFonts, [&](const auto& a) { return a->font() == font; },
        [&] { return std::make_shared<UnicodeAdvances>(font); });
}

}  // namespace

UnicodeRuler::UnicodeRuler(Canvas& canvas, std::string_view text)
    : m_font{canvas.font().name, canvas.font().size, canvas.font().style},
      m_text(text),
      m_advances(advancesFor(m_font)) {
    const std::string_view all(m_text);
    long long x = 0;
    char32_t last = 0;
    std::size_t units = kPieceUnits;
    for (std::size_t i = 0; i < all.size();) {
        const std::size_t end = textUnitEnd(all, i, all.size());
        const std::string_view unit = all.substr(i, end - i);
        const char32_t c = kerningChar(unit);
        // Kerning moves the second glyph of a pair, so it counts before it.
        x += m_advances->kerning(canvas, last, c);
        if (units == kPieceUnits || i - m_starts.back() >= kPieceBytes) {
            m_starts.push_back(i);
            m_xs.push_back(x);
            units = 0;
        }
        x += m_advances->of(canvas, unit);
        last = c;
        ++units;
        i = end;
    }
    m_starts.push_back(all.size());
    m_xs.push_back(x);
    for (std::size_t at = all.find(kCutter); at != std::string_view::npos;
         at = all.find(kCutter, at + 1))
        m_cutters.push_back(at);
}

UnicodeRuler::~UnicodeRuler() = default;

bool UnicodeRuler::measures(const FontFace& font, std::string_view text) const {
    return text.size() == m_text.size() && font == m_font && text == m_text;
}

UnicodeRuler::Walk UnicodeRuler::walk(Canvas& canvas, std::size_t from, std::size_t to) const {
    const std::string_view all(m_text);
    Walk w;
    for (std::size_t i = from; i < to;) {
        const std::size_t end = textUnitEnd(all, i, to);
        const std::string_view unit = all.substr(i, end - i);
        const char32_t c = kerningChar(unit);
        w.advance += m_advances->kerning(canvas, w.last, c) + m_advances->of(canvas, unit);
        w.last = c;
        i = end;
    }
    return w;
}

char32_t UnicodeRuler::kerningCharAt(std::size_t at) const {
    if (at >= m_text.size()) return 0;
    const std::string_view all(m_text);
    return kerningChar(all.substr(at, textUnitEnd(all, at, all.size()) - at));
}

UnicodeRuler::Origin UnicodeRuler::originOf(Canvas& canvas, std::size_t from) const {
    Origin o;
    o.piece = static_cast<std::size_t>(std::lower_bound(m_starts.begin(), m_starts.end(), from) -
                                       m_starts.begin());
    const std::size_t p = m_starts[o.piece];
    const Walk head = walk(canvas, from, p);
    o.base =
        m_xs[o.piece] - head.advance - m_advances->kerning(canvas, head.last, kerningCharAt(p));
    return o;
}

long long UnicodeRuler::spanWidth(Canvas& canvas, std::size_t a, std::size_t b) const {
    if (a >= b) return 0;
    // The pieces that start in [a, b): the first and the last of them.
    const auto k1 = std::lower_bound(m_starts.begin(), m_starts.end(), a) - m_starts.begin();
    const auto k2 = std::lower_bound(m_starts.begin(), m_starts.end(), b) - m_starts.begin() - 1;
    if (k1 > k2) return walk(canvas, a, b).advance;
    const Origin o = originOf(canvas, a);
    return m_xs[k2] - o.base + walk(canvas, m_starts[k2], b).advance;
}

long long UnicodeRuler::width(Canvas& canvas, std::size_t a, std::size_t b) const {
    b = std::min(b, m_text.size());
    const auto cutter = std::lower_bound(m_cutters.begin(), m_cutters.end(), a);
    if (cutter != m_cutters.end()) b = std::min(b, *cutter);
    return spanWidth(canvas, a, b);
}

ShownText UnicodeRuler::shown(Canvas& canvas, int x, std::string_view text, std::size_t from,
                              long long left, long long right) const {
    ShownText none{x, 0, {}, x, layoutPixels(width(canvas, from, m_text.size()))};
    const Origin o = originOf(canvas, from);
    const long long l = left * 64 + o.base, r = right * 64 + o.base;
    const std::size_t end = m_starts.size() - 1;
    if (m_xs[end] <= l) return none;
    // Drawn as far as it is measured.
    const auto cutter = std::lower_bound(m_cutters.begin(), m_cutters.end(), from);
    const std::size_t stop = cutter == m_cutters.end() ? m_text.size() : *cutter;
    // The part begins at `from` while the glyphs before the first piece
    // reach the columns, else at the last piece that starts left of them.
    std::size_t first = o.piece, begin = from;
    if (o.piece < end && m_xs[o.piece] <= l) {
        first = static_cast<std::size_t>(
            std::upper_bound(m_xs.begin() + o.piece, m_xs.begin() + end, l) - m_xs.begin() - 1);
        begin = m_starts[first];
    }
    const long long at = begin == from ? 0 : m_xs[first] - o.base;
    if (at >= right * 64 || begin >= stop) return none;
    std::size_t last = first;
    while (last < end && last - first < kMaxShownPieces && m_xs[last] < r) ++last;
    ShownText part = none;
    part.x = clampToInt(x + floorDiv(at, 64));
    part.subpixels = static_cast<int>(at - floorDiv(at, 64) * 64);
    part.text = text.substr(begin, std::min(m_starts[last], stop) - begin);
    return part;
}

}  // namespace orba
