#include "app/frameview.h"

#include <gtest/gtest.h>

#include <QBackingStore>
#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "app/tdesktopwindow.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using namespace std::chrono_literals;

class FrameViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("ORBAKARAOKE_INI", dir.file("ORBAKARAOKE.ini").c_str(), 1);
        window.show();
    }
    // Frames until one shows the banner (a new frame needs the clock to move).
    void drawAFrame() {
        const auto end = std::chrono::steady_clock::now() + 10s;
        const QPoint banner(view().width() / 2, 20);
        while (std::chrono::steady_clock::now() < end) {
            QCoreApplication::processEvents();
            window.Timer1Timer();
            const QImage& frame = window.backBuffer().image();
            if (frame.size() == view().size() && frame.pixel(banner) != 0xFF000000u) return;
            std::this_thread::sleep_for(2ms);
        }
        ADD_FAILURE() << "no frame drawn";
    }
    QWidget& view() { return *window.centralWidget(); }
    const QImage& store() {
        return *static_cast<const QImage*>(window.backingStore()->paintDevice());
    }
    bool frameInStore() {
        const uchar* bits = window.backBuffer().image().constBits();
        const uchar* begin = store().constBits();
        return bits >= begin && bits < begin + store().sizeInBytes();
    }
    // What a grab of the view shows, against the back buffer.
    void expectShownAsDrawn() {
        const QImage shown = view().grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage& frame = window.backBuffer().image();
        ASSERT_EQ(shown.size(), frame.size());
        for (int y = 0; y < frame.height(); y += 7)
            for (int x = 0; x < frame.width(); x += 5)
                ASSERT_EQ(shown.pixel(x, y), frame.pixel(x, y)) << x << "," << y;
    }

    test::TempDir dir;
    TDesktopWindow window;
};

TEST_F(FrameViewTest, TheFrameIsDrawnInTheWindowsOwnPixels) {
    drawAFrame();
    ASSERT_TRUE(store().format() == QImage::Format_RGB32 ||
                store().format() == QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(frameInStore());
    // Painting into another device (a grab) still copies the frame there.
    expectShownAsDrawn();
}

TEST_F(FrameViewTest, AResizedWindowGetsItsFramesInItsNewPixels) {
    drawAFrame();
    for (const QSize size : {QSize(640, 400), QSize(900, 700), QSize(320, 240)}) {
        window.resize(size);
        // A paint between the resize and the next frame must not read the
        // memory the store has left.
        view().repaint();
        drawAFrame();
        EXPECT_EQ(window.backBuffer().image().size(), view().size());
        EXPECT_TRUE(frameInStore()) << size.width();
        expectShownAsDrawn();
    }
}

}  // namespace
}  // namespace orba
