// Song files no real song has, read as a song load reads them: a per-song
// file of 400 MiB (sparse: it costs no disk) beside the music, and a 4 MiB
// UTF-16 lyric file without a single line break, with and without its mark.
// Each load must cost milliseconds, not seconds and gigabytes; run the
// program under /usr/bin/time -v for its peak memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "lyrics/lyricload.h"
#include "lyrics/sources/lyricsource.h"
#include "settings/settingsstore.h"

namespace orba {
namespace {

// The program's own folder, removed with what is in it when the program ends.
struct BenchFolder {
    BenchFolder()
        : path(std::filesystem::temp_directory_path() /
               ("hostilefiles_bench." + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    const std::string path;
};

const std::string& benchFolder() {
    static const BenchFolder folder;
    return folder.path;
}

void BM_OversizedPerSongFile(benchmark::State& state) {
    const std::string song = benchFolder() + "/song.mid";
    const std::string oka = perSongFilePath(song);
    std::ofstream(oka).close();
    std::filesystem::resize_file(oka, 400ull << 20);
    for (auto _ : state) {
        // What a song load reads of it: the display settings and the singer.
        Settings settings;
        benchmark::DoNotOptimize(applyPerSongFile(song, settings));
        benchmark::DoNotOptimize(readPerSongSinger(song));
    }
}
BENCHMARK(BM_OversizedPerSongFile)->Unit(benchmark::kMicrosecond);

// 4 MiB of UTF-16 text, a time tag and then Latin letters (which put a zero
// byte in every unit) or kana, never a line break.
std::string utf16Line(bool bigEndian, bool mark, bool kana) {
    std::u16string text = u"[00:01:00]";
    while (text.size() < (2u << 20)) text += kana ? u"きょうもいいてんき" : u"Singing in the rain ";
    text.resize((2u << 20) - (mark ? 1 : 0));
    std::string bytes = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

void BM_Utf16LineWithoutBreak(benchmark::State& state) {
    const bool mark = state.range(0) != 0, kana = state.range(1) != 0;
    const std::string path = benchFolder() + "/wide.txt";
    std::ofstream(path, std::ios::binary) << utf16Line(false, mark, kana);
    for (auto _ : state) {
        LyricSource source = readLyricFile(path);
        LyricLoadInput in;
        in.useMessage = source.found;
        in.encoding = source.form.encoding;
        in.file = path;
        benchmark::DoNotOptimize(prepareLyrics(std::move(source.lines), in));
    }
}
BENCHMARK(BM_Utf16LineWithoutBreak)
    ->ArgNames({"mark", "kana"})
    ->Args({1, 1})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orba
