#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

TEST(Sjis, LeadBytesAreThoseOfCodePage932) {
    EXPECT_FALSE(isSjisLeadByte(0x80));
    EXPECT_TRUE(isSjisLeadByte(0x81));
    EXPECT_TRUE(isSjisLeadByte(0x9F));
    EXPECT_FALSE(isSjisLeadByte(0xA0));
    EXPECT_FALSE(isSjisLeadByte(0xDF));  // half-width katakana are single bytes
    EXPECT_TRUE(isSjisLeadByte(0xE0));
    EXPECT_TRUE(isSjisLeadByte(0xFC));
    EXPECT_FALSE(isSjisLeadByte(0xFD));
    EXPECT_FALSE(isSjisLeadByte('['));
}

TEST(Sjis, ConvertsJapaneseBothWays) {
    // "ソー" : the second bytes of both are ASCII backslash and '['.
    const std::string sjis = "\x83\x5C\x81\x5B";
    EXPECT_EQ(sjisToUtf8(sjis), "ソー");
    EXPECT_EQ(utf8ToSjis("ソー"), sjis);
    EXPECT_EQ(sjisToUtf8("abc"), "abc");
    EXPECT_EQ(sjisToUtf8("\xB1"), "ｱ");
}

TEST(Sjis, BrokenSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(sjisToUtf8("a\x83"), "a\xEF\xBF\xBD");  // lead byte cut off
    EXPECT_EQ(sjisToUtf8("\xFD"
                         "b"),
              "\xEF\xBF\xBD"
              "b");  // never a first byte
    EXPECT_EQ(sjisToUtf8(std::string("x\0y", 3)), std::string("x\0y", 3));
    std::string binary;
    for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
    EXPECT_FALSE(sjisToUtf8(binary).empty());
    EXPECT_EQ(utf8ToSjis("a😀b"), "a?b");
}

}  // namespace
}  // namespace orba
