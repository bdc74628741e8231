#include "effects/picturedecoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "demo/pictures/jpegwriter.h"
#include "effects/imagedisplay.h"
#include "tests/support/pictures.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using namespace std::chrono_literals;
using test::nearColour;
using test::TempDir;
using test::writeFile;

constexpr auto kDeadline = 20s;

// Pictures whose colour says which file they came from.
class PictureFiles : public ::testing::Test {
protected:
    std::string picture(const char* name, QColor c, int w = 40, int h = 30) {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(writeJpeg(path, test::solidImage(w, h, c)));
        return path;
    }
    std::string bad(const char* name) {
        writeFile(m_dir.file(name), "not a picture");
        return m_dir.file(name);
    }
    TempDir m_dir;
};

std::vector<PictureLoad> takeWithin(PictureDecoder& decoder, const std::vector<std::string>& files,
                                    const PictureLoadKey& key, int count) {
    const auto end = std::chrono::steady_clock::now() + kDeadline;
    while (std::chrono::steady_clock::now() < end) {
        if (auto loads = decoder.take(files, key, count)) return std::move(*loads);
        std::this_thread::sleep_for(1ms);
    }
    ADD_FAILURE() << "the worker never finished";
    return {};
}

using PictureDecoderTest = PictureFiles;

TEST_F(PictureDecoderTest, WorkerLoadsAreTheSynchronousLoadsAndGoOnFromWhereTheyStopped) {
    const std::vector<std::string> files = {bad("a.jpg"), picture("b.jpg", Qt::red, 300, 100),
                                            bad("c.jpg"), picture("d.jpg", Qt::blue, 50, 400)};
    PictureDecoder decoder;
    for (const PictureLoadKey key : {PictureLoadKey{0, 100, 80, false, 0.7, true},
                                     PictureLoadKey{1, 640, 480, true, 1.5, false}}) {
        const std::vector<PictureLoad> want = loadPictures(files, key, 2);
        const std::vector<PictureLoad> got = takeWithin(decoder, files, key, 2);
        ASSERT_EQ(got.size(), 2u);
        for (int n = 0; n < 2; ++n) {
            EXPECT_EQ(got[n].ok, want[n].ok);
            EXPECT_EQ(got[n].nextIndex, want[n].nextIndex);
            EXPECT_EQ(got[n].picture.image(), want[n].picture.image());
        }
        // The pair after them is what the worker turned to next.
        PictureLoadKey next = key;
        next.index = got.back().nextIndex;
        const std::vector<PictureLoad> after = takeWithin(decoder, files, next, 2);
        EXPECT_EQ(after.front().picture.image(), loadPicture(files, next).picture.image());
    }
}

TEST_F(PictureDecoderTest, LoadsOfNothingButBadFilesGiveUpAfterTheTries) {
    std::vector<std::string> files;
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg"})
        files.push_back(bad(name));
    files.push_back(picture("7.jpg", Qt::green));
    PictureDecoder decoder;
    const std::vector<PictureLoad> loads = takeWithin(decoder, files, {0, 100, 100}, 2);
    EXPECT_FALSE(loads[0].ok);
    EXPECT_TRUE(loads[0].picture.empty());
    EXPECT_EQ(loads[0].nextIndex, kPictureTriesPerLoad);
    EXPECT_TRUE(loads[1].ok);  // 5, 6, then 7
    EXPECT_EQ(loads[1].nextIndex, 0);
}

TEST_F(PictureDecoderTest, AnotherListOrKeyIsNeverAnsweredWithTheOldOnesWork) {
    const std::vector<std::string> first = {picture("r.jpg", Qt::red), picture("g.jpg", Qt::green)};
    const std::vector<std::string> second = {picture("b.jpg", Qt::blue),
                                             picture("y.jpg", Qt::yellow)};
    PictureDecoder decoder;
    takeWithin(decoder, first, {0, 100, 100}, 1);  // the worker turns to green
    const std::vector<PictureLoad> other = takeWithin(decoder, second, {1, 100, 100}, 1);
    EXPECT_TRUE(nearColour(other.front().picture.canvas().pixel(5, 5), 0x00FFFF));
    const std::vector<PictureLoad> grey = takeWithin(decoder, second, {0, 100, 100, true}, 1);
    const Colour c = grey.front().picture.canvas().pixel(5, 5);
    EXPECT_EQ(c & 0xFF, (c >> 16) & 0xFF);  // blue in grey
    decoder.cancel();
    EXPECT_FALSE(decoder.take(second, {1, 100, 100, true}, 1).has_value());
}

