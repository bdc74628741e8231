#include "playback/cdgstream.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/raster.h"
#include "playback/cdggraphics.h"
#include "tests/support/cdgwriter.h"
#include "tests/support/tempdir.h"
#include "tests/support/withoutmodules.h"

namespace orba {
namespace {

using test::CdgWriter;

// Colour table used throughout: index i is a distinct 0xRGB.
constexpr std::array<int, 8> kLow{0x000, 0xF00, 0x0F0, 0x00F, 0xFF0, 0x0FF, 0xF0F, 0xFFF};
constexpr std::array<int, 8> kHigh{0x111, 0x222, 0x333, 0x444, 0x555, 0x666, 0x777, 0x888};

// A 4-bit channel value as the 8-bit one a screen shows.
std::uint32_t argb(int rgb) {
    const int r = (rgb >> 8) & 0xF, g = (rgb >> 4) & 0xF, b = rgb & 0xF;
    return 0xFF000000u | std::uint32_t(r * 17) << 16 | std::uint32_t(g * 17) << 8 |
           std::uint32_t(b * 17);
}

std::uint32_t at(const CdgPicture& p, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(p.screen.image().constScanLine(y))[x];
}

class CdgStreamTest : public ::testing::Test {
protected:
    std::string write(const CdgWriter& w, const std::string& name = "song.cdg") {
        const std::string path = dir.path() + "/" + name;
        EXPECT_TRUE(w.write(path));
        return path;
    }
    std::string writeBytes(const std::string& bytes, const std::string& name) {
        const std::string path = dir.path() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    test::TempDir dir;
};

// A screen cleared to colour 1 with a border of 2 at 0 s, a tile of colour
// 9 at 1 s, and the whole screen cleared to 3 at 2 s.
CdgWriter threeScreens() {
    CdgWriter w;
    w.colourTable(0, false, kLow).colourTable(1, true, kHigh).memoryPreset(2, 1).borderPreset(3, 2);
    w.solidTile(CdgWriter::packetAt(1000), 5, 10, 9);
    w.memoryPreset(CdgWriter::packetAt(2000), 3);
    w.endAt(CdgWriter::packetAt(3000));
    return w;
}

TEST_F(CdgStreamTest, RoundTripShowsPresetsColourTableAndTilesAtTheirTimes) {
    CdgStream s(write(threeScreens()));
    ASSERT_EQ(s.problem(), "");
    EXPECT_EQ(s.packetCount(), 900);

    const CdgPicture start = s.pictureAt(500);
    EXPECT_EQ(at(start, 150, 100), argb(kLow[1]));  // inside: the memory preset
    EXPECT_EQ(at(start, 0, 0), argb(kLow[2]));      // border
    EXPECT_EQ(at(start, 299, 215), argb(kLow[2]));
    EXPECT_EQ(at(start, 6, 12), argb(kLow[1]));  // first visible pixel
    EXPECT_EQ(start.border, fromPixel(argb(kLow[2])));
    // The tile at row 5, column 10 is not there yet.
    EXPECT_EQ(at(start, 60, 60), argb(kLow[1]));

    const CdgPicture tiled = s.pictureAt(1000);
    for (int y = 60; y < 72; ++y)
        for (int x = 60; x < 66; ++x) ASSERT_EQ(at(tiled, x, y), argb(kHigh[1])) << x << "," << y;
    EXPECT_EQ(at(tiled, 59, 60), argb(kLow[1]));
    EXPECT_EQ(at(tiled, 66, 71), argb(kLow[1]));
    EXPECT_EQ(at(tiled, 60, 72), argb(kLow[1]));

    const CdgPicture cleared = s.pictureAt(2500);
    EXPECT_EQ(at(cleared, 60, 60), argb(kLow[3]));
    EXPECT_EQ(at(cleared, 0, 0), argb(kLow[3]));  // a memory preset covers the border too
}

TEST_F(CdgStreamTest, TilePixelsTakeTheirTwoColoursLeftmostBitFirstAndXorTilesCombine) {
    CdgWriter w;
    w.colourTable(0, false, kLow).colourTable(1, true, kHigh).memoryPreset(2, 0);
    // Row pattern 100001: the outer pixels 5, the inner four 4.
    std::array<std::uint8_t, 12> rows{};
    rows.fill(0b100001);
    w.tile(10, 1, 1, 4, 5, rows);
    // XOR with 3 everywhere: 5^3 = 6, 4^3 = 7.
    w.solidTile(20, 1, 1, 3, true);
    CdgStream s(write(w));
    const int ms10 = (10 * 1000 + 299) / 300;  // packet 10 falls at 33.3 ms
    const CdgPicture plain = s.pictureAt(ms10);
    EXPECT_EQ(at(plain, 6, 12), argb(kLow[5]));
    EXPECT_EQ(at(plain, 7, 12), argb(kLow[4]));
    EXPECT_EQ(at(plain, 10, 23), argb(kLow[4]));
    EXPECT_EQ(at(plain, 11, 23), argb(kLow[5]));
    const CdgPicture xored = s.pictureAt(100);
    EXPECT_EQ(at(xored, 6, 12), argb(kLow[6]));
    EXPECT_EQ(at(xored, 7, 12), argb(kLow[7]));
    EXPECT_EQ(at(xored, 11, 23), argb(kLow[6]));
}

TEST_F(CdgStreamTest, ALaterColourTableRecoloursWhatIsOnScreen) {
    CdgWriter w;
    w.colourTable(0, false, kLow).memoryPreset(1, 4);
    std::array<int, 8> changed = kLow;
    changed[4] = 0x5A3;
    w.colourTable(600, false, changed).endAt(700);
    CdgStream s(write(w));
    EXPECT_EQ(at(s.pictureAt(1000), 100, 100), argb(kLow[4]));
    EXPECT_EQ(at(s.pictureAt(2000), 100, 100), argb(0x5A3));
}

TEST_F(CdgStreamTest, SeekingBackRebuildsFromTheStartWithoutLaterState) {
    CdgWriter w = threeScreens();
    // A colour table change at 2.5 s that an earlier time must not show.
    std::array<int, 8> changed = kLow;
    changed[1] = 0x0A0;
    w.colourTable(CdgWriter::packetAt(2500), false, changed);
    CdgStream s(write(w));
    const CdgPicture late = s.pictureAt(2900);
    EXPECT_EQ(at(late, 60, 60), argb(kLow[3]));
    const CdgPicture early = s.pictureAt(1200);
    EXPECT_EQ(s.restarts(), 1);
    EXPECT_EQ(at(early, 62, 62), argb(kHigh[1]));
    EXPECT_EQ(at(early, 100, 100), argb(kLow[1]));
    EXPECT_EQ(early.packets, cdgPacketsUpTo(1200));
    // Going forward again does not start over.
    s.pictureAt(2000);
    EXPECT_EQ(s.restarts(), 1);
}

TEST_F(CdgStreamTest, BadFilesSayWhyOrReadAsFarAsTheyGo) {
    // Not graphics at all.
    CdgStream text(writeBytes(std::string(2400, 'x'), "text.cdg"));
    EXPECT_NE(text.problem().find("not CD+G"), std::string::npos) << text.problem();
    EXPECT_EQ(text.pictureAt(1000).packets, 0);

    CdgStream empty(writeBytes("", "empty.cdg"));
    EXPECT_NE(empty.problem(), "");
    CdgStream missing(dir.path() + "/none.cdg");
    EXPECT_NE(missing.problem(), "");

    // Cut in the middle of its last packet: the whole packets still draw.
    std::string cut = threeScreens().bytes();
    cut.resize(cut.size() - 10);
    CdgStream c(writeBytes(cut, "cut.cdg"));
    EXPECT_EQ(c.problem(), "");
    EXPECT_NE(c.note().find("cut"), std::string::npos);
    EXPECT_EQ(at(c.pictureAt(60000), 100, 100), argb(kLow[3]));

    // Unknown instructions are passed over.
    CdgWriter odd = threeScreens();
    odd.raw(CdgWriter::packetAt(1500), 0x3E, {0xFF, 0xFF, 0xFF, 0xFF});
    odd.raw(CdgWriter::packetAt(1600), 0x13, {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
    CdgStream o(write(odd, "odd.cdg"));
    EXPECT_EQ(at(o.pictureAt(1700), 62, 62), argb(kHigh[1]));

    // Shorter than the song: the last screen stays.
    CdgStream s(write(threeScreens()));
    const CdgPicture after = s.pictureAt(10 * 60 * 1000);
    EXPECT_EQ(after.packets, 900);
    EXPECT_EQ(at(after, 100, 100), argb(kLow[3]));
}

TEST_F(CdgStreamTest, WithoutItsModuleAStreamSaysSoAndStaysBlack) {
    const std::string path = write(threeScreens());
    test::WithoutModules none;
    CdgStream s(path);
    EXPECT_EQ(s.problem().rfind("CD+G graphics cannot be decoded: orba_cdg_ffmpeg.so", 0), 0u)
        << s.problem();
    const CdgPicture p = s.pictureAt(1500);
    EXPECT_EQ(p.packets, 0);
    EXPECT_EQ(at(p, 100, 100), 0xFF000000u);
    // Going back would start the stream again: still nothing to decode with.
    s.pictureAt(0);
    EXPECT_EQ(s.restarts(), 0);
}

TEST(CdgGraphicsTest, TheWorkerHandsOverTheScreenOfTheTimeAskedFor) {
    test::TempDir dir;
    const std::string path = dir.path() + "/song.cdg";
    ASSERT_TRUE(threeScreens().write(path));
    CdgGraphics g(path);
    EXPECT_EQ(g.problem(), "");
    auto p = g.pictureAt(1500, std::chrono::seconds(10));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->packets, cdgPacketsUpTo(1500));
    EXPECT_EQ(at(*p, 62, 62), argb(kHigh[1]));
    p = g.pictureAt(200, std::chrono::seconds(10));
    ASSERT_TRUE(p);
    EXPECT_EQ(at(*p, 62, 62), argb(kLow[1]));

    CdgGraphics bad(dir.path() + "/missing.cdg");
    EXPECT_NE(bad.problem(), "");
    p = bad.pictureAt(100, std::chrono::seconds(10));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->packets, 0);
}

}  // namespace
}  // namespace orba
