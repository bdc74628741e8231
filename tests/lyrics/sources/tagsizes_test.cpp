#include "lyrics/sources/tagsizes.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

constexpr std::uint64_t kLimit = 1000;

std::string le(std::uint64_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
    return out;
}

std::string id3(std::uint32_t size) {
    std::string h("ID3\x04\0\0", 6);
    for (int shift = 21; shift >= 0; shift -= 7) h += static_cast<char>((size >> shift) & 0x7F);
    return h + std::string(40, '\0');
}

// An EBML element with a one-byte size, or an eight-byte one for large sizes.
std::string ebml(const std::string& id, std::uint64_t size, const std::string& data = "") {
    if (size < 0x7F) return id + static_cast<char>(0x80 | size) + data;
    std::string out = id + '\x01';
    for (int shift = 48; shift >= 0; shift -= 8) out += static_cast<char>(size >> shift);
    return out + data;
}

std::string matroska(const std::string& segmentChildren) {
    return ebml("\x1A\x45\xDF\xA3", 4, "\x42\x86\x81\x01") +
           ebml("\x18\x53\x80\x67", segmentChildren.size(), segmentChildren);
}

const std::string kTags = "\x12\x54\xC3\x67";
const std::string kCluster = "\x1F\x43\xB6\x75";

std::string asfObject(std::string_view guid, const std::string& data) {
    return std::string(guid) + le(24 + data.size(), 8) + data;
}

const std::string_view kExtendedContent(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
const std::string_view kHeaderExtension(
    "\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65", 16);
const std::string_view kMetadata("\xEA\xCB\xF8\xC5\xAF\x5B\x77\x48\x84\x67\xAA\x8C\x44\xFA\x4C\xCA",
                                 16);

// An ASF header object holding `objects`; `count` objects declared.
std::string asf(const std::string& objects, std::uint64_t count) {
    return std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16) +
           le(30 + objects.size(), 8) + le(count, 4) + "\x01\x02" + objects;
}

// One attribute named "a" of type 0 holding "b" (6 bytes besides its text).
const std::string kAttribute =
    le(2, 2) + std::string("a\0", 2) + le(0, 2) + le(2, 2) + std::string("b\0", 2);

struct SizeCase {
    const char* name;
    std::string file;
    DeclaredTags expected;
};

class DeclaredTagSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(DeclaredTagSizes, AreCheckedBeforeAnythingBelievesThem) {
    const std::string& file = GetParam().file;
    const ReadFileBytes read = [&](std::uint64_t at, std::size_t n) {
        return at < file.size() ? file.substr(at, n) : std::string();
    };
    EXPECT_EQ(measureDeclaredTags(read, file.size(), kLimit), GetParam().expected);
}

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DeclaredTagSizes,
    ::testing::Values(
        SizeCase{"Id3WithinTheLimit", id3(kLimit), DeclaredTags::Fit},
        // Only the header is believed: the file need not hold what it claims.
        SizeCase{"Id3OverTheLimit", id3(kLimit + 1), DeclaredTags::TooLarge},
        SizeCase{"MatroskaTagsAfterACluster",
                 matroska(ebml(kCluster, 3, "abc") + ebml(kTags, 2, "xy")), DeclaredTags::Fit},
        SizeCase{"MatroskaTagsOverTheLimit",
                 matroska(ebml(kCluster, 3, "abc") + ebml(kTags, kLimit + 1)),
                 DeclaredTags::TooLarge},
        SizeCase{"MatroskaTagsOfUnknownSize", matroska(kTags + "\xFF"), DeclaredTags::TooLarge},
        SizeCase{"MatroskaClusterOfUnknownSize", matroska(kCluster + "\xFF" + ebml(kTags, 2, "xy")),
                 DeclaredTags::Unmeasured},
        SizeCase{"AsfAttributesThatFit",
                 asf(asfObject(kExtendedContent, le(2, 2) + kAttribute + kAttribute), 1),
                 DeclaredTags::Fit},
        SizeCase{"AsfAttributesCountedBeyondTheirObject",
                 asf(asfObject(kExtendedContent, le(65535, 2) + kAttribute), 1),
                 DeclaredTags::Unmeasured},
        // The descriptors are read one after another, whatever the sizes
        // say: ones that end before their object, or an object that claims
        // more than the file, would have the next bytes read as descriptors.
        SizeCase{"AsfAttributesEndingBeforeTheirObject",
                 asf(asfObject(kExtendedContent, le(1, 2) + kAttribute + kAttribute), 1),
                 DeclaredTags::Unmeasured},
        SizeCase{"AsfNumberOfTheWrongWidth",
                 asf(asfObject(kExtendedContent,
                               le(1, 2) + le(2, 2) + std::string("a\0", 2) + le(3, 2) + le(2, 2) +
                                   "xxxx"),
                     1),
                 DeclaredTags::Unmeasured},
        SizeCase{"AsfAttributesInAnObjectLargerThanTheFile",
                 asf(std::string(kExtendedContent) + le(1ULL << 60, 8) + le(65535, 2), 1),
                 DeclaredTags::Unmeasured},
        SizeCase{"AsfMetadataCountedBeyondItsObjectInTheExtension",
                 asf(asfObject(kHeaderExtension,
                               std::string(18, '\0') + le(26, 4) + asfObject(kMetadata, le(3, 2))),
                     1),
                 DeclaredTags::Unmeasured},
        SizeCase{"AsfMoreObjectsThanTheHeaderHolds",
                 asf(asfObject(kExtendedContent, le(0, 2)), 100000), DeclaredTags::Unmeasured},
        SizeCase{"AnythingElse", "OggS and more", DeclaredTags::Fit}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orba