// The slideshow with its worker: whatever the timing, the pictures come in
// the order of the list.
class SlideshowAhead : public PictureFiles {
protected:
    SlideshowAhead() {
        m_settings.useImages = true;
        m_settings.slideTime = 60;
        m_display.setDecodeAhead(true);
    }
    // The colours of the next `n` pictures the style takes in, frame by frame
    // (style 2 keeps its strip in pictureB).
    std::vector<Colour> shown(int n) {
        std::vector<Colour> colours;
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (static_cast<int>(colours.size()) < n && std::chrono::steady_clock::now() < end) {
            m_display.draw(m_back, frameValuesFor(100, 100, 15, false), m_settings, m_files, 1000);
            const Bitmap* pictures[] = {&m_display.pictureA(), &m_display.pictureB()};
            for (int i = 0; i < (m_settings.imageStyle == 2 ? 1 : 2); ++i) {
                const QImage& picture = pictures[i]->image();
                if (picture.isNull() || picture.cacheKey() == m_lastKeys[i]) continue;
                m_lastKeys[i] = picture.cacheKey();
                // A style change blackens pictureB: no picture of ours is black.
                const Colour c = pictures[i]->canvas().pixel(5, 5);
                if (!nearColour(c, 0)) colours.push_back(c);
            }
            std::this_thread::sleep_for(1ms);
        }
        return colours;
    }
    static void expectColours(const std::vector<Colour>& got, const std::vector<Colour>& want) {
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(nearColour(got[i], want[i])) << i << ": " << std::hex << got[i];
    }

    Settings m_settings;
    std::vector<std::string> m_files;
    ImageDisplay m_display;
    Bitmap m_back{100, 100};
    qint64 m_lastKeys[2] = {};
};

TEST_F(SlideshowAhead, PicturesComeInListOrderPassingOverBadFiles) {
    m_files = {picture("1.jpg", Qt::red), bad("2.jpg"), picture("3.jpg", Qt::green),
               picture("4.jpg", Qt::blue)};
    expectColours(shown(5), {0x0000FF, 0x00FF00, 0xFF0000, 0x0000FF, 0x00FF00});
}

TEST_F(SlideshowAhead, ASongLoadOrAStyleChangeDropsThePictureDecodedAhead) {
    m_files = {picture("1.jpg", Qt::red), picture("2.jpg", Qt::green), picture("3.jpg", Qt::blue)};
    expectColours(shown(1), {0x0000FF});
    m_display.restart();
    expectColours(shown(2), {0x0000FF, 0x00FF00});
    // Style 4 decodes as style 0 does: the change must not lose the place.
    m_settings.imageStyle = 4;
    expectColours(shown(2), {0xFF0000, 0x0000FF});
}

TEST_F(SlideshowAhead, ASongLoadDecodesTheFirstPicturesTheFirstFrameOfEachStyleShows) {
    m_files = {picture("1.jpg", Qt::red), picture("2.jpg", Qt::green)};
    for (int style : {0, 1, 2, 3, 5}) {
        SCOPED_TRACE(style);
        m_settings.imageStyle = style;
        ImageDisplay display;
        display.setDecodeAhead(true);
        display.restart();
        display.decodeFirstAhead(m_files, m_settings, 100, 100);
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        while (!display.decodedAheadReady() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(display.decodedAheadReady());
        // Asked for anything else, the first frame would wait for the worker.
        display.draw(m_back, frameValuesFor(100, 100, 15, true), m_settings, m_files, 1000);
        ASSERT_FALSE(display.pictureA().empty());
        EXPECT_TRUE(nearColour(display.pictureA().canvas().pixel(5, 5), 0x0000FF));
        EXPECT_EQ(display.imageIndex(), style == 1 ? 0 : 1);  // the cross style takes two
    }
}

TEST_F(SlideshowAhead, EveryStyleGetsItsPicturesInOrder) {
    m_files = {picture("1.jpg", Qt::red), picture("2.jpg", Qt::green)};
    for (int style : {1, 2, 5}) {
        m_settings.imageStyle = style;
        m_display.restart();
        expectColours(shown(2), {0x0000FF, 0x00FF00});
    }
}

}  // namespace
}  // namespace orba
