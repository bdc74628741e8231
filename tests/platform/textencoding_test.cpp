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

// UTF-16 of UTF-8 text, without a mark.
std::string utf16(std::string_view utf8, bool bigEndian) {
    return fromInternalText(utf8,
                            bigEndian ? TextEncoding::Utf16BeBare : TextEncoding::Utf16LeBare);
}

TEST(TextEncodingDetection, Utf16WithoutAMarkIsToldByItsZeroBytes) {
    const std::string timed = "[00:01:00]きょうも\r\n[00:02:00]いい天気\r\n";
    // Japanese lines of thirty characters: only the line ends give zeros.
    std::string plain;
    for (int i = 0; i < 4; ++i)
        plain += "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ\n";
    // A zero low byte (U+4E00, U+3000) now and then does not tip the side.
    const std::string ideographs = "一　丁\n[00:01:00]ab\n";
    for (bool be : {false, true}) {
        const TextEncoding bare = be ? TextEncoding::Utf16BeBare : TextEncoding::Utf16LeBare;
        for (const std::string& text : {timed, plain, ideographs, std::string("la la la")}) {
            EXPECT_EQ(detectTextEncoding(utf16(text, be)), bare) << text;
            EXPECT_EQ(toInternalText(utf16(text, be), bare), text);
        }
    }
}

TEST(TextEncodingDetection, ZeroBytesOnBothSidesOrAStrayOneAreNoUtf16) {
    const std::string cases[] = {
        std::string(64, '\0'),                         // a line of NUL bytes
        "[00:01:00]abc\0defghijklmnopqrstuvwxyz"s,     // a single stray NUL
        utf8ToSjis("[00:01:00]うた") + "\0\r\n\0\0"s,  // zeros on both sides
    };
    for (const std::string& bytes : cases)
        EXPECT_EQ(detectTextEncoding(bytes), TextEncoding::ShiftJis) << bytes.size();
}

TEST(TextEncodingDetection, AFewBrokenBytesLeaveUtf8AsUtf8) {
    const std::string lines =
        "[00:01:00]きょうもいい天気\r\n[00:02:00]うたをうたおう\r\n[00:03:00]そらがあおい\r\n";
    // One bad byte (a Latin-1 é, a stray continuation, a cut sequence).
    for (const std::string& bad : {"\xE9"s, "\x80"s, "\xE3\x81"s, "\xFF"s}) {
        const std::string bytes = lines.substr(0, 19) + bad + lines.substr(19);  // after ょ
        EXPECT_EQ(detectTextEncoding(bytes), TextEncoding::Utf8);
        // Memory keeps the bytes; what is shown has U+FFFD for each bad one.
        EXPECT_EQ(toInternalText(bytes, TextEncoding::Utf8), bytes);
        EXPECT_NE(lyricTextToUtf8(bytes, TextEncoding::Utf8).find("\xEF\xBF\xBD"),
                  std::string::npos);
    }
    // Broken bytes as many as one for every four characters: no UTF-8 file.
    std::string damaged;
    for (int i = 0; i < 8; ++i) damaged += "うた\xFF";
    EXPECT_EQ(detectTextEncoding(damaged), TextEncoding::ShiftJis);
}

TEST(TextEncodingDetection, ShiftJisTextStaysShiftJis) {
    const char* texts[] = {
        "[00:01:00]今日もいい天気ですね\r\n[00:02:00]歌を歌いましょう\r\n",
        "夕焼け空に漢字が並ぶ時、一丁目の角で待つ\r\n",
        "ｶﾗｵｹ ﾃﾞ ｳﾀｵｳ\r\n",  // half-width katakana
        "[00:01:00]ソース表示[00:02:00]ー\\w5\r\n",
    };
    for (const char* text : texts) {
        const std::string sjis = utf8ToSjis(text);
        EXPECT_EQ(detectTextEncoding(sjis), TextEncoding::ShiftJis) << text;
        // A broken byte in Shift-JIS text does not make it anything else.
        EXPECT_EQ(detectTextEncoding(sjis + "\xFF" + sjis), TextEncoding::ShiftJis) << text;
    }
}

TEST(TextEncodingConversion, EveryUnicodeFormRoundTripsThroughMemory) {
    for (TextEncoding e :
         {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be,
          TextEncoding::Utf16LeBare, TextEncoding::Utf16BeBare}) {
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
