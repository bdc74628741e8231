#include "export/outputfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/atomicfile.h"
#include "platform/files.h"

namespace orba {

namespace {

std::string cannotWrite(const std::string& out, int error) {
    if (error == ENOENT) {
        const std::string folder = withoutTrailingSeparator(folderPart(out));
        return "cannot write " + out + ": there is no folder " + (folder.empty() ? "." : folder);
    }
    return "cannot write " + out + ": " + std::strerror(error);
}

std::string alreadyThere(const std::string& out) {
    return out + " exists already";
}

}  // namespace

std::string outputIsAnInput(const std::string& outFile, const std::vector<std::string>& inputs) {
    std::error_code ec;
    // By device and inode, so that a link or another name of the song is
    // caught as surely as its own name.
    for (const std::string& input : inputs)
        if (!input.empty() && std::filesystem::equivalent(outFile, input, ec))
            return "will not write " + outFile + ": the export reads it (" + input + ")";
    return {};
}

std::string OutputFile::check() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(m_out, ec)) return "cannot write " + m_out + ": it is a folder";
    if (std::string e = outputIsAnInput(m_out, m_inputs); !e.empty()) return e;
    m_existing = !m_overwrite && anythingAt(m_out);
    if (m_existing) return alreadyThere(m_out);
    return {};
}

std::string OutputFile::open(const std::string& outFile, const std::vector<std::string>& inputs,
                             bool overwrite) {
    discard();
    m_out = outFile;
    m_inputs = inputs;
    m_overwrite = overwrite;
    if (std::string problem = check(); !problem.empty()) return problem;
    m_fd = createFileBeside(m_out, ".part", m_partial);
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        const int error = errno;
        discard();
        return cannotWrite(m_out, error);
    }
    m_device = st.st_dev;
    m_inode = st.st_ino;
    return {};
}

std::string OutputFile::commit() {
    const int fd = m_fd;
    m_fd = -1;
    if (fd < 0 || ::close(fd) != 0) return cannotWrite(m_out, fd < 0 ? EBADF : errno);
    if (std::string problem = check(); !problem.empty()) return problem;
    if (!moveIntoPlace(m_partial, m_out, m_overwrite)) {
        m_existing = errno == EEXIST;
        return m_existing ? alreadyThere(m_out) : cannotWrite(m_out, errno);
    }
    m_partial.clear();
    return {};
}

void OutputFile::discard() {
    struct stat st {};
    // Someone may have put another file at the name meanwhile: only our own goes.
    if (!m_partial.empty() && ::lstat(m_partial.c_str(), &st) == 0 && st.st_dev == m_device &&
        st.st_ino == m_inode)
        ::unlink(m_partial.c_str());
    m_partial.clear();
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

}  // namespace orba
