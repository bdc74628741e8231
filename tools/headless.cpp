#include "tools/headless.h"

#include "tools/calibratetool.h"
#include "tools/exporttool.h"
#include "tools/librarytool.h"
#include "tools/lyricsinfotool.h"
#include "tools/probetool.h"
#include "tools/rendertool.h"
#include "tools/scoretool.h"
#include "tools/timelinetool.h"

namespace orba {

const char* const kUsage =
    "Usage: orbakaraoke [MUSICFILE]\n"
    "\n"
    "Plays a music file (.mid .kar .wav .mp3 .mp2 .wma .ogg) with its lyrics.\n"
    "When a player window is open already, the music file is handed to it.\n"
    "\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "  --time-edit [MUSICFILE]\n"
    "               open the song in the time-tag edit mode, in a window of\n"
    "               its own\n"
    "  --party [MUSICFILE]\n"
    "               open the player in party mode: guests queue songs from\n"
    "               their phones; prints the guests' address and the host PIN,\n"
    "               each on a line of its own\n"
    "  --lyrics-info FILE [--song-length MS] [--edit-mode] [--at MS]\n"
    "               show how the player reads a lyric file, as JSON\n"
    "  --timeline FILE --at MS[,MS...] [--song-length MS]\n"
    "               run the lyric clock over a lyric file and show, as JSON,\n"
    "               which line is current at each time and how it is wiped\n"
    "  --render FILE --at MS --out PNG [--song-length MS] [--size WxH] [--debug]\n"
    "               draw the player's frame at a moment of a song into a PNG\n"
    "  --score SONG --voice WAV [--delay MS]\n"
    "               sing a recording into the song's scoring (the recording\n"
    "               as the microphone, heard MS late) and show the score as JSON\n"
    "  --calibrate-mic [--dry-run]\n"
    "               play clicks and hear them back through the microphone:\n"
    "               its delay, kept as MicDelay in the settings' [Scoring]\n"
    "  --probe FILE [--play MS]\n"
    "               open a music file as the player would (and play MS\n"
    "               milliseconds of it), and report the result as JSON\n"
    "  --export-video SONG OUT [--size WxH] [--fps N] [--from MS] [--to MS]\n"
    "                 [--overwrite] [--quiet]\n"
    "               export a song with its lyrics and pictures to a video file\n"
    "               (.mp4, .webm or .mkv); an existing OUT is replaced only\n"
    "               with --overwrite\n"
    "  --library-add DIR...\n"
    "               take song folders into the song library and scan them\n"
    "  --library-remove DIR\n"
    "               let a folder go from the song library, with its songs\n"
    "  --search TEXT [--limit N]\n"
    "               find songs in the library by title, artist or lyrics, as JSON\n"
    "  --library-stats\n"
    "               show what the song library holds, as JSON\n"
    "               (the library file is $ORBAKARAOKE_LIBRARY when it is set)\n";

namespace {

struct HeadlessCommand {
    const char* flag;
    int (*run)(const std::vector<std::string>& args);
};
constexpr HeadlessCommand kCommands[] = {
    {"--lyrics-info", runLyricsInfo},
    {"--timeline", runTimeline},
    {"--render", runRender},
    {"--probe", runProbe},
    {"--export-video", runExportVideo},
    {"--library-add", runLibraryAdd},
    {"--library-remove", runLibraryRemove},
    {"--search", runSearch},
    {"--library-stats", runLibraryStats},
    {"--score", runScore},
    {"--calibrate-mic", runCalibrateMic},
};

bool isPlayerOption(const std::string& a) {
    return a == "--help" || a == "--version" || a == "--time-edit" || a == "--party";
}

}  // namespace

std::optional<int> runHeadlessCommand(const std::vector<std::string>& args) {
    if (args.empty()) return std::nullopt;
    for (const HeadlessCommand& c : kCommands)
        if (args.front() == c.flag) return c.run(args);
    return std::nullopt;
}

std::optional<std::string> unknownOption(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0 && !isPlayerOption(a)) return a;
    return std::nullopt;
}

}  // namespace orba
