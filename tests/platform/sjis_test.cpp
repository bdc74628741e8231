#include "platform/sjis.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>

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

// The converter's own answer, with one converter call after each refused
// byte: conversion by table must give the same for every input.
std::string convertByteByByte(std::string_view in) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    std::string out;
    while (!in.empty()) {
        char buffer[64];
        char* src = const_cast<char*>(in.data());
        char* dst = buffer;
        std::size_t srcLeft = in.size(), dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        in.remove_prefix(in.size() - srcLeft);
        if (r == static_cast<std::size_t>(-1)) {
            out += "\xEF\xBF\xBD";
            if (errno == EINVAL) break;
            in.remove_prefix(1);
        }
    }
    iconv_close(cd);
    return out;
}

TEST(Sjis, EveryOneAndTwoByteInputConvertsAsTheConverterDoes) {
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        ASSERT_EQ(sjisToUtf8(one), convertByteByByte(one)) << a;
        for (int b = 0; b < 256; ++b) {
            // The third byte follows a refused pair: it is read anew.
            const std::string three = one + static_cast<char>(b) + "\x82";
            for (std::size_t n : {2, 3})
                ASSERT_EQ(sjisToUtf8(three.substr(0, n)), convertByteByByte(three.substr(0, n)))
                    << a << " " << b;
        }
    }
}

TEST(Sjis, LineOfAnUnassignedCodeKeepsItsSecondBytes) {
    std::string line;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        line += "\x85\x40";
        expected += "\xEF\xBF\xBD@";
    }
    EXPECT_EQ(sjisToUtf8(line), expected);
}

TEST(Sjis, PieceByPieceConversionReadsAsTheWholeText) {
    // Pairs, refused pairs and single bytes, so that pieces end inside a pair,
    // after a refused lead byte and on a lead byte cut off at the end.
    const std::string text =
        "\x83\x5C"
        "a\x85\x40\x81\x5B\xB1\xFD\x82\xA0\x82";
    for (std::size_t limit = 1; limit <= 4; ++limit) {
        std::string pieces;
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t taken = appendSjisAsUtf8(pieces, rest, limit);
            ASSERT_GE(taken, std::min(limit, rest.size()));
            ASSERT_LE(taken, limit + 1);
            rest.remove_prefix(taken);
        }
        EXPECT_EQ(pieces, sjisToUtf8(text)) << "pieces of " << limit;
    }
    // Appends to what is there.
    std::string out = "x";
    EXPECT_EQ(appendSjisAsUtf8(out, "\x83\x5C", 100), 2u);
    EXPECT_EQ(out, "xソ");
}

}  // namespace
}  // namespace orba
