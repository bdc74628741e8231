// What the song zips ask of the zip module (orba_zip_libzip.so): libzip behind
// types of our own. libzip brings a cryptography library with it that every
// start would otherwise wait for the loader to map, for songs few users own.
// The module and the player are built together, so the interface is plain
// C++; its version is in the name of the factory, to be raised with any
// change here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/zipsong.h"

namespace orba {

class ZipReader {
public:
    virtual ~ZipReader() = default;
    // The archive's entries as it states them; nothing, with `why` in words
    // for the user, when it cannot be read as a zip.
    virtual std::optional<std::vector<ZipEntryInfo>> entries(const std::string& zipPath,
                                                             std::string& why) = 0;
    // The bytes of entry `name`, at most `limit` of them; nothing, with
    // `why`, when the archive or the entry cannot be read or the entry holds
    // more.
    virtual std::optional<std::string> read(const std::string& zipPath, const std::string& name,
                                            std::size_t limit, std::string& why) = 0;
};

using ZipReaderFactory = ZipReader* (*)();
inline constexpr const char* kZipModule = "orba_zip_libzip.so";
inline constexpr const char* kZipFactory = "orba_new_zip_reader_v1";

}  // namespace orba
