// A music file with CD+G graphics beside it, as the player finds, plays and
// draws it over the simulated transport.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "player/songresolution.h"
#include "tests/support/cdgwriter.h"
#include "tests/support/commandrun.h"
#include "tests/support/tempdir.h"
#include "tests/support/zipwriter.h"
#include "tools/headlessplayer.h"

namespace orba {
namespace {

using test::CdgWriter;

constexpr Colour kBorder = 0x0000FF;  // red, colour 1
constexpr Colour kScreen = 0xFF0000;  // blue, colour 3
constexpr Colour kTile = 0x00FFFF;    // yellow, colour 4

// Cleared to blue with a red border at once; from 1 s, a yellow band across
// tile row 8 (screen rows 96..107).
CdgWriter bandAtOneSecond() {
    CdgWriter w;
    w.colourTable(0, false, {0x000, 0xF00, 0x0F0, 0x00F, 0xFF0, 0x0FF, 0xF0F, 0xFFF});
    w.memoryPreset(1, 3).borderPreset(2, 1);
    for (int c = 1; c < 49; ++c) w.solidTile(CdgWriter::packetAt(1000) + c, 8, c, 4);
    return w.endAt(CdgWriter::packetAt(5000));
}

class CdgSongTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        fs::copy_file(ORBA_DEMO_DIR "/demo.mp3", dir.file("song.mp3"));
        // Lyrics beside it too, which the graphics replace on screen.
        fs::copy_file(ORBA_DEMO_DIR "/examples/asanouta.lrc", dir.file("song.lrc"));
    }
    test::TempDir dir;
};

TEST_F(CdgSongTest, TheGraphicsBesideTheMusicMakeItACdgSongWhenTheMusicIsInUse) {
    EXPECT_EQ(lookAtSong(dir.file("song.mp3")).cdgBeside, "");
    ASSERT_TRUE(bandAtOneSecond().write(dir.file("song.CDG")));
    const SongOnDisk song = lookAtSong(dir.file("song.mp3"));
    EXPECT_EQ(song.cdgBeside, dir.file("song.CDG"));
    const ResolvedSong chosen = chooseSong(song, {});
    EXPECT_EQ(chosen.graphicsFile, dir.file("song.CDG"));
    // The lyrics are still looked for as before.
    ASSERT_FALSE(chosen.lyrics.empty());
    EXPECT_EQ(chosen.lyrics.front().path, dir.file("song.lrc"));
    // Music switched off: no graphics either.
    const MusicChoice off{false, dir.file("song.mp3"), false, "", false, ""};
    EXPECT_EQ(resolveSong(song, off).graphicsFile, "");
}

TEST_F(CdgSongTest, TheFrameIsTheGraphicsAtTheSongsTimeInPlaceOfTheLyrics) {
    ASSERT_TRUE(bandAtOneSecond().write(dir.file("song.cdg")));
    HeadlessPlayer sim(false);
    sim.loadMusicFile(dir.file("song.mp3"));
    ASSERT_TRUE(sim.player().graphicsShown());
    // 700 x 432: the screen at twice its size between bars of 50 pixels.
    Bitmap back(700, 432);
    auto expected = [](int x, int y, bool band) -> Colour {
        const int sx = (x - 50) / 2, sy = y / 2;
        if (x < 50 || x >= 650 || sx < 6 || sx >= 294 || sy < 12 || sy >= 204) return kBorder;
        return band && sy >= 96 && sy < 108 ? kTile : kScreen;
    };
    // Below the status line, every pixel is the graphics': no lyric line,
    // no band behind it, no next line.
    auto checkFrame = [&](bool band) {
        for (int y = 120; y < 432; ++y)
            for (int x = 0; x < 700; ++x)
                ASSERT_EQ(back.canvas().pixel(x, y), expected(x, y, band))
                    << x << "," << y << " at " << sim.state().songTime << " ms";
    };
    while (sim.state().songTime < 500) sim.nextDrawnFrame(back, 700, 432);
    checkFrame(false);
    while (sim.state().songTime < 20000) sim.nextDrawnFrame(back, 700, 432);
    ASSERT_GE(sim.state().currentLine, 0);  // a lyric line is on
    checkFrame(true);
}

