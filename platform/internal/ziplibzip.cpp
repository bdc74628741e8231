// The zip module: libzip reading a song zip's list and entries.
#include <zip.h>

#include <memory>

#include "platform/internal/zipreader.h"

namespace orba {
namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

ZipPtr openZip(const std::string& path, std::string& why) {
    int error = 0;
    ZipPtr z(zip_open(path.c_str(), ZIP_RDONLY, &error));
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        why = std::string("not a readable zip file (") + zip_error_strerror(&e) + ")";
        zip_error_fini(&e);
    }
    return z;
}

class LibzipReader final : public ZipReader {
public:
    std::optional<std::vector<ZipEntryInfo>> entries(const std::string& zipPath,
                                                     std::string& why) override {
        ZipPtr z = openZip(zipPath, why);
        if (!z) return std::nullopt;
        std::vector<ZipEntryInfo> out;
        const zip_int64_t n = zip_get_num_entries(z.get(), 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            zip_stat_t st;
            if (zip_stat_index(z.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS, &st) != 0 ||
                !(st.valid & ZIP_STAT_NAME))
                continue;
            out.push_back({st.name, (st.valid & ZIP_STAT_SIZE) ? st.size : 0});
        }
        return out;
    }

    std::optional<std::string> read(const std::string& zipPath, const std::string& name,
                                    std::size_t limit, std::string& why) override {
        std::string problem;
        ZipPtr z = openZip(zipPath, problem);
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
            why = problem;
            return std::nullopt;
        }
        return bytes;
    }
};

}  // namespace
}  // namespace orba

extern "C" __attribute__((visibility("default"))) orba::ZipReader* orba_new_zip_reader_v1() {
    return new orba::LibzipReader();
}
