// A karaoke song sold as one zip file: its music and its CD+G graphics,
// read straight into memory, never unpacked to disk.
//
// What is read is bounded whatever the archive claims: the entries' sizes
// as stated add up to at most kZipSongMaxBytes, and reading stops at that
// many bytes even when an entry inflates to more than it said (a zip bomb).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orba {

inline constexpr std::size_t kZipSongMaxBytes = 64u << 20;

// The entries a song zip plays from, or why it cannot be played.
struct ZipSongEntries {
    std::string music;  // the one music file
    std::string cdg;    // its graphics: the .cdg of the same name, else the only one; may be empty
    std::string problem;
    bool operator==(const ZipSongEntries&) const = default;
};

struct ZipEntryInfo {
    std::string name;
    std::uint64_t size = 0;  // unpacked, as the archive states it
};

// Picks the song out of the archive's entries (a pure decision): exactly one
// music file, no name that climbs out of the archive or starts at the root,
// and a stated total within the bound.
ZipSongEntries chooseZipSongEntries(const std::vector<ZipEntryInfo>& entries);

// Lists `zipPath` and chooses its song entries.
ZipSongEntries lookInZip(const std::string& zipPath);

// The bytes of entry `name`, at most `limit` of them; nothing, with `why`
// in words for the user, when the archive or the entry cannot be read or
// the entry holds more.
std::optional<std::string> readZipEntry(const std::string& zipPath, const std::string& name,
                                        std::size_t limit, std::string* why = nullptr);

// Whether `path` names a zip file by its extension.
bool hasZipExtension(const std::string& path);

}  // namespace orba
