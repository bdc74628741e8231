// The file an export makes, kept apart from every file of the user's until
// it is complete: the name is checked before anything is encoded, the video
// is written into a partial file of its own beside it (created exclusively,
// so no existing file or link is ever opened for writing), and the partial
// file becomes the output in one rename, replacing what is there only when
// asked. A partial file not committed is removed.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace orba {

// Refuses (an error text; "" when all is well) an output that is one of the
// `inputs` under any name or link.
std::string outputIsAnInput(const std::string& outFile, const std::vector<std::string>& inputs);

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() { discard(); }

    // Refuses (an error text; "" when all is well) a name that is a folder,
    // that leads to one of `inputs`, or that exists when not `overwrite`;
    // then creates the partial file.
    std::string open(const std::string& outFile, const std::vector<std::string>& inputs,
                     bool overwrite);

    // The partial file, open for writing; -1 before open and after commit.
    int descriptor() const { return m_fd; }
    const std::string& partialPath() const { return m_partial; }

    // Closes the partial file and renames it to the output, after the same
    // checks as open. An error text, "" once the output is in place.
    std::string commit();

    // Closes and removes the partial file, if it is still ours.
    void discard();

    // Whether the last refusal was for an output that exists already.
    bool refusedAsExisting() const { return m_existing; }

private:
    std::string check();

    std::string m_out;
    std::vector<std::string> m_inputs;
    bool m_overwrite = false;
    std::string m_partial;
    int m_fd = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    bool m_existing = false;
};

}  // namespace orba
