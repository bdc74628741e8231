// Lyric files in users' collections can hold anything. Every operation must
// give a result for any bytes: no read past the end (the sanitizer build
// checks that), no hang on long lines, results within their ranges.
#include <gtest/gtest.h>

#include <cstdint>

#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/tags.h"
#include "lyrics/textforms.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;

void checkLine(const std::string& raw) {
    std::string line = raw;
    takeColourTag(line);
    EXPECT_LE(line.size(), raw.size());
    EXPECT_LE(stripTags(line).size(), line.size());
    EXPECT_LE(stripTagsKeepTime(line).size(), line.size() + 10);
    EXPECT_LE(plainTextForm(raw).size(), raw.size());
    EXPECT_LE(safeTextForm(raw).size(), raw.size() + 2);
    for (int now : {0, 500, 10000, 600000, INT32_MAX}) {
        KaraokeParse k = parseKaraokeLine(now, line, 20000);
        EXPECT_GE(k.segmentProgress, 0);
        EXPECT_LE(k.segmentProgress, 10000);
        EXPECT_EQ(k.sungText.compare(0, k.doneText.size(), k.doneText), 0) << "done is sung";
        EXPECT_GE(k.timingKind, 0);
        EXPECT_LE(k.timingKind, 4);
    }
}

void checkFile(const std::string& bytes) {
    Lines lines = splitLines(bytes);
    LyricText text;
    try {
        text = prepareLyrics(lines, {true, false, 0, false});
    } catch (const ConversionError&) {
        return;  // a bad "@TimeRatio": the load stops, which is a result too
    }
    EXPECT_EQ(text.lineTimes.size(), text.lyricLines.size());
    EXPECT_EQ(text.lyricLines.back(), "");
    for (const std::string& line : text.lyricLines) checkLine(line);
}

// Random picks of tag pieces make far more tag-like lines than plain noise.
std::string tagSoup(std::size_t pieces, std::uint32_t seed) {
    static const char* const kPieces[] = {
        "[",    "]",          "\\",      "_",   "w",     "5",  "#",         "FF",
        "00:",  "[00:10:00]", "[0:1:2]", "\\w", "\\_w[", "s[", "\x81\x5B",  "\x83\x5C",
        "\x83", "a",          "\r",      "\n",  "\0",    " ",  "[#123456]", "@"};
    std::string s;
    for (std::size_t i = 0; i < pieces; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char* p = kPieces[(seed >> 16) % std::size(kPieces)];
        if (*p)
            s += p;
        else
            s += '\0';
    }
    return s;
}

TEST(BadInput, TagSoupGivesResults) {
    for (std::uint32_t seed = 1; seed <= 200; ++seed) checkFile(tagSoup(300, seed));
}

TEST(BadInput, MegabyteLinesAreHandledInOnePass) {
    for (const char* unit : {"\\", "[", "]", "[#", "\\w5", "\\_w[99999999]", "[00:00:01]a", "\x83",
                             "\x81\x5B", "\\s[10]\\h", "[#123456]"}) {
        std::string line = "[00:00:00]";
        while (line.size() < 1000000) line += unit;
        checkLine(line);
    }
}

TEST(BadInput, TwoHundredThousandLinesGetOneTimeEach) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += i % 7 ? "x\r\n" : "[00:01:00]y\r\n";
    LyricText text = prepareLyrics(splitLines(bytes), {true, true, 1000, false});
    EXPECT_EQ(text.tagType, 1);
    EXPECT_EQ(text.lyricLines.size(), 200001u);
    EXPECT_EQ(text.lineTimes.size(), 200001u);
}

}  // namespace
}  // namespace orba
