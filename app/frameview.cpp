#include "app/frameview.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <utility>

#include "app/tdesktopwindow.h"
#include "platform/bitmap.h"
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

uchar* FrameView::pixelsInStore(qsizetype& bytesPerLine) const {
    QBackingStore* store = window()->backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return nullptr;
    const auto* image = static_cast<const QImage*>(device);
    const QPoint at = mapTo(window(), QPoint(0, 0));
    // The store of a window without alpha may be premultiplied ARGB: every
    // pixel of a frame is opaque, so its bytes there are those of RGB32.
    const QWindow* handle = window()->windowHandle();
    const bool opaqueWindow = handle && !handle->format().hasAlpha() &&
                              !window()->testAttribute(Qt::WA_TranslucentBackground);
    const bool rgb32 = image->format() == QImage::Format_RGB32 ||
                       (image->format() == QImage::Format_ARGB32_Premultiplied && opaqueWindow);
    if (!rgb32 || image->devicePixelRatio() != 1.0 || width() <= 0 || height() <= 0 || at.x() < 0 ||
        at.y() < 0 || at.x() + width() > image->width() || at.y() + height() > image->height())
        return nullptr;
    bytesPerLine = image->bytesPerLine();
    // constBits: bits() could detach Qt's image from the display's memory.
    return const_cast<uchar*>(image->constBits()) + at.y() * bytesPerLine + at.x() * 4;
}

void FrameView::aimBackBuffer(Bitmap& back) {
    qsizetype bytesPerLine = 0;
    uchar* pixels = pixelsInStore(bytesPerLine);
    // Read through the const image: taking the image to write makes the
    // bitmap forget where it has drawn, which only a new image calls for.
    const QImage& image = std::as_const(back).image();
    if (pixels) {
        if (image.constBits() != pixels || image.size() != size() ||
            image.bytesPerLine() != bytesPerLine || m_storeMayHaveChanged)
            back.image() = QImage(pixels, width(), height(), bytesPerLine, QImage::Format_RGB32);
        m_aimedAt = pixels;
        m_storeMayHaveChanged = false;
        return;
    }
    // Memory the store has left is neither read nor written: the frame
    // starts over in memory of its own.
    if (m_aimedAt && image.constBits() == m_aimedAt) back.image() = QImage();
    m_aimedAt = nullptr;
}

void FrameView::resizeEvent(QResizeEvent* event) {
    // The store may be made anew, even at the same address.
    m_storeMayHaveChanged = true;
    QWidget::resizeEvent(event);
}

void FrameView::frameDrawn() {
    m_frameDrawn = true;
    if (flushInPlace()) {
        if (!m_firstFrameShown) firstFrameShown();
        return;
    }
    update();
}

bool FrameView::flushInPlace() {
    // On X the store is one image that stays put: a frame drawn in place
    // there only needs sending. Qt's own paint cycle would first wait for a
    // round trip to the X server, for nothing to paint. Elsewhere (Wayland)
    // the cycle picks the buffer the compositor has let go of: it stays.
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    if (!x11 || !isVisible() || !frameInStore(m_window->backBuffer().image())) return false;
    window()->backingStore()->flush(QRegion(QRect(mapTo(window(), QPoint(0, 0)), size())),
                                    window()->windowHandle());
    return true;
}

bool FrameView::frameInStore(const QImage& frame) const {
    qsizetype bytesPerLine = 0;
    return m_aimedAt && frame.constBits() == m_aimedAt && pixelsInStore(bytesPerLine) == m_aimedAt &&
           frame.size() == size() && frame.bytesPerLine() == bytesPerLine;
}

void FrameView::paintEvent(QPaintEvent*) {
    const QImage& frame = m_window->backBuffer().image();
    const bool aimed = m_aimedAt && frame.constBits() == m_aimedAt;
    const bool inPlace = frameInStore(frame);
    // A grab or render paints elsewhere: only the store already holds the frame.
    QBackingStore* store = window()->backingStore();
    QPoint offset;
    const bool intoStore = store && redirected(&offset) == store->paintDevice();
    if (!inPlace || !intoStore) {
        QPainter p(this);
        if (aimed && !inPlace) {
            // The store has moved since the frame (a resize): its old memory
            // is not read; the next frame comes within one tick.
            p.fillRect(rect(), Qt::black);
        } else {
            // One plain copy of the frame; black only where it does not reach.
            if (frame.width() < width() || frame.height() < height()) p.fillRect(rect(), Qt::black);
            if (!frame.isNull()) p.drawImage(0, 0, frame);
        }
    }
    if (m_frameDrawn && !m_firstFrameShown) firstFrameShown();
}

void FrameView::firstFrameShown() {
    m_firstFrameShown = true;
    startupMark("first-frame");
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
