// The bundled demo song is regenerated from its sources now and then; its
// lyric file has to stay a karaoke file that runs in time with its music.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/sjistext.h"
#include "lyrics/sources/musictag.h"
#include "lyrics/timevalue.h"
#include "playback/mpegaudiolength.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

int mp3LengthMs(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    return estimateMpegAudioLengthMs(bytes, bytes.size()).value_or(0);
}

TEST(DemoSong, IsKaraokeTaggedWithEveryTimeInOrderBeforeTheMusicEnds) {
    const int songLength = mp3LengthMs(ORBA_DEMO_DIR "/demo.mp3");
    ASSERT_GT(songLength, 30000);
    std::optional<std::vector<std::string>> file = readMessageFile(ORBA_DEMO_DIR "/demo_t.txt");
    ASSERT_TRUE(file);
    const LyricText text = prepareLyrics(
        *file,
        {.useMessage = true, .useBgm = true, .songLength = songLength, .timeEditMode = false});
    EXPECT_EQ(text.tagType, 3);
    ASSERT_GE(text.lyricLines.size(), 7u);  // six lines at least, and the end line

    // Every time value of every sung line, leading and karaoke tags alike.
    int previous = -1;
    for (std::size_t i = 0; i + 1 < text.lyricLines.size(); ++i) {
        const std::string& line = text.lyricLines[i];
        ASSERT_TRUE(beginsWithTimeValue(line)) << "line " << i;
        EXPECT_EQ(readTimeValue(text.lineTimes[i]), readTimeValue(line)) << "line " << i;
        int tags = 0;
        for (std::size_t at = sjisFind(line, '['); at != std::string::npos;
             at = sjisFind(line, '[', at + 1)) {
            if (!beginsWithTimeValue(std::string_view(line).substr(at))) continue;
            const int t = readTimeValue(std::string_view(line).substr(at));
            EXPECT_GT(t, previous) << "line " << i << " at byte " << at;
            previous = t;
            ++tags;
        }
        EXPECT_GT(tags, 1) << "line " << i << " has no karaoke tags";
    }
    EXPECT_LT(previous, songLength);
}

TEST(DemoSong, TaggedExamplesHoldTheLrcLyricsInTheirTags) {
    const std::string lrc = test::readFile(ORBA_DEMO_DIR "/examples/asanouta.lrc");
    ASSERT_FALSE(lrc.empty());
    for (const char* name : {"asanouta-uslt.mp3", "asanouta-lyrics.ogg"}) {
        const std::string path = std::string(ORBA_TAG_EXAMPLES_DIR) + "/" + name;
        EXPECT_EQ(readMusicTag(path, {}).lyrics, lrc) << path;
    }
}

}  // namespace
}  // namespace orba
