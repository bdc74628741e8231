// Lyric text engine: the load-time text steps of a long time-tagged file,
// the karaoke parse of a busy line, stripTags of an ukagaka line and the
// conversion of a long line of invalid Shift-JIS, and --lyrics-info on it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/tags.h"
#include "lyrics/timevalue.h"
#include "platform/sjis.h"
#include "tools/lyricsinfotool.h"

namespace {

// The largest message file the player reads (lines up to the size limit,
// about 95,000 of them), time-tagged with one line in ten untagged, with the
// comments and directives a real file has, written to a temporary file.
std::string writeLongFile() {
    std::string bytes = "@TimeRatio=1.0\r\n// words and music\r\n";
    const std::string text = orba::utf8ToSjis("夕焼け空にラーメンの湯気がのぼる");
    for (int i = 0;; ++i) {
        const std::string line = (i % 10 ? orba::formatTimeValue(i * 1500LL) : "") + text + "\r\n";
        if (bytes.size() + line.size() > orba::kMaxMessageFileBytes) break;
        bytes += line;
    }
    std::string path = (std::filesystem::temp_directory_path() / "orba-bench-lyrics.txt").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

void BM_LoadTimeTaggedFile(benchmark::State& state) {
    const std::string path = writeLongFile();
    for (auto _ : state) {
        auto lines = orba::readMessageFile(path);
        if (!lines) {
            state.SkipWithError("the player does not read the file");
            break;
        }
        orba::LyricText text =
            orba::prepareLyrics(std::move(*lines), {true, true, 180000000, false});
        benchmark::DoNotOptimize(text);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadTimeTaggedFile)->Unit(benchmark::kMillisecond);

void BM_ParseKaraokeLine40Segments(benchmark::State& state) {
    std::string line;
    for (int i = 0; i < 40; ++i)
        line += orba::formatTimeValue(10000 + i * 250) + orba::utf8ToSjis("あ");
    int now = 10000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orba::parseKaraokeLine(now, line, 25000));
        now = now < 21000 ? now + 97 : 10000;
    }
}
BENCHMARK(BM_ParseKaraokeLine40Segments)->Unit(benchmark::kMicrosecond);

void BM_StripTagsUkagaka200Bytes(benchmark::State& state) {
    std::string line = "[00:10:00]";
    const std::string word = orba::utf8ToSjis("こんにちは");
    while (line.size() < 190) line += "\\h\\s[10]" + word + "\\w9\\_w[500]";
    line.resize(200);
    for (auto _ : state) benchmark::DoNotOptimize(orba::stripTags(line));
}
BENCHMARK(BM_StripTagsUkagaka200Bytes)->Unit(benchmark::kMicrosecond);

// A 5 MB line of an unassigned double-byte code: every second byte is
// replaced, the worst case for the conversion.
void BM_SjisToUtf8InvalidLine5MB(benchmark::State& state) {
    std::string line;
    for (int i = 0; i < 2500000; ++i) line += "\x85\x40";
    for (auto _ : state) benchmark::DoNotOptimize(orba::sjisToUtf8(line));
}
BENCHMARK(BM_SjisToUtf8InvalidLine5MB)->Unit(benchmark::kMillisecond);

// The whole command on the largest file it reads, one line of that code:
// about 25 MB of JSON, written to /dev/null in place of the benchmark's own
// output.
void BM_LyricsInfoInvalidLine4MiB(benchmark::State& state) {
    std::string bytes;
    while (bytes.size() + 4 <= orba::kMaxMessageFileBytes) bytes += "\x85\x40";
    bytes += "\r\n";
    const std::string path =
        (std::filesystem::temp_directory_path() / "orba-bench-invalid-line.txt").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    std::fflush(stdout);
    const int shown = dup(STDOUT_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    for (auto _ : state) {
        dup2(nowhere, STDOUT_FILENO);
        const int code = orba::runLyricsInfo({"--lyrics-info", path});
        std::fflush(stdout);
        dup2(shown, STDOUT_FILENO);
        if (code != 0) state.SkipWithError("--lyrics-info failed");
    }
    close(nowhere);
    close(shown);
    std::remove(path.c_str());
}
BENCHMARK(BM_LyricsInfoInvalidLine4MiB)->Unit(benchmark::kMillisecond);

}  // namespace
