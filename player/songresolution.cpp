#include "player/songresolution.h"

#include "platform/files.h"
#include "platform/miditempomap.h"
#include "settings/settings.h"
#include "settings/settingsstore.h"

namespace orba {

SongOnDisk lookAtSong(const std::string& musicFile) {
    SongOnDisk song;
    if (musicFile.empty()) return song;
    song.musicFile = musicFile;
    song.companions = findCompanions(companionPathsFor(musicFile));
    song.lrcBeside = fileOrFolderExists(replaceExtension(musicFile, "") + ".lrc");
    song.playsAsMidi = playsAsMidi(musicFile);
    song.perSongFile = isRegularFile(perSongFilePath(musicFile));
    // Graphics discs name their files in capitals as often as not.
    for (const char* ext : {".cdg", ".CDG"})
        if (const std::string cdg = replaceExtension(musicFile, "") + ext; isRegularFile(cdg)) {
            song.cdgBeside = cdg;
            break;
        }
    return song;
}

ResolvedSong resolveSong(const SongOnDisk& song, const MusicChoice& fields,
                         bool lyricsBesideMusic) {
    ResolvedSong r;
    r.choice = fields;
    const bool music = fields.useBgm && !song.musicFile.empty() && fields.bgmFile == song.musicFile;
    const bool beside = music && lyricsBesideMusic;
    r.lyrics = lyricOrder(beside ? song.musicFile : std::string(), beside && song.lrcBeside,
                          fields.messageFile, fields.useMessage);
    if (music && song.perSongFile) r.perSongFile = perSongFilePath(song.musicFile);
    r.isMidi = music && song.playsAsMidi;
    if (music) r.graphicsFile = song.cdgBeside;
    return r;
}

ResolvedSong chooseSong(const SongOnDisk& song, const MusicChoice& before) {
    return resolveSong(song, chooseCompanions(before, song.musicFile, song.companions));
}

MusicChoice musicChoiceOf(const Settings& s) {
    return {s.useBgm, s.bgmFile, s.useMessage, s.messageFile, s.useImages, s.imageFolder};
}

}  // namespace orba
