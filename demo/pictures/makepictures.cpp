// Draws the demo song's pictures: a few calm scenes made of gradients and
// shapes, written as JPEG files into the folder given as the argument.
//   makepictures DEMO/okaraimg
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "demo/pictures/jpegwriter.h"

namespace {

// A small fixed sequence, so that every run writes the same pictures.
unsigned g_seed = 20261208;
int next(int n) {
    g_seed = g_seed * 1103515245u + 12345u;
    return static_cast<int>((g_seed >> 16) % static_cast<unsigned>(n));
}

void sunset(QPainter& p, int w, int h) {
    QLinearGradient sky(0, 0, 0, h * 0.62);
    sky.setColorAt(0, QColor(40, 30, 90));
    sky.setColorAt(0.6, QColor(220, 90, 90));
    sky.setColorAt(1, QColor(255, 190, 90));
    p.fillRect(0, 0, w, static_cast<int>(h * 0.62), sky);
    QRadialGradient sun(w * 0.5, h * 0.6, h * 0.16);
    sun.setColorAt(0, QColor(255, 240, 180));
    sun.setColorAt(1, QColor(255, 160, 60));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(w * 0.5, h * 0.6), h * 0.14, h * 0.14);
    QLinearGradient sea(0, h * 0.62, 0, h);
    sea.setColorAt(0, QColor(60, 50, 110));
    sea.setColorAt(1, QColor(15, 15, 50));
    p.fillRect(QRectF(0, h * 0.62, w, h * 0.38), sea);
    p.setBrush(QColor(255, 200, 120));
    for (int i = 0; i < 9; ++i) {
        const double y = h * 0.64 + i * h * 0.035;
        const double half = w * (0.12 - i * 0.011);
        p.drawRect(QRectF(w * 0.5 - half, y, 2 * half, 2));
    }
}

void night(QPainter& p, int w, int h) {
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(5, 10, 40));
    sky.setColorAt(1, QColor(30, 60, 120));
    p.fillRect(0, 0, w, h, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 230));
    for (int i = 0; i < 90; ++i) {
        const double r = 0.6 + next(3) * 0.5;
        p.drawEllipse(QPointF(next(w), next(h * 2 / 3)), r, r);
    }
    p.drawEllipse(QPointF(w * 0.78, h * 0.22), h * 0.09, h * 0.09);
    p.setBrush(QColor(10, 18, 55));
    p.drawEllipse(QPointF(w * 0.80, h * 0.20), h * 0.08, h * 0.08);  // crescent
    p.setBrush(QColor(8, 12, 30));
    QPolygonF hills;
    hills << QPointF(0, h);
    for (int x = 0; x <= w; x += 20)
        hills << QPointF(x, h * 0.8 - 40 * std::sin(x * 0.012) - 20 * std::sin(x * 0.031));
    hills << QPointF(w, h);
    p.drawPolygon(hills);
}

void meadow(QPainter& p, int w, int h) {
    QLinearGradient sky(0, 0, 0, h * 0.45);
    sky.setColorAt(0, QColor(110, 170, 240));
    sky.setColorAt(1, QColor(200, 230, 250));
    p.fillRect(QRectF(0, 0, w, h * 0.45), sky);
    QLinearGradient grass(0, h * 0.45, 0, h);
    grass.setColorAt(0, QColor(120, 190, 80));
    grass.setColorAt(1, QColor(40, 120, 40));
    p.fillRect(QRectF(0, h * 0.45, w, h * 0.55), grass);
    p.setPen(Qt::NoPen);
    const QColor petals[] = {QColor(255, 120, 170), QColor(255, 230, 90), QColor(250, 250, 250),
                             QColor(190, 130, 255)};
    for (int i = 0; i < 70; ++i) {
        const double y = h * 0.5 + next(h / 2);
        const double r = 2 + (y - h * 0.5) / h * 14;
        p.setBrush(petals[next(4)]);
        p.drawEllipse(QPointF(next(w), y), r, r);
    }
    p.setBrush(QColor(255, 255, 255, 230));
    for (int i = 0; i < 3; ++i) {
        const double cx = w * (0.2 + 0.3 * i), cy = h * (0.12 + 0.05 * (i % 2));
        p.drawEllipse(QPointF(cx, cy), 50, 18);
        p.drawEllipse(QPointF(cx + 30, cy - 10), 34, 18);
    }
}

void waves(QPainter& p, int w, int h) {
    p.fillRect(0, 0, w, h, QColor(10, 40, 60));
    p.setPen(Qt::NoPen);
    for (int band = 0; band < 7; ++band) {
        QPolygonF shape;
        shape << QPointF(0, h);
        for (int x = 0; x <= w; x += 8)
            shape << QPointF(x, h * (0.2 + band * 0.11) + 18 * std::sin(x * 0.02 + band * 1.3));
        shape << QPointF(w, h);
        p.setBrush(QColor(20 + band * 12, 90 + band * 18, 140 + band * 12));
        p.drawPolygon(shape);
    }
}

// An upright picture, so that the centred styles show one narrower than wide.
void lanterns(QPainter& p, int w, int h) {
    p.fillRect(0, 0, w, h, QColor(25, 10, 30));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 7; ++i) {
        const double x = w * (0.15 + 0.12 * i), y = h * (0.2 + 0.09 * (i % 3));
        QRadialGradient glow(x, y, 60);
        glow.setColorAt(0, QColor(255, 170, 60, 200));
        glow.setColorAt(1, QColor(255, 120, 40, 0));
        p.setBrush(glow);
        p.drawEllipse(QPointF(x, y), 60, 60);
        p.setBrush(QColor(230, 60, 40));
        p.drawRoundedRect(QRectF(x - 14, y - 20, 28, 40), 10, 10);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: makepictures FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    struct Picture {
        const char* name;
        int w, h;
        std::function<void(QPainter&, int, int)> paint;
    };
    const Picture pictures[] = {
        {"01_sunset.jpg", 640, 480, sunset},     {"02_night.jpg", 640, 480, night},
        {"03_meadow.jpg", 640, 480, meadow},     {"04_waves.jpg", 640, 480, waves},
        {"05_lanterns.jpg", 360, 480, lanterns},
    };
    for (const Picture& pic : pictures) {
        QImage img(pic.w, pic.h, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            pic.paint(p, pic.w, pic.h);
        }
        const std::string path = folder + "/" + pic.name;
        if (!orba::writeJpeg(path, img, {.quality = 70})) {
            std::fprintf(stderr, "makepictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
