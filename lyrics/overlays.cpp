#include "lyrics/overlays.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lyrics/tags.h"
#include "lyrics/textdrawing.h"
#include "lyrics/timevalue.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/sjistext.h"

namespace orba {

namespace {

int truncToInt(double v) {
    return static_cast<int>(std::trunc(v));
}

// The font of the overlay's and the status message's texts, in the size
// trunc(unitX x factor).
void setTextFont(Canvas& canvas, const FrameValues& f, const char* face, double factor) {
    canvas.font().name = face;
    canvas.font().size = truncToInt(f.unitX * factor);
}

void textAt(Canvas& canvas, int x, int y, Colour colour, const std::string& text) {
    canvas.font().color = colour;
    canvas.textOut(x, y, QString::fromUtf8(text.c_str()));
}

void rightAligned(Canvas& canvas, const FrameValues& f, int y, const std::string& text) {
    const QString shown = QString::fromUtf8(text.c_str());
    canvas.textOut(f.cw - canvas.textWidth(shown), y, shown);
}

std::string format(const char* pattern, int a, int b = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, a, b);
    return buffer;
}

}  // namespace

int blueMeshHeight(const FrameValues& f) {
    return f.unitX * 10 > 0 ? f.unitX * 10 : 1;
}

void drawBlueMesh(Bitmap& back, const FrameValues& f) {
    Canvas& canvas = back.canvas();
    const int n = blueMeshHeight(f);
    for (int i = 0; i < n; i += 2) {
        const int level = std::min(255, static_cast<int>(static_cast<long long>(i) * 255 / n));
        canvas.pen().color = static_cast<Colour>(level) << 16;
        canvas.moveTo(0, f.ch + i - n);
        canvas.lineTo(f.cw, f.ch + i - n);
    }
}

Band textBand(const FrameValues& f, int wipeStyle, int a) {
    if (wipeStyle == 1) return {f.ch - f.unitX * 5 - 6, a + 12};
    return {f.ch - f.unitX * 8, a * 5 + 12};
}

void drawTextBand(Bitmap& back, const FrameValues& f, const Settings& s) {
    Canvas& canvas = back.canvas();
    canvas.font().size = currentLineFontSize(s.fontSizePercent, f.unitX);
    const Band band = textBand(f, s.wipeStyle, canvas.textHeight("1A"));
    canvas.pen().color = 0;
    canvas.brush().setColor(0);
    if (s.textBack == 2) {
        canvas.rectangle(0, band.top, f.cw, band.top + band.height);
    } else if (s.textBack == 1) {
        for (int i = 0; i < band.height; i += 2) {
            canvas.moveTo(0, band.top + i);
            canvas.lineTo(f.cw, band.top + i);
        }
    }
}

int FrameRateSampler::add(int dt) {
    m_samples[m_ring] = 1000 / std::max(dt, 1);
    m_ring = (m_ring + 1) % 10;
    int sum = 0;
    for (int s : m_samples) sum += s;
    return sum / 10;
}

std::string timeRatioText(float timeRatio) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", static_cast<double>(timeRatio));
    return buffer;
}

