// An off-screen 32-bit bitmap. Drawing on it goes through its Canvas, which
// keeps its font, pen and brush for as long as the bitmap lives.
#pragma once

#include <QImage>
#include <string>

#include "platform/canvas.h"

namespace orba {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height);
    Bitmap(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(const Bitmap& other);
    Bitmap& operator=(Bitmap&& other) noexcept;

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool empty() const { return m_image.isNull(); }

    // New pixels are black; existing ones are kept where they still fit.
    void setSize(int width, int height);

    // Loads a picture file (BMP, PNG, JPEG ...); false keeps the old picture.
    bool loadFromFile(const std::string& path);

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }

    Canvas& canvas() { return m_canvas; }
    const Canvas& canvas() const { return m_canvas; }

private:
    QImage m_image;
    Canvas m_canvas{*this};
};

}  // namespace orba
