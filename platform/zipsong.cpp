#include "platform/zipsong.h"

#include <algorithm>
#include <memory>

#include "platform/files.h"
#include "platform/internal/zipreader.h"
#include "platform/modules.h"
#include "platform/musictypes.h"

namespace orba {

namespace {

std::string lowerExtension(const std::string& name) {
    std::string ext = extensionPart(name);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

bool climbsOut(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return true;
    if (name.size() > 1 && name[1] == ':') return true;  // a drive letter
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = name.find_first_of("/\\", start);
        const std::string part =
            name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

std::string stemOf(const std::string& name) {
    return name.substr(0, name.size() - extensionPart(name).size());
}

// A reader from the module; null, with `why`, when the module is missing.
std::unique_ptr<ZipReader> zipReader(std::string& why) {
    const auto factory =
        reinterpret_cast<ZipReaderFactory>(moduleSymbol(kZipModule, kZipFactory, why));
    if (!factory) {
        why = "zip songs cannot be read: " + why;
        return nullptr;
    }
    return std::unique_ptr<ZipReader>(factory());
}

}  // namespace

bool hasZipExtension(const std::string& path) {
    return lowerExtension(path) == ".zip";
}

ZipSongEntries chooseZipSongEntries(const std::vector<ZipEntryInfo>& entries) {
    ZipSongEntries r;
    std::uint64_t total = 0;
    std::vector<std::string> music, cdg;
    for (const ZipEntryInfo& e : entries) {
        if (!e.name.empty() && (e.name.back() == '/' || e.name.back() == '\\')) continue;
        if (climbsOut(e.name)) {
            r.problem = "the zip names a file outside itself (" + e.name + ")";
            return r;
        }
        total += e.size;
        if (hasMusicExtension(e.name) && !hasZipExtension(e.name)) music.push_back(e.name);
        if (lowerExtension(e.name) == ".cdg") cdg.push_back(e.name);
    }
    if (music.empty()) {
        r.problem = "no music file in the zip";
    } else if (music.size() > 1) {
        r.problem = "more than one music file in the zip";
    } else if (total > kZipSongMaxBytes) {
        r.problem = "the zip unpacks to more than 64 MiB";
    }
    if (!r.problem.empty()) return r;
    r.music = music.front();
    const auto namesake = std::find_if(
        cdg.begin(), cdg.end(), [&](const std::string& c) { return stemOf(c) == stemOf(r.music); });
    if (namesake != cdg.end())
        r.cdg = *namesake;
    else if (cdg.size() == 1)
        r.cdg = cdg.front();
    return r;
}

ZipSongEntries lookInZip(const std::string& zipPath) {
    std::string why;
    std::unique_ptr<ZipReader> reader = zipReader(why);
    std::optional<std::vector<ZipEntryInfo>> entries =
        reader ? reader->entries(zipPath, why) : std::nullopt;
    if (!entries) return {{}, {}, why};
    return chooseZipSongEntries(*entries);
}

std::optional<std::string> readZipEntry(const std::string& zipPath, const std::string& name,
                                        std::size_t limit, std::string* why) {
    std::string problem;
    std::unique_ptr<ZipReader> reader = zipReader(problem);
    std::optional<std::string> bytes =
        reader ? reader->read(zipPath, name, limit, problem) : std::nullopt;
    if (!bytes && why) *why = problem;
    return bytes;
}

}  // namespace orba
