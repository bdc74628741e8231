// What a music file brings with it: where its lyrics are looked for, its
// pictures, its per-song file, whether it plays as MIDI, and whether CD+G
// graphics beside it draw its frames. The window, the
// headless tools, the export and the library all ask here, so a song shows,
// renders, exports and is catalogued with the same lyrics.
//
// The files are looked at once (lookAtSong); what they mean is decided by the
// pure functions below.
#pragma once

#include <string>
#include <vector>

#include "lyrics/sources/lyricsource.h"
#include "settings/companions.h"

namespace orba {

struct Settings;

// What lies on disk for a music file D/B.E.
struct SongOnDisk {
    std::string musicFile;  // empty: no music
    CompanionsFound companions;
    bool lrcBeside = false;    // D/B.lrc
    bool assBeside = false;    // D/B.ass
    bool ssaBeside = false;    // D/B.ssa
    bool playsAsMidi = false;  // its first bytes are a MIDI file's
    bool perSongFile = false;  // its per-song settings file
    // The UltraStar song file that names this music as its audio: the one
    // opened, or the lyric file kept from opening it. Its notes are the
    // song's lyrics, before anything beside or inside the music.
    std::string songFile;
    // Not empty: the file opened is an UltraStar song that cannot be played
    // (its audio named nowhere, outside its folder, or not there), in words
    // for the user; nothing else is then filled in.
    std::string refusal;
    // D/B.cdg (or .CDG): CD+G graphics; the song zip itself when it holds
    // them; empty: none.
    std::string cdgBeside;
    bool isVideo = false;        // the music file is a karaoke video
    std::string ultraStarVideo;  // the video the UltraStar song names, when it is there
    std::string folderVideo;     // the first video by name in D/okaravid/
    bool operator==(const SongOnDisk&) const = default;
};

// A video drawn as the frame's background in place of the scenes and
// pictures: a song's own pictures in step with it, or a background that
// loops behind it.
struct VideoChoice {
    std::string file;  // empty: none
    bool loops = false;
    bool operator==(const VideoChoice&) const = default;
};

// The video a song plays over. CD+G graphics are the whole frame and leave
// no room for one; then, in order: the song's own pictures (a karaoke video),
// the video its UltraStar song names, the okaravid/ folder beside it, and
// the background of the settings (`configured`, already a file).
struct VideoCandidates {
    bool graphics = false;
    std::string songVideo;
    std::string ultraStarVideo;
    std::string folderVideo;
    std::string configured;
};
VideoChoice chooseVideo(const VideoCandidates& c);

// The first video by name in `path` when it is a folder, `path` itself when
// it is a video file, else "".
std::string videoIn(const std::string& path);

// `file` is a music file, or an UltraStar song file whose audio is then the
// music; `lyricFile`, when given, is the lyric file the song plays with,
// looked at for being the UltraStar song of this music.
SongOnDisk lookAtSong(const std::string& file, const std::string& lyricFile = {});

// Whether the player opens `path` as a song: a music file by its extension,
// or an UltraStar song file (which may yet be refused by lookAtSong).
bool opensAsSong(const std::string& path);

struct ResolvedSong {
    // The music, lyric file and picture folder fields the song plays with.
    MusicChoice choice;
    // Where its lyrics are read from, in order; the first that gives lyrics wins.
    std::vector<LyricCandidate> lyrics;
    std::string perSongFile;  // empty: none
    // What the file on disk is, for those who look without playing it; a
    // song being played has the device's own answer in its state.
    bool isMidi = false;
    // CD+G graphics that draw the whole frame, its lyrics included, in
    // place of the scenes, pictures and the player's own lyric drawing;
    // empty: none.
    std::string graphicsFile;
    // What the song brings to play over: its own pictures, an UltraStar
    // song's video, or the okaravid/ folder; the settings' background is
    // the player's to add (withBackground).
    VideoChoice video;
};

// The video the song is shown over once the settings' background (a file or
// folder, as the settings say it) is counted.
VideoChoice withBackground(const ResolvedSong& song, const std::string& configured);

// The song as the fields stand (a song already chosen, or the settings read
// at start-up). With `lyricsBesideMusic` false the lyrics are the lyric file
// named in the fields alone, never one beside or inside the music.
ResolvedSong resolveSong(const SongOnDisk& song, const MusicChoice& fields,
                         bool lyricsBesideMusic = true);

// The song newly chosen (opened, dropped, handed over, picked in the
// library): its companions replace those of the song before.
ResolvedSong chooseSong(const SongOnDisk& song, const MusicChoice& before);

// The music, lyric and picture fields of the settings.
MusicChoice musicChoiceOf(const Settings& s);

}  // namespace orba
