// Music files that also carry pictures (an Ogg with Theora, a WMA holding
// WMV, an AVI or an MP4 under a music name) are played for their sound: the
// picture track never reaches a video output of its own.
#include <gtest/gtest.h>

#include <cstdlib>

#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/playback/soundcapture.h"
#include "tests/support/tempdir.h"

namespace orba::test {
namespace {

struct PictureSong {
    const char* name;
    PictureContainer container;
};

void PrintTo(const PictureSong& song, std::ostream* os) {
    *os << song.name;
}

class PictureTrackSong : public ::testing::TestWithParam<PictureSong> {
protected:
    void TearDown() override { ::unsetenv("ORBAKARAOKE_AUDIO_SINK"); }
    TempDir dir;
};

TEST_P(PictureTrackSong, PlaysItsSoundToTheEnd) {
    constexpr int kSongMs = 2000;
    const std::string music = dir.file(GetParam().name);
    ASSERT_TRUE(writeToneWithPictures(music, GetParam().container, kSongMs));
    const std::string recording = dir.file("heard.wav");
    ::setenv("ORBAKARAOKE_AUDIO_SINK", captureSink(recording).c_str(), 1);

    MediaDevice device;
    ASSERT_TRUE(playThrough(device, music, 20000)) << device.errorText();
    const StereoSound heard = readWav(recording);
    EXPECT_NEAR(heard.ms(), kSongMs, 150);
    EXPECT_NEAR(strongestHz(heard.left, 200, 1800, 300, 600), 440.0, 2.0);
}

INSTANTIATE_TEST_SUITE_P(
    Containers, PictureTrackSong,
    ::testing::Values(PictureSong{"theora.ogg", PictureContainer::Ogg},
                      PictureSong{"wmv.wma", PictureContainer::Asf},
                      PictureSong{"avi.wav", PictureContainer::Avi},
                      PictureSong{"mp4.mp3", PictureContainer::Mp4}),
    [](const ::testing::TestParamInfo<PictureSong>& info) {
        return std::string(info.param.name).replace(std::string(info.param.name).find('.'), 1, "_");
    });

}  // namespace
}  // namespace orba::test
