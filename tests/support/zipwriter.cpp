#include "tests/support/zipwriter.h"

#include <zip.h>

namespace orba::test {

bool writeZip(const std::string& path, const ZipEntries& entries) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z) return false;
    for (const auto& [name, bytes] : entries) {
        zip_source_t* source = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(z, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;  // the buffers are read here, while `entries` lives
}

}  // namespace orba::test
