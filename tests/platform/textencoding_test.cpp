#include "platform/textencoding.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sjis.h"

namespace orba {
namespace {

using namespace std::string_literals;

// "Café 한국 😀" in UTF-8: Latin, Hangul and a character beyond the basic
// plane, none of which Shift-JIS has all of.
const std::string kMixed = "Caf\xC3\xA9 \xED\x95\x9C\xEA\xB5\xAD \xF0\x9F\x98\x80";

TEST(TextEncodingDetection, MarksAndContentDecide) {
    struct Case {
        std::string bytes;
        TextEncoding expected;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF[00:01:00]abc", TextEncoding::Utf8Bom},
        {"\xFF\xFE[\0"s, TextEncoding::Utf16Le},
        {"\xFE\xFF\0["s, TextEncoding::Utf16Be},
        {kMixed, TextEncoding::Utf8},
        // Plain ASCII is read as it always was.
        {"[00:01:00]hello", TextEncoding::ShiftJis},
        {"", TextEncoding::ShiftJis},
        // Shift-JIS text is not valid UTF-8.
        {utf8ToSjis("あいうえお"), TextEncoding::ShiftJis},
        // Overlong forms, surrogates and cut sequences are no UTF-8.
        {"\xC0\xAF", TextEncoding::ShiftJis},
        {"\xED\xA0\x80", TextEncoding::ShiftJis},
        {"abc\xE3\x81", TextEncoding::ShiftJis},
    };
    for (const Case& c : cases)
        EXPECT_EQ(detectTextEncoding(c.bytes), c.expected) << encodingName(c.expected);
}

TEST(TextEncodingConversion, EveryUnicodeFormRoundTripsThroughMemory) {
    for (TextEncoding e : {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16Le,
                           TextEncoding::Utf16Be}) {
        const std::string file = fromInternalText(kMixed, e);
        EXPECT_EQ(detectTextEncoding(file), e) << encodingName(e);
        EXPECT_EQ(toInternalText(file, e), kMixed) << encodingName(e);
    }
}

TEST(TextEncodingConversion, Utf16CarriesSurrogatePairsAndMarksBrokenUnits) {
    // U+1F600 is D83D DE00; a lone low surrogate and an odd last byte are
    // broken and each show as U+FFFD.
    EXPECT_EQ(fromInternalText("\xF0\x9F\x98\x80", TextEncoding::Utf16Be),
              "\xFE\xFF\xD8\x3D\xDE\x00"s);
    EXPECT_EQ(toInternalText("\xFF\xFE\x00\xDC"
                             "A\0"
                             "B"s,
                             TextEncoding::Utf16Le),
              "\xEF\xBF\xBD"
              "A\xEF\xBF\xBD");
}

TEST(TextEncodingConversion, BrokenBytesAfterAUtf8MarkBecomeReplacementCharacters) {
    // The mark decides the encoding whatever follows: in memory it is still
    // whole UTF-8.
    EXPECT_EQ(toInternalText("\xEF\xBB\xBF" + utf8ToSjis("うた") + "!", TextEncoding::Utf8Bom),
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD!");
}

TEST(TextEncodingConversion, ShiftJisIsNeverTouched) {
    const std::string sjis = utf8ToSjis("ソ[ー]表") + "\xFF\x80";
    EXPECT_EQ(toInternalText(sjis, TextEncoding::ShiftJis), sjis);
    EXPECT_EQ(fromInternalText(sjis, TextEncoding::ShiftJis), sjis);
}

TEST(TextEncodingConversion, Windows1252HighCodesBecomeTheirCharacters) {
    EXPECT_EQ(windows1252ToUtf8("\x80\xE9\x81\x9F"), "\xE2\x82\xAC\xC3\xA9\xEF\xBF\xBD\xC5\xB8");
}

TEST(TextCharLength, AUtf8CharacterNeverSwallowsTheAsciiAfterIt) {
    // "ā[" is C4 81 5B: read as Shift-JIS the 0x81 would take the "[" with it.
    const std::string s = "\xC4\x81[";
    EXPECT_EQ(textCharLength(s, 0, TextEncoding::Utf8), 2u);
    EXPECT_EQ(textCharLength(s, 1, TextEncoding::ShiftJis), 2u);
    const std::string kana = "\xE3\x83\xBC]";  // ー
    EXPECT_EQ(textCharLength(kana, 0, TextEncoding::Utf8), 3u);
    // A broken sequence is stepped byte by byte.
    EXPECT_EQ(textCharLength("\xE3]", 0, TextEncoding::Utf8), 1u);
}

TEST(LyricTextToUtf8, ConvertsShiftJisAndCleansBrokenUtf8) {
    EXPECT_EQ(lyricTextToUtf8(utf8ToSjis("歌"), TextEncoding::ShiftJis), "歌");
    EXPECT_EQ(lyricTextToUtf8("a\xFF"
                              "b",
                              TextEncoding::Utf8),
              "a\xEF\xBF\xBD"
              "b");
}

}  // namespace
}  // namespace orba
