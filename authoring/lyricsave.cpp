#include "authoring/lyricsave.h"

#include "platform/atomicfile.h"
#include "platform/files.h"

namespace orba {

LyricSaveError::LyricSaveError(const std::string& path)
    : std::runtime_error(path + " に書き込めません") {}

std::string lyricBackupPath(std::string_view messageFile) {
    return replaceExtension(messageFile, "_org" + extensionPart(messageFile));
}

std::string lyricFileBytes(const std::vector<std::string>& lyricLines) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < lyricLines.size(); ++i)
        bytes.append(lyricLines[i]).append("\r\n");
    return bytes;
}

void saveLyricFile(const std::string& messageFile, const std::vector<std::string>& lyricLines) {
    // Without the end entry the lines are not what the loader left: writing
    // them could only lose text.
    if (lyricLines.empty()) return;
    // Checked before the backup, so that a save that cannot happen leaves
    // nothing new behind.
    if (!replaceableFile(messageFile)) throw LyricSaveError(messageFile);
    const std::string backup = lyricBackupPath(messageFile);
    if (!anythingAt(backup) && isRegularFile(messageFile) && !copyToNewFile(messageFile, backup))
        throw LyricSaveError(backup);
    if (!writeFileAtomically(messageFile, lyricFileBytes(lyricLines)))
        throw LyricSaveError(messageFile);
}

}  // namespace orba
