// The client area of the main window: shows the last frame of backBuffer
// (black until the first frame is drawn) and passes mouse moves and double clicks to the window's
// handlers.
#pragma once

#include <QWidget>

namespace orba {

class TDesktopWindow;

class FrameView : public QWidget {
public:
    explicit FrameView(TDesktopWindow* window);

    // The back buffer holds a new frame.
    void frameDrawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void firstFrameShown();

    TDesktopWindow* m_window;
    bool m_frameDrawn = false;
    bool m_firstFrameShown = false;
};

}  // namespace orba
