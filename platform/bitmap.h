// An off-screen 32-bit bitmap. Drawing on it goes through Canvas.
#pragma once

#include <QImage>
#include <string>

namespace orba {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    bool empty() const { return m_image.isNull(); }

    // New pixels are black; existing ones are kept where they still fit.
    void setSize(int width, int height);

    // Loads a picture file (BMP, PNG, JPEG ...); false keeps the old picture.
    bool loadFromFile(const std::string& path);

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }

private:
    QImage m_image;
};

}  // namespace orba
