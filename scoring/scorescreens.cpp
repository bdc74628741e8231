#include "scoring/scorescreens.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "lyrics/textdrawing.h"
#include "platform/blend.h"
#include "platform/fonts.h"

namespace orba {

namespace {

constexpr int kLaneMarginMs = 300;
constexpr int kKeysShown = 13;  // an octave and a note: folded traces stay inside
constexpr Colour kBarColour = 0xFFC060;
constexpr Colour kSungBarColour = 0xFFE0B0;
constexpr Colour kTraceOff = 0xA0A0A0;  // sung between the notes
constexpr Colour kResultsRule = 0x00C0FF;
constexpr Colour kTraceHit = 0x40FF40;
constexpr Colour kTraceMiss = 0x4040FF;
constexpr Colour kLaneLine = 0x604040;

void useMessageFont(Canvas& canvas, const Settings& s, int size) {
    Font& font = canvas.font();
    font.charset = kDefaultCharset;
    font.name = s.fontSpecified ? s.fontName : std::string(kDefaultFontFace);
    font.size = std::max(1, size);
}

// A black picture of the band's size blended over it: the unstretched blend
// runs on the row kernels, a stretched one pixel by pixel. Kept between
// frames, one per drawing thread.
void shade(Bitmap& back, const Rect& r, int opacity) {
    thread_local Bitmap black;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    if (black.width() != w || black.height() != h) black = Bitmap(w, h);
    drawBlended(back, r.left, r.top, 0, opacity, black);
}

QString thousands(int n) {
    QString digits = QString::number(n);
    for (int at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
    return digits;
}

Colour ratingColour(const std::string& rating) {
    if (rating == "Perfect") return 0x40FFFF;
    if (rating == "Great") return 0x40FF40;
    if (rating == "Good") return 0xFFC040;
    if (rating == "OK") return 0xFFFFFF;
    return 0x8080FF;
}

}  // namespace

Rect noteLaneRect(const FrameValues& f) {
    const int bottom = f.ch - f.unitX * 9;
    const int height = f.ch * 22 / 100;
    return {f.cw / 20, bottom - height, f.cw - f.cw / 20, bottom};
}

LaneView laneViewAt(const Scorer& scorer, int nowMs, int keyShift) {
    LaneView v;
    v.nowMs = nowMs;
    v.total = scorer.total();
    v.pitched = scorer.reference().kind != ReferenceKind::TimingOnly;
    const std::vector<RefNote>& notes = scorer.notes();
    // The line of the note being sung, else of the next one, else the last.
    const auto next =
        std::find_if(notes.begin(), notes.end(), [&](const RefNote& n) { return n.endMs > nowMs; });
    if (notes.empty()) return v;
    const int line = (next == notes.end() ? notes.back() : *next).line;
    for (RefNote n : notes) {
        if (n.line != line) continue;
        if (n.key != kNoKey) n.key += keyShift;
        v.notes.push_back(n);
    }
    v.fromMs = v.notes.front().startMs - kLaneMarginMs;
    v.toMs = v.notes.back().endMs + kLaneMarginMs;
    for (const TracePoint& p : scorer.trace())
        if (p.ms >= v.fromMs && p.ms <= std::min(v.toMs, nowMs)) v.trace.push_back(p);
    return v;
}

void drawNoteLane(Bitmap& back, const FrameValues& f, const Settings& s, const LaneView& lane) {
    const Rect r = noteLaneRect(f);
    if (r.right <= r.left || r.bottom <= r.top) return;
    shade(back, r, 50);
    Canvas& canvas = back.canvas();
    const Font lyricFont = canvas.font();
    const Pen lyricPen = canvas.pen();

    // The line's keys, centred, an octave and a note high.
    int low = 0, high = 0;
    bool any = false;
    for (const RefNote& n : lane.notes) {
        if (n.key == kNoKey) continue;
        low = any ? std::min(low, n.key) : n.key;
        high = any ? std::max(high, n.key) : n.key;
        any = true;
    }
    const double middle = any ? (low + high) / 2.0 : 60.0;
    const double bottomKey = middle - kKeysShown / 2.0;
    const int laneH = r.bottom - r.top;
    const double keyH = laneH / double(kKeysShown + 1);
    const int span = std::max(1, lane.toMs - lane.fromMs);
    auto xOf = [&](int ms) {
        return r.left + static_cast<int>((long long)(ms - lane.fromMs) * (r.right - r.left) / span);
    };
    auto yOf = [&](double key) {
        return r.bottom - static_cast<int>((key - bottomKey + 0.5) * keyH) - 1;
    };
    canvas.pen() = Pen{};
    canvas.pen().color = kLaneLine;
    for (int k = 0; k <= kKeysShown; k += 2) {
        const int y = r.bottom - static_cast<int>((k + 0.5) * keyH);
        canvas.moveTo(r.left, y);
        canvas.lineTo(r.right, y);
    }

    const int barH = std::max(2, static_cast<int>(keyH * 0.8));
    for (const RefNote& n : lane.notes) {
        const int y = n.key == kNoKey || !lane.pitched ? r.top + laneH / 2 : yOf(n.key);
        canvas.brush().setColor(n.endMs <= lane.nowMs ? kSungBarColour : kBarColour);
        canvas.fillRect({xOf(n.startMs), y - barH / 2,
                         std::max(xOf(n.startMs) + 2, xOf(n.endMs) - 1), y - barH / 2 + barH});
    }
    // The voice, folded by octaves next to the notes so that it stays in view.
    const int dot = std::max(2, barH / 3);
    for (const TracePoint& p : lane.trace) {
        double key = p.key;
        if (!lane.pitched || key == kNoKey) {
            key = middle;
        } else {
            while (key < bottomKey) key += 12;
            while (key > bottomKey + kKeysShown) key -= 12;
        }
        const int x = xOf(p.ms);
        const int y = lane.pitched ? yOf(key) : r.top + laneH / 2;
        canvas.brush().setColor(p.credit < 0       ? kTraceOff
                                : p.credit >= 0.5f ? kTraceHit
                                                   : kTraceMiss);
        canvas.fillRect({x - dot / 2, y - dot / 2, x - dot / 2 + dot, y - dot / 2 + dot});
    }
    if (lane.nowMs >= lane.fromMs && lane.nowMs <= lane.toMs) {
        canvas.pen().color = 0xFFFFFF;
        canvas.moveTo(xOf(lane.nowMs), r.top);
        canvas.lineTo(xOf(lane.nowMs), r.bottom);
    }
    canvas.brush().setStyle(BrushStyle::Clear);

    useMessageFont(canvas, s, static_cast<int>(f.unitX * 0.8));
    const QString score = thousands(lane.total);
    drawOutlinedText(back, r.right - canvas.textWidth(score) - f.unitX / 2, r.top + f.unitY, true,
                     100, 0, 0x000000, 0xFFFFFF, score);
    if (!lane.rating.empty()) {
        useMessageFont(canvas, s, f.unitX);
        drawOutlinedText(back, r.left + f.unitX / 2, r.top + f.unitY, true, 100, 0, 0x000000,
                         ratingColour(lane.rating), QString::fromStdString(lane.rating));
    }
    if (!lane.label.empty()) {
        useMessageFont(canvas, s, static_cast<int>(f.unitX * 0.5));
        const QString label = QString::fromUtf8(lane.label.c_str());
        drawOutlinedText(back, r.left + f.unitX / 2, r.bottom - f.unitX, true, 100, 0, 0x000000,
                         0xC0C0C0, label);
    }
    canvas.font() = lyricFont;
    canvas.pen() = lyricPen;
}

ResultsView resultsOf(const Scorer& scorer, int best) {
    ResultsView v;
    v.total = scorer.total();
    v.best = best;
    v.reference = referenceName(scorer.reference());
    for (const LineResult& l : scorer.results()) {
        const std::string_view r = l.rating;
        if (r == "Perfect")
            ++v.perfect;
        else if (r == "Great")
            ++v.great;
        else if (r == "Good")
            ++v.good;
        else if (r == "OK")
            ++v.ok;
        else
            ++v.miss;
    }
    return v;
}

void drawScoreResults(Bitmap& back, const FrameValues& f, const Settings& s,
                      const ResultsView& results) {
    const Rect band{0, f.ch / 5, f.cw, f.ch * 4 / 5};
    shade(back, band, 80);
    Canvas& canvas = back.canvas();
    canvas.brush().setColor(kResultsRule);
    const int rule = std::max(2, f.unitY / 2);
    canvas.fillRect({0, band.top, f.cw, band.top + rule});
    canvas.fillRect({0, band.bottom - rule, f.cw, band.bottom});
    const Font lyricFont = canvas.font();
    canvas.brush().setStyle(BrushStyle::Clear);
    const int h = band.bottom - band.top;
    auto centred = [&](int y, Colour outline, Colour fill, const QString& text) {
        drawOutlinedText(back, (f.cw - canvas.textWidth(text)) / 2, y, true, 100, 0, outline, fill,
                         text);
    };
    useMessageFont(canvas, s, f.unitX);
    centred(band.top + h / 16, 0x804000, 0xFFFF80, QStringLiteral("RESULTS"));
    useMessageFont(canvas, s, f.unitX * 3);
    centred(band.top + h * 3 / 16, 0xFF00FF, 0xFFFFFF,
            thousands(results.total) + QStringLiteral(" / 10,000"));
    useMessageFont(canvas, s, static_cast<int>(f.unitX * 0.8));
    centred(band.top + h * 9 / 16, 0x000000, 0xFFFFFF,
            QStringLiteral("Perfect %1   Great %2   Good %3   OK %4   Miss %5")
                .arg(results.perfect)
                .arg(results.great)
                .arg(results.good)
                .arg(results.ok)
                .arg(results.miss));
    QString best;
    if (results.best < 0)
        best = QStringLiteral("First score for this song");
    else if (results.total > results.best)
        best = QStringLiteral("New best! (before: %1)").arg(thousands(results.best));
    else
        best = QStringLiteral("Best: %1").arg(thousands(results.best));
    centred(band.top + h * 11 / 16, 0x000000, 0x80FFFF, best);
    useMessageFont(canvas, s, static_cast<int>(f.unitX * 0.6));
    centred(band.top + h * 14 / 16, 0x000000, 0xC0C0C0,
            QStringLiteral("scored against ") + QString::fromStdString(results.reference));
    canvas.font() = lyricFont;
}

}  // namespace orba
