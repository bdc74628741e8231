// Saving the lyric file after time-tag editing. The first save keeps the file
// as it was as "<name>_org<ext>" beside it; every save replaces the file in
// one step, so that no failure, at any point, costs a byte of it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "settings/lyricform.h"

namespace orba {

// A save that did not happen; what() (UTF-8, for the error box) names the
// file that could not be written: "<path> に書き込めません".
class LyricSaveError : public std::runtime_error {
public:
    explicit LyricSaveError(const std::string& path);
};

// "/x/song.txt" -> "/x/song_org.txt"; a name without extension gets "_org".
std::string lyricBackupPath(std::string_view messageFile);

// The file a save writes: the lyric file itself, or for lyrics taken from
// inside a music file, and for an UltraStar song, "<music name>_t.txt" beside
// the music (neither the music file nor the song's notes are ever written;
// an UltraStar song played without music saves beside itself).
std::string lyricSavePath(const std::string& messageFile, const std::string& bgmFile,
                          const LyricForm& form);

// The bytes of the lyric file in the form it was read in: an LRC file as LRC
// with its header lines on top, each in its own encoding (a Unicode file with
// the byte-order mark it had) and with the file's own line ends; an ASS file
// as it was with only its times changed (assFileLines); the player's
// own tagged text is every line but the last (the empty end entry the loader
// adds), each followed by the line end.
std::string lyricFileBytes(const std::vector<std::string>& lyricLines, const LyricForm& form);

// Saves in the form the lyrics were read in and returns the path written.
// Makes the backup when nothing bears its name yet (a folder of that name
// counts as a backup), then replaces the lyric file. A lyric file deleted
// while editing is written anew, without a backup. Throws LyricSaveError;
// the lyric file is then as it was. The lines are never changed. Lyrics from
// inside a music file go to their own lyric file, which from then on is the
// song's: `form` says so afterwards.
std::string saveLyricSource(const std::string& messageFile, const std::string& bgmFile,
                            const std::vector<std::string>& lyricLines, LyricForm& form);

}  // namespace orba
