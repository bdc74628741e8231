#include "player/songresolution.h"

#include <algorithm>

#include "lyrics/sources/ultrastarreader.h"
#include "platform/files.h"
#include "platform/miditempomap.h"
#include "platform/musictypes.h"
#include "platform/zipsong.h"
#include "settings/settings.h"
#include "settings/settingsstore.h"

namespace orba {

namespace {

// The audio of an UltraStar song file, or nothing with `why` said.
std::string songAudio(const std::string& songFile, const std::string& audioName, std::string& why) {
    std::string audio = ultraStarAudioPath(songFile, audioName, why);
    if (!audio.empty() && !isRegularFile(audio)) {
        why = "the audio file " + fileNamePart(audio) + " that the song names is not there";
        audio.clear();
    }
    return audio;
}

}  // namespace

std::string videoIn(const std::string& path) {
    if (path.empty()) return {};
    if (isFolder(path)) {
        const std::string folder = withoutTrailingSeparator(path) + "/";
        std::vector<std::string> names;
        if (!listFiles(folder, "*", names)) return {};
        std::erase_if(names, [](const std::string& n) { return !hasVideoExtension(n); });
        if (names.empty()) return {};
        return folder + *std::min_element(names.begin(), names.end());
    }
    return hasVideoExtension(path) && isRegularFile(path) ? path : std::string();
}

VideoChoice chooseVideo(const VideoCandidates& c) {
    if (c.graphics) return {};
    if (!c.songVideo.empty()) return {c.songVideo, false};
    // An UltraStar song's video is timed with its song, as a karaoke video is.
    if (!c.ultraStarVideo.empty()) return {c.ultraStarVideo, false};
    if (!c.folderVideo.empty()) return {c.folderVideo, true};
    if (!c.configured.empty()) return {c.configured, true};
    return {};
}

VideoChoice withBackground(const ResolvedSong& song, const std::string& configured) {
    if (!song.video.file.empty() || !song.graphicsFile.empty() || configured.empty())
        return song.video;
    return chooseVideo({false, {}, {}, {}, videoIn(configured)});
}

bool opensAsSong(const std::string& path) {
    return hasMusicExtension(path) || ultraStarAudioOf(path).has_value();
}

SongOnDisk lookAtSong(const std::string& file, const std::string& lyricFile) {
    SongOnDisk song;
    if (file.empty()) return song;
    std::string musicFile = file;
    if (!hasMusicExtension(file)) {
        if (std::optional<std::string> audio = ultraStarAudioOf(file)) {
            std::string why;
            musicFile = songAudio(file, *audio, why);
            if (musicFile.empty()) {
                song.refusal = why;
                return song;
            }
            song.songFile = file;
        }
    } else if (!lyricFile.empty()) {
        std::string why;
        if (std::optional<std::string> audio = ultraStarAudioOf(lyricFile);
            audio && ultraStarAudioPath(lyricFile, *audio, why) == file)
            song.songFile = lyricFile;
    }
    song.musicFile = musicFile;
    song.companions = findCompanions(companionPathsFor(musicFile));
    const LyricFilesBeside beside = lyricFilesBeside(musicFile);
    song.lrcBeside = beside.lrc;
    song.assBeside = beside.ass;
    song.ssaBeside = beside.ssa;
    song.playsAsMidi = playsAsMidi(musicFile);
    song.perSongFile = isRegularFile(perSongFilePath(musicFile));
    if (hasZipExtension(musicFile)) {
        // A song zip carries its graphics inside.
        if (!lookInZip(musicFile).cdg.empty()) song.cdgBeside = musicFile;
    } else {
        // Graphics discs name their files in capitals as often as not.
        for (const char* ext : {".cdg", ".CDG"})
            if (const std::string cdg = replaceExtension(musicFile, "") + ext; isRegularFile(cdg)) {
                song.cdgBeside = cdg;
                break;
            }
    }
    song.isVideo = hasVideoExtension(musicFile);
    song.folderVideo = videoIn(folderPart(musicFile) + "okaravid/");
    if (!song.songFile.empty())
        if (std::optional<std::string> video = ultraStarVideoOf(song.songFile);
            video && !video->empty()) {
            std::string why;
            if (std::string path = ultraStarAudioPath(song.songFile, *video, why);
                !path.empty() && isRegularFile(path))
                song.ultraStarVideo = path;
        }
    return song;
}

ResolvedSong resolveSong(const SongOnDisk& song, const MusicChoice& fields,
                         bool lyricsBesideMusic) {
    ResolvedSong r;
    r.choice = fields;
    const bool music = fields.useBgm && !song.musicFile.empty() && fields.bgmFile == song.musicFile;
    const bool beside = music && lyricsBesideMusic;
    if (music && fields.useMessage && !song.songFile.empty() &&
        fields.messageFile == song.songFile) {
        r.lyrics = {{song.songFile, false}};
    } else {
        r.lyrics = lyricOrder(beside ? song.musicFile : std::string(),
                              LyricFilesBeside{beside && song.lrcBeside, beside && song.assBeside,
                                               beside && song.ssaBeside},
                              fields.messageFile, fields.useMessage);
    }
    if (music && song.perSongFile) r.perSongFile = perSongFilePath(song.musicFile);
    r.isMidi = music && song.playsAsMidi;
    if (music) {
        r.graphicsFile = song.cdgBeside;
        r.video = chooseVideo({!song.cdgBeside.empty(),
                               song.isVideo ? song.musicFile : "",
                               song.ultraStarVideo,
                               song.folderVideo,
                               {}});
    }
    return r;
}

ResolvedSong chooseSong(const SongOnDisk& song, const MusicChoice& before) {
    MusicChoice choice = chooseCompanions(before, song.musicFile, song.companions);
    // An UltraStar song opened is sung from its own notes.
    if (!song.songFile.empty()) {
        choice.useMessage = true;
        choice.messageFile = song.songFile;
    }
    return resolveSong(song, choice);
}

MusicChoice musicChoiceOf(const Settings& s) {
    return {s.useBgm, s.bgmFile, s.useMessage, s.messageFile, s.useImages, s.imageFolder};
}

}  // namespace orba
