// The client area of the main window: shows the last frame of backBuffer
// (black until the first frame is drawn) and passes mouse moves and double clicks to the window's
// handlers.
//
// Where it can, the back buffer is not copied to the screen at all: before
// each frame aimBackBuffer() makes it an image over the view's own pixels in
// the window's backing store, the memory Qt hands to the display, so the frame
// is drawn in place and only has to be sent to the screen. The backing store
// belongs to Qt and moves when the window is resized, so the aim is checked
// before every frame and every paint, and memory it has left is never read.
#pragma once

#include <QWidget>

namespace orba {

class Bitmap;
class TDesktopWindow;

class FrameView : public QWidget {
public:
    explicit FrameView(TDesktopWindow* window);

    // Before a frame: `back` over the view's pixels in the backing store
    // when that is a 32-bit RGB image of ours to write, else memory of its own.
    void aimBackBuffer(Bitmap& back);
    // The back buffer holds a new frame.
    void frameDrawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The view's first pixel in the backing store, or null when the frame
    // cannot be drawn there.
    uchar* pixelsInStore(qsizetype& bytesPerLine) const;
    void firstFrameShown();
    // Sends a frame drawn in place to the screen at once; false when it
    // must go through a paint.
    bool flushInPlace();
    // Whether `frame` was drawn in place and the store is still where it was.
    bool frameInStore(const QImage& frame) const;

    TDesktopWindow* m_window;
    bool m_frameDrawn = false;
    bool m_firstFrameShown = false;
    const uchar* m_aimedAt = nullptr;  // where the back buffer was last aimed
    bool m_storeMayHaveChanged = true;
};

}  // namespace orba
