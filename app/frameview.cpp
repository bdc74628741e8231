#include "app/frameview.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/tdesktopwindow.h"

namespace orba {

FrameView::FrameView(TDesktopWindow* window) : QWidget(window), m_window(window) {
    setMouseTracking(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // The view holds the keyboard focus and passes the keys on to the
    // window. Without a focus widget the menu bar would keep the focus after
    // its first keyboard use and take every later Escape for itself.
    setFocusPolicy(Qt::StrongFocus);
}

void FrameView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage& frame = m_window->backBuffer().image();
    // One plain copy of the frame; black only where it does not reach.
    if (frame.width() < width() || frame.height() < height()) p.fillRect(rect(), Qt::black);
    if (!frame.isNull()) p.drawImage(0, 0, frame);
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
    QPoint pos = event->position().toPoint();
    m_window->FormMouseMove(pos.x(), pos.y());
}

void FrameView::mouseDoubleClickEvent(QMouseEvent*) {
    m_window->FormDblClick();
}

}  // namespace orba
