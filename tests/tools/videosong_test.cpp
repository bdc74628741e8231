// Karaoke videos and video backgrounds as the player finds, plays and draws
// them over the simulated transport, and as the headless commands take them.
// The videos are one-second colour bands made at test time: the colour in
// the frame tells which time of the video it shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "player/songresolution.h"
#include "tests/export/videofile.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/commandrun.h"
#include "tests/support/tempdir.h"
#include "tools/headlessplayer.h"

namespace orba {
namespace {

namespace fs = std::filesystem;

char colourAt(Colour c) {
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    if (r > 200 && g < 60 && b < 60) return 'r';
    if (g > 200 && r < 60 && b < 60) return 'g';
    if (b > 200 && r < 60 && g < 60) return 'b';
    if (r == 0 && g == 0 && b == 0) return 'k';
    return '?';
}
char colourAt(const Bitmap& frame, int x, int y) {
    return colourAt(frame.canvas().pixel(x, y));
}

class VideoSongTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.file("o.ini");
        setenv("ORBAKARAOKE_INI", ini.c_str(), 1);
        test::writeFile(ini, "");
    }
    std::string song(const std::string& name, bool sound = true) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(test::writeColourVideo(path, {"red", "green", "blue"}, sound));
        return path;
    }
    // Draws frames up to `ms` of the song.
    void playTo(HeadlessPlayer& sim, Bitmap& back, int ms) {
        while (sim.state().songTime < ms && !sim.ended())
            sim.nextDrawnFrame(back, back.width(), back.height());
    }
    test::TempDir dir;
    std::string ini;
};

TEST_F(VideoSongTest, AVideoIsASongWhosePicturesAreTheBackgroundUnderItsLyrics) {
    const std::string video = song("song.mp4");
    fs::copy_file(ORBA_DEMO_DIR "/examples/asanouta.lrc", dir.file("song.lrc"));
    EXPECT_TRUE(opensAsSong(video));
    EXPECT_TRUE(opensAsSong(dir.file("SONG.MKV")));
    const ResolvedSong chosen = chooseSong(lookAtSong(video), {});
    EXPECT_EQ(chosen.video, (VideoChoice{video, false}));
    ASSERT_FALSE(chosen.lyrics.empty());
    EXPECT_EQ(chosen.lyrics.front().path, dir.file("song.lrc"));

    HeadlessPlayer sim(false);
    sim.loadMusicFile(video);
    EXPECT_EQ(sim.player().videoShown(), video);
    EXPECT_TRUE(sim.player().settings().useMessage);
    // 4:3 around the 16:9 pictures: black bars above and below.
    Bitmap back(320, 240);
    playTo(sim, back, 500);
    EXPECT_EQ(colourAt(back, 160, 10), 'k');
    EXPECT_EQ(colourAt(back, 160, 229), 'k');
    EXPECT_EQ(colourAt(back, 20, 100), 'r');
    playTo(sim, back, 1500);
    EXPECT_EQ(colourAt(back, 20, 100), 'g');
    playTo(sim, back, 2500);
    EXPECT_EQ(colourAt(back, 20, 100), 'b');
}

