#include "platform/json.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orba