TEST_F(CdgSongTest, GraphicsThatCannotBeReadAreNamedAndTheSongStillPlays) {
    test::writeFile(dir.file("song.cdg"), std::string(4800, 'x'));
    HeadlessPlayer sim(false);
    sim.loadMusicFile(dir.file("song.mp3"));
    ASSERT_FALSE(sim.player().loadProblems().empty());
    EXPECT_NE(sim.player().loadProblems().back().find("song.cdg: not CD+G"), std::string::npos)
        << sim.player().loadProblems().back();
    Bitmap back(300, 216);
    for (int k = 0; k < 10; ++k) sim.nextDrawnFrame(back, 300, 216);
    EXPECT_FALSE(sim.ended());
}

// The way such songs are sold: the music and its graphics in one zip, read
// from it in memory. The player's tools see the same song as from two files.
TEST_F(CdgSongTest, AZipOfMusicAndGraphicsPlaysAsThatSong) {
    const std::string music = test::readFile(dir.file("song.mp3"));
    ASSERT_TRUE(test::writeZip(dir.file("sold.zip"), {{"Sold/song.mp3", music},
                                                      {"Sold/song.cdg", bandAtOneSecond().bytes()}}));
    const std::string zip = dir.file("sold.zip");
    EXPECT_TRUE(opensAsSong(zip));
    EXPECT_EQ(lookAtSong(zip).cdgBeside, zip);

    const std::string png = dir.file("frame.png");
    test::CommandRun r = test::runProgram(
        dir, ORBAKARAOKE_BIN, "--render '" + zip + "' --at 1500 --size 700x432 --out '" + png + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Bitmap frame;
    ASSERT_TRUE(frame.loadFromFile(png));
    EXPECT_EQ(frame.canvas().pixel(0, 431), kBorder);
    EXPECT_EQ(frame.canvas().pixel(350, 2 * 100), kTile);  // the band, at 1 s

    // The music is heard from inside it: the device gives the song its length.
    r = test::runProgram(dir, ORBAKARAOKE_BIN, "--probe '" + zip + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r.out.erase(std::remove(r.out.begin(), r.out.end(), ' '), r.out.end());
    EXPECT_NE(r.out.find("\"length\":4"), std::string::npos) << r.out;  // the demo's 4x s

    // A zip that is not one song says why, and nothing is unpacked beside it.
    ASSERT_TRUE(test::writeZip(dir.file("two.zip"), {{"a.mp3", music}, {"b.mp3", music}}));
    r = test::runProgram(dir, ORBAKARAOKE_BIN, "--probe '" + dir.file("two.zip") + "'");
    EXPECT_NE(r.out.find("more than one music file"), std::string::npos) << r.out << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("Sold")));
}

std::string withoutSpaces(std::string s) {
    std::erase(s, ' ');
    return s;
}

TEST_F(CdgSongTest, LyricsInfoNamesTheGraphicsAndRenderDrawsThem) {
    // Lyrics beside the song, no graphics: the answer is as it was.
    test::CommandRun r =
        test::runProgram(dir, ORBAKARAOKE_BIN, "--lyrics-info '" + dir.file("song.mp3") + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("graphics"), std::string::npos);

    ASSERT_TRUE(bandAtOneSecond().write(dir.file("song.cdg")));
    r = test::runProgram(dir, ORBAKARAOKE_BIN, "--lyrics-info '" + dir.file("song.mp3") + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(withoutSpaces(r.out).find("\"graphicsFile\":\"" + dir.file("song.cdg") + "\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(withoutSpaces(r.out).find("\"sourceFile\":\"" + dir.file("song.lrc")),
              std::string::npos)
        << r.out;

    // The graphics alone: they are the lyrics, with no lines of text.
    std::filesystem::remove(dir.file("song.lrc"));
    r = test::runProgram(dir, ORBAKARAOKE_BIN, "--lyrics-info '" + dir.file("song.mp3") + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(withoutSpaces(r.out).find("\"source\":\"cdg\""), std::string::npos) << r.out;
    EXPECT_NE(withoutSpaces(r.out).find("\"lines\":[]"), std::string::npos) << r.out;

    // The demo's example, at 6.5 s: the frame's corner is the border's colour.
    const std::string png = dir.file("frame.png");
    r = test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--render '" ORBA_DEMO_DIR
                         "/examples/cdg-asanouta.mp3' --at 6500 --size 600x432 --out '" +
                             png + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Bitmap frame;
    ASSERT_TRUE(frame.loadFromFile(png));
    EXPECT_EQ(frame.canvas().pixel(0, 431), 0x663322u);
    EXPECT_EQ(frame.canvas().pixel(599, 431), 0x663322u);
}

}  // namespace
}  // namespace orba
