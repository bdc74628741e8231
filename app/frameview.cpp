#include "app/frameview.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "app/tdesktopwindow.h"
#include "platform/startuptrace.h"

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

void FrameView::frameDrawn() {
    m_frameDrawn = true;
    update();
}

void FrameView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage& frame = m_window->backBuffer().image();
    // One plain copy of the frame; black only where it does not reach.
    if (frame.width() < width() || frame.height() < height()) p.fillRect(rect(), Qt::black);
    if (!frame.isNull()) p.drawImage(0, 0, frame);
    if (m_frameDrawn && !m_firstFrameShown) firstFrameShown();
}

void FrameView::firstFrameShown() {
    m_firstFrameShown = true;
    startupMark("first frame");
    if (startupTraceExits()) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
    QPoint pos = event->position().toPoint();
    m_window->FormMouseMove(pos.x(), pos.y());
}

void FrameView::mouseDoubleClickEvent(QMouseEvent*) {
    m_window->FormDblClick();
}

}  // namespace orba