TEST_F(VideoSongTest, ABackgroundLoopsBehindAnySongAndTheSongsOwnFolderComesFirst) {
    fs::create_directories(dir.file("music"));
    fs::copy_file(ORBA_DEMO_DIR "/demo.mp3", dir.file("music/song.mp3"));
    EXPECT_EQ(chooseSong(lookAtSong(dir.file("music/song.mp3")), {}).video, VideoChoice{});

    // The settings' background: a folder, whose first video by name plays.
    fs::create_directories(dir.file("backgrounds"));
    EXPECT_TRUE(test::writeColourVideo(dir.file("backgrounds/b.webm"), {"blue"}, false));
    EXPECT_TRUE(test::writeColourVideo(dir.file("backgrounds/a.webm"), {"green", "red"}, false));
    test::writeFile(dir.file("backgrounds/0.txt"), "not a video");
    test::writeFile(ini, "[Video]\nBackground=" + dir.file("backgrounds") + "\n");
    // The colours the song is drawn over at these times.
    auto coloursAt = [&](std::initializer_list<int> times) {
        HeadlessPlayer sim(false);
        sim.loadMusicFile(dir.file("music/song.mp3"));
        Bitmap back(160, 90);
        std::string seen;
        for (int ms : times) {
            playTo(sim, back, ms);
            seen += colourAt(back, 10, 45);
        }
        return std::pair{sim.player().videoShown(), seen};
    };
    // 2500 ms: again from its start.
    EXPECT_EQ(coloursAt({1500, 2500}),
              std::pair(dir.file("backgrounds/a.webm"), std::string("rg")));

    // okaravid/ beside the song wins over the settings.
    fs::create_directories(dir.file("music/okaravid"));
    EXPECT_TRUE(test::writeColourVideo(dir.file("music/okaravid/x.mp4"), {"blue"}, false));
    EXPECT_EQ(coloursAt({1200}), std::pair(dir.file("music/okaravid/x.mp4"), std::string("b")));
}

TEST(ChooseVideoTest, GraphicsThenTheSongsOwnPicturesThenItsFolderThenTheSettings) {
    const VideoCandidates all{false, "/s.mp4", "/us.mkv", "/okaravid/a.mp4", "/bg.webm"};
    EXPECT_EQ(chooseVideo(all), (VideoChoice{"/s.mp4", false}));
    VideoCandidates c = all;
    c.graphics = true;
    EXPECT_EQ(chooseVideo(c), VideoChoice{});
    c = all;
    c.songVideo.clear();
    EXPECT_EQ(chooseVideo(c), (VideoChoice{"/us.mkv", false}));
    c.ultraStarVideo.clear();
    EXPECT_EQ(chooseVideo(c), (VideoChoice{"/okaravid/a.mp4", true}));
    c.folderVideo.clear();
    EXPECT_EQ(chooseVideo(c), (VideoChoice{"/bg.webm", true}));
    c.configured.clear();
    EXPECT_EQ(chooseVideo(c), VideoChoice{});

    // The settings' background counts only where the song brings nothing.
    ResolvedSong song;
    EXPECT_EQ(withBackground(song, ""), VideoChoice{});
    song.graphicsFile = "/s.cdg";
    EXPECT_EQ(withBackground(song, "/nowhere/bg.webm"), VideoChoice{});
    song.graphicsFile.clear();
    song.video = {"/s.mp4", false};
    EXPECT_EQ(withBackground(song, "/nowhere/bg.webm"), song.video);
}

TEST_F(VideoSongTest, AnUltraStarSongsVideoIsItsBackground) {
    fs::copy_file(ORBA_DEMO_DIR "/demo.mp3", dir.file("us.mp3"));
    const std::string video = song("us-video.mkv", false);
    test::writeFile(dir.file("us.txt"),
                    "#TITLE:T\n#ARTIST:A\n#MP3:us.mp3\n#VIDEO:us-video.mkv\n#BPM:300\n#GAP:0\n"
                    ": 0 4 60 la\n- 8\n: 10 4 62 li\nE\n");
    const SongOnDisk onDisk = lookAtSong(dir.file("us.txt"));
    EXPECT_EQ(onDisk.ultraStarVideo, video);
    EXPECT_EQ(chooseSong(onDisk, {}).video, (VideoChoice{video, false}));
    HeadlessPlayer sim(false);
    sim.loadMusicFile(dir.file("us.txt"));
    EXPECT_EQ(sim.player().videoShown(), video);
}

