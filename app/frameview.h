// The client area of the main window: shows the last frame of backBuffer on
// black and passes mouse moves and double clicks to the window's handlers.
#pragma once

#include <QWidget>

namespace orba {

class TDesktopWindow;

class FrameView : public QWidget {
public:
    explicit FrameView(TDesktopWindow* window);

    // Set once the first frame has been drawn; until then the view is black.
    void setFrameDrawn(bool drawn) { m_frameDrawn = drawn; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TDesktopWindow* m_window;
    bool m_frameDrawn = false;
};

}  // namespace orba
