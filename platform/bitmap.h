// An off-screen 32-bit bitmap. Drawing on it goes through its Canvas, which
// keeps its font, pen and brush for as long as the bitmap lives.
#pragma once

#include <QImage>
#include <initializer_list>
#include <string>

#include "platform/canvas.h"
#include "platform/drawnarea.h"

namespace orba {

struct BlendedPicture;

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
    // The image to change in any way: whatever the bitmap knew of where it
    // had been drawn on is forgotten (see DrawnArea).
    QImage& image() {
        m_drawn.forget();
        return m_image;
    }

    Canvas& canvas() { return m_canvas; }
    const Canvas& canvas() const { return m_canvas; }

private:
    friend class Canvas;
    // Drawing code that notes what it writes; see DrawnArea.
    friend void drawBlendedRect(Bitmap&, const Rect&, int, int, const Bitmap&, const Rect&);
    friend void drawBlendedInTurn(Bitmap&, int, std::initializer_list<BlendedPicture>);

    // The image for drawing code that notes in m_drawn what it writes.
    QImage& drawingImage() { return m_image; }

    // A picture kept in place by Canvas::drawKept: which, and where.
    struct Kept {
        qint64 picture = 0;
        int x = 0, y = 0, width = 0, height = 0;
        bool operator==(const Kept&) const = default;
    };

    QImage m_image;
    DrawnSince m_drawn;
    Kept m_kept;
    Canvas m_canvas{*this};
};

// Inline: every span and every pixel of a line is noted through it.
inline DrawnSince& Canvas::noted() {
    return m_owner->m_drawn;
}

}  // namespace orba
