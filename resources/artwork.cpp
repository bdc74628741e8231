// Both pictures are drawn from shapes, without fonts, so that they look the
// same on every machine and need no application object. The mascot is drawn
// without anti-aliasing: every pixel is either the exact blue that the
// sprites leave out or part of the heart, with no bluish fringe.
#include "resources/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <map>
#include <vector>

namespace orba {

namespace {

using Stroke = std::vector<QPointF>;

// Capital letters as strokes on a grid 4 wide and 6 high, y downwards.
const std::map<char, std::vector<Stroke>>& strokeFont() {
    static const std::map<char, std::vector<Stroke>> font = {
        {'O', {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}},
        {'R', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}, {{2, 3}, {4, 6}}}},
        {'B',
         {{{0, 3},
           {3, 3},
           {4, 4},
           {4, 5},
           {3, 6},
           {0, 6},
           {0, 0},
           {3, 0},
           {4, 1},
           {4, 2},
           {3, 3}}}},
        {'A', {{{0, 6}, {2, 0}, {4, 6}}, {{0.7, 4}, {3.3, 4}}}},
        {'K', {{{0, 0}, {0, 6}}, {{4, 0}, {0, 4}}, {{1.4, 2.6}, {4, 6}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'P', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}}},
        {'L', {{{0, 0}, {0, 6}, {4, 6}}}},
        {'Y', {{{0, 0}, {2, 3}, {4, 0}}, {{2, 3}, {2, 6}}}},
    };
    return font;
}

// Letters of `unit` pixels per grid step, `gap` pixels apart, centred
// horizontally in `width`, with their top at `top`.
void drawTitle(QPainter& p, const char* text, int width, double top, double unit, double gap) {
    const double letter = 4 * unit;
    double total = 0;
    for (const char* c = text; *c; ++c) total += (*c == ' ' ? letter / 2 : letter) + gap;
    total -= gap;
    double x = (width - total) / 2;
    for (const char* c = text; *c; ++c) {
        const auto found = strokeFont().find(*c);
        if (found != strokeFont().end())
            for (const Stroke& s : found->second) {
                QPainterPath path;
                for (std::size_t i = 0; i < s.size(); ++i) {
                    const QPointF pt(x + s[i].x() * unit, top + s[i].y() * unit);
                    if (i == 0)
                        path.moveTo(pt);
                    else
                        path.lineTo(pt);
                }
                p.drawPath(path);
            }
        x += (*c == ' ' ? letter / 2 : letter) + gap;
    }
}

}  // namespace

Bitmap titleBanner() {
    Bitmap banner(240, 46);
    QPainter p(&banner.image());
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawTitle(p, "ORBA KARAOKE", 240, 4, 4, 3.5);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    drawTitle(p, "PLAYER", 240, 33, 1.6, 8);
    // Two rules beside the small line keep it in balance with the large one.
    p.drawLine(QPointF(40, 38), QPointF(84, 38));
    p.drawLine(QPointF(156, 38), QPointF(200, 38));
    return banner;
}

namespace {

void drawWing(QPainter& p, bool left) {
    // Three feathers fanning out from the heart's side.
    const double dir = left ? -1 : 1;
    const double root = 60 + dir * 14;
    for (int i = 0; i < 3; ++i) {
        const double len = 30 - i * 6;
        const double cy = 16 + i * 7;
        const double cx = root + dir * len / 2;
        p.drawEllipse(QRectF(cx - len / 2, cy - 5, len, 10));
    }
}

}  // namespace

Bitmap mascotPicture() {
    Bitmap mascot(120, 48);
    QImage& img = mascot.image();
    img.fill(QColor(0, 0, 255));
    QPainter p(&img);
    p.setPen(QPen(QColor(170, 170, 200), 1));
    p.setBrush(QColor(255, 255, 255));
    drawWing(p, true);
    drawWing(p, false);

    QPainterPath heart;
    heart.moveTo(60, 45);
    heart.cubicTo(24, 26, 36, 2, 60, 15);
    heart.cubicTo(84, 2, 96, 26, 60, 45);
    p.setPen(QPen(QColor(200, 40, 120), 2));
    p.setBrush(QColor(255, 110, 180));
    p.drawPath(heart);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 225, 240));
    p.drawEllipse(QRectF(45, 14, 7, 5));  // shine
    p.setBrush(QColor(60, 20, 40));
    p.drawEllipse(QRectF(52, 22, 4, 5));  // eyes
    p.drawEllipse(QRectF(64, 22, 4, 5));
    p.setBrush(QColor(255, 70, 130));
    p.drawEllipse(QRectF(48, 29, 5, 3));  // cheeks
    p.drawEllipse(QRectF(67, 29, 5, 3));
    p.setPen(QPen(QColor(60, 20, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(56, 26, 8, 6), 200 * 16, 140 * 16);  // smile
    return mascot;
}

}  // namespace orba
