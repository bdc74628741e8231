#include "platform/bitmap.h"

#include <QPainter>

namespace orba {

namespace {
QImage blackImage(int width, int height) {
    QImage img(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    img.fill(Qt::black);
    return img;
}
}  // namespace

Bitmap::Bitmap(int width, int height) : m_image(blackImage(width, height)) {}

Bitmap::Bitmap(const Bitmap& other) : m_image(other.m_image) {
    m_canvas.copyStateFrom(other.m_canvas);
}

Bitmap::Bitmap(Bitmap&& other) noexcept : m_image(std::move(other.m_image)) {
    other.m_drawn.forget();
    m_canvas.copyStateFrom(other.m_canvas);
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
    if (this != &other) {
        m_image = other.m_image;
        m_drawn.forget();
        m_canvas.copyStateFrom(other.m_canvas);
    }
    return *this;
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this != &other) {
        m_image = std::move(other.m_image);
        m_drawn.forget();
        other.m_drawn.forget();
        m_canvas.copyStateFrom(other.m_canvas);
    }
    return *this;
}

void Bitmap::setSize(int width, int height) {
    if (width == this->width() && height == this->height() && !m_image.isNull()) return;
    m_drawn.forget();
    QImage img = blackImage(width, height);
    if (!m_image.isNull() && !img.isNull()) {
        QPainter p(&img);
        p.drawImage(0, 0, m_image);
    }
    m_image = std::move(img);
}

bool Bitmap::loadFromFile(const std::string& path) {
    QImage img;
    if (!img.load(QString::fromStdString(path))) return false;
    m_image = img.convertToFormat(QImage::Format_RGB32);
    m_drawn.forget();
    return true;
}

}  // namespace orba
