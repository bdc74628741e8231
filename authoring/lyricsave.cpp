#include "authoring/lyricsave.h"

#include "lyrics/sources/assreader.h"
#include "lyrics/sources/lrcreader.h"
#include "platform/atomicfile.h"
#include "platform/files.h"
#include "platform/textencoding.h"

namespace orba {

LyricSaveError::LyricSaveError(const std::string& path)
    : std::runtime_error(path + " に書き込めません") {}

std::string lyricBackupPath(std::string_view messageFile) {
    return replaceExtension(messageFile, "_org" + extensionPart(messageFile));
}

namespace {

void saveLyricBytes(const std::string& messageFile, const std::string& bytes) {
    // Checked before the backup, so that a save that cannot happen leaves
    // nothing new behind.
    if (!replaceableFile(messageFile)) throw LyricSaveError(messageFile);
    const std::string backup = lyricBackupPath(messageFile);
    if (!anythingAt(backup) && isRegularFile(messageFile) && !copyToNewFile(messageFile, backup))
        throw LyricSaveError(backup);
    if (!writeFileAtomically(messageFile, bytes)) throw LyricSaveError(messageFile);
}

bool fromInsideMusic(const LyricForm& form) {
    return form.source == LyricSourceKind::MidiEvents || form.source == LyricSourceKind::MusicTag;
}

// Lines that cannot be written back in their own form (an UltraStar song's
// beats and pitches are no lyric times) go to a lyric file of the player's
// own beside the music.
bool savedBeside(const LyricForm& form) {
    return fromInsideMusic(form) ||
           (form.source == LyricSourceKind::File && form.dialect == LyricDialect::UltraStar);
}

}  // namespace

std::string lyricSavePath(const std::string& messageFile, const std::string& bgmFile,
                          const LyricForm& form) {
    if (!savedBeside(form)) return messageFile;
    return replaceExtension(bgmFile.empty() ? messageFile : bgmFile, "_t.txt");
}

std::string lyricFileBytes(const std::vector<std::string>& lyricLines, const LyricForm& form) {
    const bool lrc = !fromInsideMusic(form) && (form.dialect == LyricDialect::Lrc ||
                                                form.dialect == LyricDialect::EnhancedLrc);
    const bool ass = !fromInsideMusic(form) && form.dialect == LyricDialect::Ass;
    std::string text;
    if (ass) {
        for (const std::string& line : assFileLines(lyricLines, form.headerLines, form.encoding))
            text.append(line).append(form.lineEnd);
        if (!form.lastLineEnded && !text.empty()) text.resize(text.size() - form.lineEnd.size());
    } else if (lrc) {
        for (const std::string& line : lrcFileLines(lyricLines, form))
            text.append(line).append(form.lineEnd);
    } else {
        for (std::size_t i = 0; i + 1 < lyricLines.size(); ++i)
            text.append(lyricLines[i]).append(form.lineEnd);
    }
    return fromInternalText(text, form.encoding);
}

std::string saveLyricSource(const std::string& messageFile, const std::string& bgmFile,
                            const std::vector<std::string>& lyricLines, LyricForm& form) {
    if (lyricLines.empty()) return messageFile;
    const std::string path = lyricSavePath(messageFile, bgmFile, form);
    saveLyricBytes(path, lyricFileBytes(lyricLines, form));
    if (savedBeside(form)) {
        // The lines are the player's own tagged lines now, in a file of theirs.
        form.source = LyricSourceKind::File;
        form.dialect = LyricDialect::TaggedText;
        form.headerLines.clear();
        form.keptLines.clear();
    }
    return path;
}

}  // namespace orba
