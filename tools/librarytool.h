// The song library's headless commands, each one JSON object on stdout
// (errors on stderr, exit 2):
//   --library-add DIR...         takes folders in and scans them
//   --library-remove DIR         lets a folder go with its songs
//   --search TEXT [--limit N]    finds songs as the player's search does
//   --library-stats              what the library holds
// The library file is $ORBAKARAOKE_LIBRARY, else the user's default.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "library/songfacts.h"

namespace orba {

int runLibraryAdd(const std::vector<std::string>& args);
int runLibraryRemove(const std::vector<std::string>& args);
int runSearch(const std::vector<std::string>& args);
int runLibraryStats(const std::vector<std::string>& args);

// How the tools tell a song: its file name, and the lyrics found beside it
// (its lyric and LRC files) or in it (a MIDI file's lyric events), with
// their title and artist when they name them.
std::optional<SongFacts> describeSongForTools(const std::string& path);

}  // namespace orba