void drawOverlay(Bitmap& back, const FrameValues& f, const std::string& bgmFile,
                 const LyricView& in, FrameRateSampler& sampler) {
    Canvas& canvas = back.canvas();
    Font& font = canvas.font();
    const std::string lyricFace = font.name;
    font.charset = kDefaultCharset;
    font.style = FontStyles{};
    font.style.bold = true;
    setTextFont(canvas, f, "Arial", 0.7);

    const bool edit = in.timeEditMode;
    canvas.brush().setColor(edit ? 0x006000 : 0x000060);
    textAt(canvas, 0, f.ch - f.unitX * 11 - 2, edit ? 0x00FF00 : 0x0000FF,
           edit ? kTimeEditBanner : kDebugBanner);

    canvas.brush().setStyle(BrushStyle::Clear);
    setTextFont(canvas, f, "MS UI Gothic", 0.5);
    font.color = 0xFFFFFF;
    canvas.textOut(0, truncToInt(f.ch - f.unitX * 9.7 + 2),
                   QStringLiteral(" ") + utf8OrSjisText(fileNamePart(bgmFile)));

    setTextFont(canvas, f, "Arial", 0.7);
    textAt(canvas, 0, f.ch - f.unitX * 8 + 2, 0x00FFFF,
           " Time : " + debugTimeText(in.songTime) + "/" + debugTimeText(in.songLength) + " ");

    if (in.songLength > 0) {
        const int left = f.unitX / 5;
        const int top = f.ch - f.unitX * 7 + 4;
        const int w = truncToInt(f.unitX * 10.5);
        const int h = f.unitX / 5;
        const int p = static_cast<int>(static_cast<long long>(in.songTime) * w / in.songLength);
        canvas.brush().setColor(0x00FF00);
        canvas.fillRect({left, top, left + p, top + h});
        canvas.brush().setColor(0x004000);
        canvas.fillRect({left + p + 1, top, left + w, top + h});
        canvas.brush().setStyle(BrushStyle::Clear);
    }

    if (in.tagType > 0) {
        setTextFont(canvas, f, "Arial", 0.5);
        font.color = 0x0000FF;
        rightAligned(canvas, f, truncToInt(f.ch - f.unitX * 6.8 + 2),
                     " TimeRatio=" + timeRatioText(in.timeRatio) + " ");
        setTextFont(canvas, f, "Arial", 0.7);
        font.color = 0x00FFFF;
    }
    rightAligned(canvas, f, f.ch - f.unitX * 8 + 2,
                 std::string("TagType : ") + tagTypeName(in.tagType) + " ");
    rightAligned(canvas, f, f.ch - f.unitX * 2 + 2, format("Frame Rate : %3d ", sampler.add(f.dt)));
    const int shownCount = in.lyricLines.empty() ? 0 : static_cast<int>(in.lyricLines.size()) - 1;
    rightAligned(canvas, f, f.ch - f.unitX * 5 + 2,
                 format("Line : %03d/%03d ", in.currentLine + 1, shownCount));

    const long long times = static_cast<long long>(in.lineTimes.size());
    const auto timeOf = [&](int i) { return in.lineTimes[i].substr(1, 8); };
    if (in.currentLine > 0 && in.currentLine < times)
        textAt(canvas, 0, f.ch - f.unitX * 5 + 2, 0x00FFFF, " Now : " + timeOf(in.currentLine));
    if (in.currentLine + 1LL < times)
        textAt(canvas, 0, f.ch - f.unitX * 2 + 2, 0x00FFFF,
               " Next : " + timeOf(in.currentLine + 1));
    font.name = lyricFace;
}

std::vector<QString> statusLines(const QString& message) {
    std::vector<QString> lines;
    for (const QString& piece : message.split(QLatin1Char('|'))) lines.push_back(piece);
    if (!lines.empty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
}

int statusFade(int statusTime) {
    return statusTime < 2000 ? statusTime / 20 : 100;
}

StatusCountdown StatusDisplay::draw(Bitmap& back, const FrameValues& f, const Settings& s,
                                    const std::string& statusMessage, int statusTime) {
    StatusCountdown out{statusTime, false};
    if (statusMessage.empty()) return out;
    if (statusMessage != m_shownMessage) {
        out.statusTime = 5000;
        m_shownMessage = statusMessage;
        m_text = QString::fromUtf8(m_shownMessage.c_str());
        m_wide = std::any_of(m_shownMessage.begin(), m_shownMessage.end(),
                             [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    }
    const int fade = statusFade(out.statusTime);

    Canvas& canvas = back.canvas();
    Font& font = canvas.font();
    const std::string lyricFace = font.name;
    const FontStyles lyricStyle = font.style;
    font.charset = kDefaultCharset;
    if (m_wide) {
        font.name = s.fontSpecified ? s.fontName : std::string(kDefaultFontFace);
    } else {
        font.name = "Arial";
        font.style.bold = true;
    }
    font.size = truncToInt(f.unitX * 0.7);
    canvas.brush().setStyle(BrushStyle::Clear);
    int k = 0;
    for (const QString& line : statusLines(m_text)) {
        drawOutlinedText(back, f.unitX / 2, f.unitX / 2 + k * f.unitX, true, fade, 0, 0xFF00FF,
                         0xFFFFFF, line);
        ++k;
    }
    font.name = lyricFace;
    font.style = lyricStyle;

    out.statusTime -= f.dt;
    if (out.statusTime < 1) {
        out.expired = true;
        m_shownMessage.clear();
    }
    return out;
}

}  // namespace orba
