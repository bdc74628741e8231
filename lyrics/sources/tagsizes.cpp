#include "lyrics/sources/tagsizes.h"

#include <algorithm>
#include <optional>

namespace orba {

namespace {

std::uint64_t littleEndian(std::string_view bytes, std::size_t at, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = n; i-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

// The size an ID3v2 tag at the start declares (28 bits in four 7-bit bytes),
// 0 when there is none.
std::uint32_t id3v2Size(std::string_view head) {
    if (head.size() < 10 || !head.starts_with("ID3")) return 0;
    std::uint32_t size = 0;
    for (int i = 6; i < 10; ++i) size = size << 7 | (static_cast<unsigned char>(head[i]) & 0x7F);
    return size;
}

constexpr std::uint64_t kSegmentId = 0x18538067;
constexpr std::uint64_t kTagsId = 0x1254C367;
// More top-level elements than hours of music in one-second clusters make.
constexpr int kMostElements = 1 << 20;

struct EbmlElement {
    std::uint64_t id = 0;
    std::uint64_t size = 0;
    bool unknownSize = false;  // runs to where its parent ends
    std::uint64_t dataStart = 0;
};

// The element ID and size at `at`: variable-length integers, the ID with its
// length marker, the size without it (all ones: unknown).
std::optional<EbmlElement> ebmlElementAt(const ReadFileBytes& read, std::uint64_t at) {
    const std::string head = read(at, 12);
    std::size_t pos = 0;
    auto vint = [&](bool keepMarker, int longest, std::uint64_t& value, bool& allOnes) {
        if (pos >= head.size()) return false;
        const auto first = static_cast<unsigned char>(head[pos]);
        int length = 1;
        while (length <= 8 && !(first & (0x80 >> (length - 1)))) ++length;
        if (length > longest || pos + length > head.size()) return false;
        value = keepMarker ? first : first & (0xFFu >> length);
        for (int i = 1; i < length; ++i)
            value = value << 8 | static_cast<unsigned char>(head[pos + i]);
        allOnes = !keepMarker && value == (std::uint64_t{1} << (7 * length)) - 1;
        pos += length;
        return true;
    };
    EbmlElement e;
    bool unused = false;
    if (!vint(true, 4, e.id, unused) || !vint(false, 8, e.size, e.unknownSize)) return std::nullopt;
    e.dataStart = at + pos;
    return e;
}

DeclaredTags measureMatroska(const ReadFileBytes& read, std::uint64_t end, std::uint64_t limit) {
    std::uint64_t at = 0;
    for (int n = 0; at < end; ++n) {
        if (n == kMostElements) return DeclaredTags::Unmeasured;
        const std::optional<EbmlElement> e = ebmlElementAt(read, at);
        if (!e) return DeclaredTags::Fit;  // the rest is no Matroska, for the framework either
        if (e->id == kTagsId && (e->unknownSize || e->size > limit)) return DeclaredTags::TooLarge;
        if (e->id == kSegmentId) {
            at = e->dataStart;  // its children are walked as if at the top
            continue;
        }
        if (e->unknownSize) return DeclaredTags::Unmeasured;
        if (e->size > end - e->dataStart) return DeclaredTags::Fit;  // cut short: the last one
        at = e->dataStart + e->size;
    }
    return DeclaredTags::Fit;
}

// ASF objects: a GUID as its bytes are stored, and a 64-bit size that counts
// the 24 bytes of both.
const std::string_view kAsfHeader(
    "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
const std::string_view kAsfExtendedContent(
    "\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50", 16);
const std::string_view kAsfCodecList(
    "\x40\x52\xD1\x86\x1D\x31\xD0\x11\xA3\xA4\x00\xA0\xC9\x03\x48\xF6", 16);
const std::string_view kAsfHeaderExtension(
    "\xB5\x03\xBF\x5F\x2E\xA9\xCF\x11\x8E\xE3\x00\xC0\x0C\x20\x53\x65", 16);
const std::string_view kAsfMetadata(
    "\xEA\xCB\xF8\xC5\xAF\x5B\x77\x48\x84\x67\xAA\x8C\x44\xFA\x4C\xCA", 16);
const std::string_view kAsfMetadataLibrary(
    "\x94\x1C\x23\x44\x98\x94\xD1\x49\xA1\x41\x1D\x13\x4E\x45\x70\x54", 16);
constexpr std::uint64_t kAsfObjectHead = 24;
// Descriptors hold at most 64 KiB each; a file's few dozen fit well within.
constexpr std::uint64_t kMaxAsfDescriptorBytes = 16u << 20;

// Whether the descriptors of an extended content object fill it exactly as
// the tag library reads them. The library reads them one after another and
// never goes to the object's declared end, so an object whose descriptors
// end early or late makes it read the next bytes as descriptors: up to
// 65,535 of them, made from nothing once the file ends.
bool asfDescriptorsFill(std::string_view object) {
    std::size_t at = kAsfObjectHead;
    const auto word = [&](std::size_t& pos) -> std::optional<std::uint64_t> {
        if (pos + 2 > object.size()) return std::nullopt;
        const std::uint64_t v = littleEndian(object, pos, 2);
        pos += 2;
        return v;
    };
    const std::optional<std::uint64_t> count = word(at);
    if (!count) return false;
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::optional<std::uint64_t> nameBytes = word(at);
        if (!nameBytes) return false;
        at += *nameBytes;
        const std::optional<std::uint64_t> type = word(at);
        const std::optional<std::uint64_t> size = type ? word(at) : std::nullopt;
        if (!size) return false;
        // What the library reads for each type of value, whatever the size
        // says: text, bytes and GUIDs their size, numbers their width.
        static constexpr int kWidth[] = {-1, -1, 4, 4, 8, 2, -1};
        if (*type >= std::size(kWidth)) return false;
        if (kWidth[*type] >= 0 && *size != static_cast<std::uint64_t>(kWidth[*type])) return false;
        at += *size;
        if (at > object.size()) return false;
    }
    return at == object.size();
}

// Whether every counting object in [at, end) holds at least the smallest
// entry for each entry it counts: where the count sits, how wide it is, and
// how small an entry can be.
bool asfCountsFit(const ReadFileBytes& read, std::uint64_t at, std::uint64_t end,
                  bool inExtension) {
    struct Counted {
        std::string_view guid;
        std::size_t countAt, countBytes, smallestEntry;
        bool inExtension;
    };
    static const Counted kCounted[] = {
        {kAsfExtendedContent, 0, 2, 6, false},
        {kAsfCodecList, 16, 4, 8, false},
        {kAsfMetadata, 0, 2, 12, true},
        {kAsfMetadataLibrary, 0, 2, 12, true},
    };
    for (int n = 0; at + kAsfObjectHead <= end; ++n) {
        if (n == kMostElements) return false;
        const std::string head = read(at, kAsfObjectHead + 22);
        if (head.size() < kAsfObjectHead) return true;
        const std::uint64_t size = littleEndian(head, 16, 8);
        const std::string_view guid = std::string_view(head).substr(0, 16);
        if (size < kAsfObjectHead || size > end - at) {
            // The library stops here too, but for the objects that count
            // their entries: those it reads by their count whatever the size.
            return std::none_of(std::begin(kCounted), std::end(kCounted),
                                [&](const Counted& c) { return c.guid == guid; });
        }
        const std::uint64_t data = size - kAsfObjectHead;
        for (const Counted& c : kCounted) {
            if (guid != c.guid || inExtension != c.inExtension) continue;
            if (head.size() < kAsfObjectHead + c.countAt + c.countBytes) return false;
            const std::uint64_t count =
                littleEndian(head, kAsfObjectHead + c.countAt, c.countBytes);
            const std::uint64_t entries = c.countAt + c.countBytes;
            if (data < entries || count > (data - entries) / c.smallestEntry) return false;
        }
        if (!inExtension && guid == kAsfExtendedContent &&
            (size > kMaxAsfDescriptorBytes || !asfDescriptorsFill(read(at, size))))
            return false;
        // The extension's own objects follow a GUID, a word and a length.
        if (!inExtension && guid == kAsfHeaderExtension &&
            !asfCountsFit(read, at + kAsfObjectHead + 22, at + size, true))
            return false;
        at += size;
    }
    return true;
}

DeclaredTags measureAsf(const ReadFileBytes& read, std::string_view head, std::uint64_t end) {
    const std::uint64_t headerSize = littleEndian(head, 16, 8);
    const std::uint64_t objects = littleEndian(head, 24, 4);
    if (headerSize < 30 || objects > (headerSize - 30) / kAsfObjectHead)
        return DeclaredTags::Unmeasured;
    return asfCountsFit(read, 30, std::min(headerSize, end), false) ? DeclaredTags::Fit
                                                                    : DeclaredTags::Unmeasured;
}

}  // namespace

bool isMatroska(std::string_view fileStart) {
    return fileStart.starts_with("\x1A\x45\xDF\xA3");
}

DeclaredTags measureDeclaredTags(const ReadFileBytes& read, std::uint64_t fileLength,
                                 std::uint64_t limit) {
    const std::string head = read(0, 30);
    if (id3v2Size(head) > limit) return DeclaredTags::TooLarge;
    if (isMatroska(head)) return measureMatroska(read, fileLength, limit);
    if (head.size() == 30 && head.starts_with(kAsfHeader))
        return measureAsf(read, head, fileLength);
    return DeclaredTags::Fit;
}

}  // namespace orba
