#include "resources/headerpicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace orba {

namespace {

void drawNote(QPainter& p, qreal x, qreal y, qreal scale) {
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    p.drawEllipse(QRectF(0, 12, 7, 5));
    p.drawRect(QRectF(5.5, 0, 1.5, 14));
    QPainterPath flag;
    flag.moveTo(7, 0);
    flag.cubicTo(10, 3, 12, 5, 10, 9);
    flag.cubicTo(10, 6, 9, 5, 7, 4);
    p.drawPath(flag);
    p.restore();
}

}  // namespace

QImage dialogHeaderPicture() {
    QImage img(64, 64, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0, QColor(24, 32, 96));
    sky.setColorAt(1, QColor(96, 32, 128));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 10, 10);

    // Microphone: stand, handle, grille.
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(29, 40, 6, 16));
    p.drawRoundedRect(QRectF(20, 54, 24, 5), 2, 2);
    p.setBrush(QColor(200, 200, 210));
    p.drawRoundedRect(QRectF(26, 30, 12, 14), 3, 3);
    QRadialGradient head(28, 18, 14);
    head.setColorAt(0, QColor(250, 250, 255));
    head.setColorAt(1, QColor(130, 130, 150));
    p.setBrush(head);
    p.drawEllipse(QRectF(20, 8, 24, 24));
    p.setPen(QPen(QColor(90, 90, 110), 1));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(22 + i * 6, 11), QPointF(22 + i * 6, 29));
        p.drawLine(QPointF(21, 13 + i * 5), QPointF(43, 13 + i * 5));
    }

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 60));
    drawNote(p, 4, 10, 1.1);
    drawNote(p, 47, 24, 0.9);
    return img;
}

}  // namespace orba
