#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <map>
#include <vector>

#include "platform/sjis.h"
#include "platform/sjistext.h"

namespace orba {

namespace {

struct Substitution {
    const char* face;
    QStringList candidates;  // the first installed one wins
};

const QStringList& gothicCandidates() {
    static const QStringList list{"IPAPGothic", "IPAGothic", "Noto Sans CJK JP",
                                  "Droid Sans Fallback"};
    return list;
}

const std::vector<Substitution>& substitutions() {
    static const std::vector<Substitution> table{
        {"ＭＳ Ｐゴシック", {"IPAPGothic", "IPAGothic"}},
        {"MS PGothic", {"IPAPGothic", "IPAGothic"}},
        {"MS UI Gothic", {"IPAPGothic", "IPAGothic"}},
        {"ＭＳ ゴシック", {"IPAGothic", "IPAPGothic"}},
        {"MS Gothic", {"IPAGothic", "IPAPGothic"}},
        {"ＭＳ Ｐ明朝", {"IPAPMincho", "IPAMincho"}},
        {"MS PMincho", {"IPAPMincho", "IPAMincho"}},
        {"ＭＳ 明朝", {"IPAMincho", "IPAPMincho"}},
        {"MS Mincho", {"IPAMincho", "IPAPMincho"}},
        {"Arial", {"Liberation Sans", "Arimo", "DejaVu Sans"}},
        {"Times New Roman", {"Liberation Serif", "Tinos", "DejaVu Serif"}},
        {"Courier New", {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}},
        {"Comic Sans MS", {"Comic Neue", "Liberation Sans", "DejaVu Sans"}},
    };
    return table;
}

QString installed(const QStringList& candidates) {
    static const QStringList families = QFontDatabase::families();
    for (const QString& c : candidates)
        for (const QString& f : families)
            if (f.compare(c, Qt::CaseInsensitive) == 0) return f;
    return {};
}

QString resolveUncached(std::string_view face) {
    const QString name = fontFaceText(face).trimmed();
    for (const Substitution& s : substitutions()) {
        if (name.compare(QString::fromUtf8(s.face), Qt::CaseInsensitive) == 0) {
            QString family = installed(s.candidates);
            if (!family.isEmpty()) return family;
            break;
        }
    }
    if (!name.isEmpty()) {
        QString family = installed({name});
        if (!family.isEmpty()) return family;
    }
    return japaneseGothicFamily();
}

}  // namespace

// Settings files carried over from Windows machines hold face names in
// Shift-JIS.
QString fontFaceText(std::string_view face) {
    return utf8OrSjisText(face);
}

QString japaneseGothicFamily() {
    static const QString family = [] {
        QString f = installed(gothicCandidates());
        return f.isEmpty() ? QStringLiteral("sans-serif") : f;
    }();
    return family;
}

QString resolveFontFace(std::string_view face) {
    thread_local std::map<std::string, QString, std::less<>> cache;
    if (auto it = cache.find(face); it != cache.end()) return it->second;
    QString family = resolveUncached(face);
    cache.emplace(std::string(face), family);
    return family;
}

int fontPixelSize(int points) {
    // Points to pixels at 96 dpi, rounded half up. A hand-edited size can be
    // anything: glyphs stop growing at kMaxFontPixels, since a text larger
    // than any screen would only cost memory (its mask grows with its square).
    const long long magnitude = points < 0 ? -static_cast<long long>(points) : points;
    return static_cast<int>(std::min<long long>((magnitude * 96 + 36) / 72, kMaxFontPixels));
}

QFont makeQFont(std::string_view face, int points, FontStyles style) {
    QFont font;
    const QString family = resolveFontFace(face);
    const QString gothic = japaneseGothicFamily();
    font.setFamilies(family == gothic ? QStringList{family} : QStringList{family, gothic});
    // Size 0 asks the platform for its default height.
    const int pixels = points == 0 ? fontPixelSize(9) : fontPixelSize(points);
    font.setPixelSize(pixels > 0 ? pixels : 1);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    return font;
}

}  // namespace orba
