// Saving the lyric file after time-tag editing. The first save keeps the file
// as it was as "<name>_org<ext>" beside it; every save replaces the file in
// one step, so that no failure, at any point, costs a byte of it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

// A save that did not happen; what() (UTF-8, for the error box) names the
// file that could not be written: "<path> に書き込めません".
class LyricSaveError : public std::runtime_error {
public:
    explicit LyricSaveError(const std::string& path);
};

// "/x/song.txt" -> "/x/song_org.txt"; a name without extension gets "_org".
std::string lyricBackupPath(std::string_view messageFile);

// Every line but the last, which is the empty end entry the loader adds,
// each followed by CR LF, in the bytes memory holds.
std::string lyricFileBytes(const std::vector<std::string>& lyricLines);

// Makes the backup when nothing bears its name yet (a folder of that name
// counts as a backup), then replaces the lyric file. A lyric file deleted
// while editing is written anew, without a backup. Throws LyricSaveError;
// the lyric file is then as it was. The lines are never changed.
void saveLyricFile(const std::string& messageFile, const std::vector<std::string>& lyricLines);

}  // namespace orba
