#include "platform/json.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace orba {
namespace {

TEST(Json, StringsAreEscapedAndAlwaysValidUtf8) {
    EXPECT_EQ(jsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(jsonString(std::string("\n\0\x1f", 3)), "\"\\u000a\\u0000\\u001f\"");
    EXPECT_EQ(jsonString("歌"), "\"歌\"");
    EXPECT_EQ(jsonString("\xff"
                         "a\xe6\xad"),
              "\"\xEF\xBF\xBD"
              "a\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(Json, OverlongFormsSurrogatesAndOutOfRangeCodePointsAreReplaced) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(jsonString("\xE0\x80\x80"), "\"" + fffd + fffd + fffd + "\"");
    EXPECT_EQ(jsonString("\xED\xA0\x80"), "\"" + fffd + fffd + fffd + "\"");
    EXPECT_EQ(jsonString("\xF4\x90\x80\x80"), "\"" + fffd + fffd + fffd + fffd + "\"");
    EXPECT_EQ(jsonString("\xC0\xAF"), "\"" + fffd + fffd + "\"");
    EXPECT_EQ(jsonString("\xF0\x9F\x98\x80\xED\x9F\xBF"), "\"\xF0\x9F\x98\x80\xED\x9F\xBF\"");
}

TEST(Json, ObjectsKeepTheOrderOfTheirKeys) {
    JsonObject o;
    o.add("b", 1).add("a", "x").add("r", 0.5).add("t", true).addNull("n").addRaw("l", "[1,2]");
    EXPECT_EQ(o.str(),
              "{\"b\": 1, \"a\": \"x\", \"r\": 0.5, \"t\": true, \"n\": null, \"l\": [1,2]}");
}

TEST(Json, ObjectCanBeLeftOpenForAValueWrittenAfterIt) {
    EXPECT_EQ(JsonObject().add("a", 1).strOpenedAt("l"), "{\"a\": 1, \"l\": ");
    EXPECT_EQ(JsonObject().strOpenedAt("l"), "{\"l\": ");
}

// What a stream wrote, read back from its file.
std::string streamed(const std::function<void(JsonObjectStream&)>& build) {
    std::FILE* f = std::tmpfile();
    {
        JsonObjectStream j(f);
        build(j);
    }  // closed by going
    std::string text(static_cast<std::size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), f), text.size());
    std::fclose(f);
    return text;
}

TEST(Json, StreamWritesWhatTheObjectBuildsAcrossItsPieces) {
    // Texts far longer than a piece, whose characters of two to four bytes,
    // escapes and broken sequences fall on every side of the piece ends.
    const std::string unit = "a\xE6\xAD\x8C\xF0\x9F\x98\x80\"\n\xC3\xA9\xE6\xAD\xFF";
    std::string big;
    while (big.size() < 140 * 1024) big += unit;
    for (std::size_t shift = 0; shift < unit.size(); ++shift) {
        const std::string text = big.substr(shift);
        EXPECT_EQ(streamed([&](JsonObjectStream& j) { j.add("t", text).add("n", 7); }),
                  JsonObject().add("t", text).add("n", 7).str())
            << "shifted by " << shift;
    }
    // Continuation bytes only, a run longer than any character.
    const std::string stray(200 * 1024, '\x80');
    EXPECT_EQ(streamed([&](JsonObjectStream& j) { j.add("s", stray); }),
              JsonObject().add("s", stray).str());
}

TEST(Json, StreamKeepsTheObjectsKeysAndFormsAndJoinsPieces) {
    EXPECT_EQ(streamed([](JsonObjectStream& j) {
                  j.add("b", 1).add("a", "x").add("c", -5LL).addNull("n").addRaw("l", "[1,2]");
                  std::vector<std::string> pieces = {"歌", "\"", "", "\x01z"};
                  std::size_t next = 0;
                  j.addPieces("p", [&](std::string& piece) {
                      if (next == pieces.size()) return false;
                      piece += pieces[next++];
                      return true;
                  });
                  j.addPieces("e", [](std::string&) { return false; });
              }),
              "{\"b\": 1, \"a\": \"x\", \"c\": -5, \"n\": null, \"l\": [1,2], "
              "\"p\": \"歌\\\"\\u0001z\", \"e\": \"\"}");
    EXPECT_EQ(streamed([](JsonObjectStream&) {}), "{}");
}

TEST(Json, StreamThatCannotWriteSaysSoAtItsClose) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    JsonObjectStream j(full);
    j.add("t", std::string(200 * 1024, 'a'));
    EXPECT_FALSE(j.close());
    std::fclose(full);
}

}  // namespace
}  // namespace orba
