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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TDesktopWindow* m_window;
};

}  // namespace orba
