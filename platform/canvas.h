// The drawing model of the player's frames. A Canvas belongs to one Bitmap
// and keeps its current font, pen, brush and pen position from call to call,
// as the frame's phases expect: what one phase sets, the next one finds.
//
// Everything is written pixel by pixel so that edges are exact (right and
// bottom edges excluded, the end point of a line not drawn); text is
// rasterised once by Qt into a coverage mask and composited from there.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/fonts.h"
#include "platform/raster.h"

namespace orba {

class Bitmap;
struct DrawnSince;

// Character sets of a font: the platform's default and Shift-JIS, and ours
// for lyrics held as UTF-8. The set decides how byte strings given to
// textOut and textWidth are read: UTF-8 in the Unicode set, else Shift-JIS.
inline constexpr int kDefaultCharset = 1;
inline constexpr int kShiftJisCharset = 128;
inline constexpr int kUnicodeCharset = 65001;

struct Font {
    std::string name = kDefaultFontFace;  // face name as the settings give it
    int size = 9;                         // points at 96 dpi
    FontStyles style;
    int charset = kDefaultCharset;
    Colour color = 0;
    bool operator==(const Font&) const = default;
};

enum class PenStyle { Solid, Clear };
enum class PenMode { Copy, Xor };
enum class BrushStyle { Solid, Clear };

struct Pen {
    Colour color = 0;
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
    int width = 1;  // lines are always one pixel wide
};

class Brush {
public:
    Colour color() const { return m_color; }
    BrushStyle style() const { return m_style; }
    // A colour is something to fill with: a clear brush becomes solid.
    void setColor(Colour c) {
        m_color = c;
        m_style = BrushStyle::Solid;
    }
    void setStyle(BrushStyle s) { m_style = s; }

private:
    Colour m_color = 0xFFFFFF;
    BrushStyle m_style = BrushStyle::Solid;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

class Canvas {
public:
    explicit Canvas(Bitmap& owner);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    Font& font() { return m_font; }
    const Font& font() const { return m_font; }
    Pen& pen() { return m_pen; }
    const Pen& pen() const { return m_pen; }
    Brush& brush() { return m_brush; }
    const Brush& brush() const { return m_brush; }

    // Text at its top-left point in the font colour; a solid brush puts an
    // opaque box of the text's extent behind it. Byte strings are Shift-JIS.
    void textOut(int x, int y, std::string_view text);
    // Bytes as text in the current font's character set.
    QString textOf(std::string_view bytes) const;
    // `subpixels` (0..63) moves the text that many sixty-fourths of a pixel
    // right of x, where a part of a longer text begins between two pixels.
    void textOut(int x, int y, const QString& text, int subpixels = 0);
    void textOut(int x, int y, const char* text) { textOut(x, y, std::string_view(text)); }
    int textWidth(std::string_view text);
    int textWidth(const QString& text);
    int textWidth(const char* text) { return textWidth(std::string_view(text)); }
    // The width before it is rounded to a pixel, in sixty-fourths of a pixel.
    int exactTextWidth(const QString& text);
    int textHeight(std::string_view text);
    int textHeight(const QString& text);
    int textHeight(const char* text) { return textHeight(std::string_view(text)); }

    // Fills with the brush; the pen is not used.
    void fillRect(const Rect& r);
    // Outline with the pen, inside with the brush.
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);
    // Filled discs around one centre, drawn in order from the largest: the
    // same pixels as an ellipse for each (pen clear), but every pixel is
    // written once, with the colour of the smallest disc that holds it.
    // radii must not grow; a negative radius is skipped.
    void nestedDiscs(int cx, int cy, const int* radii, const Colour* colours, int count);
    void moveTo(int x, int y) { m_penPos = {x, y}; }
    void lineTo(int x, int y);
    Point penPos() const { return m_penPos; }

    // Copies `source` of `from` into `dest`, stretched when the sizes differ
    // and mirrored when one of them runs right to left or bottom to top.
    void copyRect(const Rect& dest, const Bitmap& from, const Rect& source);
    // As copyRect, but source pixels of colour `key` are left out.
    void copyRectTransparent(const Rect& dest, const Bitmap& from, const Rect& source, Colour key);
    void draw(int x, int y, const Bitmap& picture);
    // As draw, for a picture that stays where it is from frame to frame:
    // when the last drawKept drew the same picture at the same place, only
    // what has been drawn over it since is copied again.
    void drawKept(int x, int y, const Bitmap& picture);
    void stretchDraw(const Rect& dest, const Bitmap& picture);

    // Colour of a pixel, or kInvalidColour outside the bitmap.
    static constexpr Colour kInvalidColour = 0xFFFFFFFFu;
    Colour pixel(int x, int y) const;
    void setPixel(int x, int y, Colour c);

    // Takes over font, pen, brush and pen position of another canvas.
    void copyStateFrom(const Canvas& other);

    // Makes every pixel outside `keep` black, filling only where the bitmap
    // has been drawn on since its last clear (the rest is black already).
    void clearAround(const Rect& keep);

    // While a hole is set, fills, shapes and lines leave the pixels inside it
    // as they are: for a phase whose pixels there the next phase paints over
    // with opaque ones anyway. Copies and text are not held back by it.
    void setHole(const Rect& hole) { m_hole = hole; }
    void clearHole() { m_hole = {}; }

private:
    friend class Bitmap;
    void rebind(Bitmap& owner) { m_owner = &owner; }
    QImage& image();
    const QImage& image() const;
    void writeSpan(const PixelView& px, int y, int x0, int x1, Colour c, bool xorMode);
    void writePixels(const PixelView& px, int y, int x0, int x1, std::uint32_t value, bool xorMode);
    DrawnSince& noted();

    Bitmap* m_owner;
    Font m_font;
    Pen m_pen;
    Brush m_brush;
    Point m_penPos;
    Rect m_hole;
};

// Sets a canvas's hole for the length of a scope.
class CanvasHole {
public:
    CanvasHole(Canvas& canvas, const Rect& hole) : m_canvas(canvas) { m_canvas.setHole(hole); }
    ~CanvasHole() { m_canvas.clearHole(); }
    CanvasHole(const CanvasHole&) = delete;
    CanvasHole& operator=(const CanvasHole&) = delete;

private:
    Canvas& m_canvas;
};

}  // namespace orba
