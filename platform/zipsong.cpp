#include "platform/zipsong.h"

#include <zip.h>

#include <algorithm>

#include "platform/files.h"
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

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

ZipPtr openZip(const std::string& path, std::string* why) {
    int error = 0;
    ZipPtr z(zip_open(path.c_str(), ZIP_RDONLY, &error));
    if (!z && why) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        *why = std::string("not a readable zip file (") + zip_error_strerror(&e) + ")";
        zip_error_fini(&e);
    }
    return z;
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
    const auto namesake = std::find_if(cdg.begin(), cdg.end(), [&](const std::string& c) {
        return stemOf(c) == stemOf(r.music);
    });
    if (namesake != cdg.end())
        r.cdg = *namesake;
    else if (cdg.size() == 1)
        r.cdg = cdg.front();
    return r;
}

ZipSongEntries lookInZip(const std::string& zipPath) {
    std::string why;
    ZipPtr z = openZip(zipPath, &why);
    if (!z) return {{}, {}, why};
    std::vector<ZipEntryInfo> entries;
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME))
            continue;
        entries.push_back({st.name, (st.valid & ZIP_STAT_SIZE) ? st.size : 0});
    }
    return chooseZipSongEntries(entries);
}

std::optional<std::string> readZipEntry(const std::string& zipPath, const std::string& name,
                                        std::size_t limit, std::string* why) {
    std::string problem;
    ZipPtr z = openZip(zipPath, &problem);
    zip_file_t* file = z ? zip_fopen(z.get(), name.c_str(), ZIP_FL_ENC_GUESS) : nullptr;
    if (z && !file) problem = name + " cannot be read from the zip";
    std::string bytes;
    if (file) {
        // Never more than the bound, whatever the entry says of its size.
        char block[65536];
        for (;;) {
            const zip_int64_t got = zip_fread(file, block, sizeof block);
            if (got < 0) {
                problem = name + " in the zip is damaged";
                break;
            }
            if (got == 0) break;
            if (bytes.size() + static_cast<std::size_t>(got) > limit) {
                problem = name + " in the zip unpacks to more than 64 MiB";
                break;
            }
            bytes.append(block, static_cast<std::size_t>(got));
        }
        zip_fclose(file);
    }
    if (!problem.empty()) {
        if (why) *why = problem;
        return std::nullopt;
    }
    return bytes;
}

}  // namespace orba