TEST_F(VideoSongTest, BadVideosAreNamedAndNeverStopTheCommands) {
    // Pictures alone: nothing to sing to, said plainly.
    const std::string silent = song("silent.mp4", /*sound=*/false);
    const std::string png = dir.file("f.png");
    test::CommandRun r = test::runProgram(dir, ORBAKARAOKE_BIN,
                                          "--render '" + silent + "' --at 500 --out '" + png + "'");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("no sound"), std::string::npos) << r.err;

    // Sound alone in a video's container: sung over the scenes, with a note.
    ASSERT_TRUE(test::writeTone(dir.file("tone.m4a"), 3000));
    fs::rename(dir.file("tone.m4a"), dir.file("tone.mp4"));
    r = test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--render '" + dir.file("tone.mp4") + "' --at 500 --out '" + png + "'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("tone.mp4: it has no picture stream"), std::string::npos) << r.err;

    // A decoder the machine lacks is named, and the song plays on.
    const std::string video = song("song.mp4");
    r = test::runProgram(
        dir, "/usr/bin/env",
        "GST_PLUGIN_FEATURE_RANK=avdec_h264:NONE,openh264dec:NONE '" ORBAKARAOKE_BIN
        "' --render '" +
            video + "' --at 500 --out '" + png + "'");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("a GStreamer plugin is missing: H.264"), std::string::npos) << r.err;

    // Cut in half: named, never a crash.
    fs::copy_file(video, dir.file("cut.mp4"));
    fs::resize_file(dir.file("cut.mp4"), fs::file_size(video) / 2);
    r = test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--render '" + dir.file("cut.mp4") + "' --at 500 --out '" + png + "'");
    EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 2) << r.err;
    EXPECT_NE(r.err.find("cut.mp4"), std::string::npos) << r.err;
}

TEST_F(VideoSongTest, TheCommandsTakeVideoSongsAndTheExportShowsTheirPictures) {
    const std::string video = song("song.mp4");
    fs::copy_file(ORBA_DEMO_DIR "/examples/asanouta.lrc", dir.file("song.lrc"));
    test::CommandRun r = test::runProgram(dir, ORBAKARAOKE_BIN, "--lyrics-info '" + video + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(dir.file("song.lrc")), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"videoFile\": \"" + video + "\""), std::string::npos) << r.out;

    r = test::runProgram(dir, ORBAKARAOKE_BIN, "--timeline '" + video + "' --at 1000");
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const std::string png = dir.file("f.png");
    r = test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--render '" + video + "' --at 1500 --size 320x180 --out '" + png + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Bitmap frame;
    ASSERT_TRUE(frame.loadFromFile(png));
    EXPECT_EQ(colourAt(frame, 20, 90), 'g');

    const std::string out = dir.file("out.mp4");
    r = test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--export-video '" + video + "' '" + out + "' --size 320x180 --quiet");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const auto& [ms, colour] : {std::pair{500, 'r'}, {1500, 'g'}, {2500, 'b'}}) {
        const std::optional<QImage> picture = test::decodeFrameAt(out, ms);
        ASSERT_TRUE(picture) << ms;
        const QRgb p = picture->pixel(20, 90);
        EXPECT_EQ(colourAt(Colour(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16)), colour) << ms;
    }
}

TEST_F(VideoSongTest, ACdgSongExportsItsGraphics) {
    const std::string out = dir.file("cdg.mp4");
    test::CommandRun r =
        test::runProgram(dir, ORBAKARAOKE_BIN,
                         "--export-video '" ORBA_DEMO_DIR "/examples/cdg-asanouta.mp3' '" + out +
                             "' --size 600x432 --to 7000 --quiet");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::optional<QImage> picture = test::decodeFrameAt(out, 6500);
    ASSERT_TRUE(picture);
    // The border's colour (0x663322 as the API writes it) in the corner.
    const QRgb p = picture->pixel(2, 429);
    EXPECT_NEAR(qRed(p), 0x22, 12);
    EXPECT_NEAR(qGreen(p), 0x33, 12);
    EXPECT_NEAR(qBlue(p), 0x66, 12);
}

}  // namespace
}  // namespace orba
