// Folder play over a folder of 5,000 music files: the first listing, which
// reads and sorts the folder, and a step through the cached list.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "player/foldersongs.h"

namespace {

namespace fs = std::filesystem;

class SongFolder {
public:
    SongFolder() {
        std::string pattern = (fs::temp_directory_path() / "orba-bench-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
        const char* types[] = {".mp3", ".WAV", ".ogg", ".Mid", ".txt"};
        for (int i = 0; i < 5000; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "/%s %05d%s", i % 3 ? "track" : "Track",
                          (i * 7919) % 5000, types[i % 4]);
            std::ofstream(m_path + name).put('x');
            if (i == 1) m_song = m_path + name;
        }
        // Lyrics and pictures lie beside the songs and are left out of the list.
        for (int i = 0; i < 500; ++i)
            std::ofstream(m_path + "/lyrics " + std::to_string(i) + types[4]).put('x');
    }
    ~SongFolder() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const std::string& song() const { return m_song; }

private:
    std::string m_path;
    std::string m_song;
};

SongFolder& folder() {
    static SongFolder f;
    return f;
}

void BM_FolderSongFirstListing(benchmark::State& state) {
    const std::string song = folder().song();
    std::vector<std::string> cache;
    for (auto _ : state) {
        cache.clear();
        benchmark::DoNotOptimize(orba::folderSong(song, +1, song, cache));
    }
    state.counters["songs"] = double(cache.size());
}
BENCHMARK(BM_FolderSongFirstListing)->Unit(benchmark::kMillisecond);

void BM_FolderSongCachedStep(benchmark::State& state) {
    std::string song = folder().song();
    std::vector<std::string> cache;
    orba::folderSong(song, 0, song, cache);
    for (auto _ : state) {
        song = orba::folderSong(song, +1, song, cache);
        benchmark::DoNotOptimize(song);
    }
}
BENCHMARK(BM_FolderSongCachedStep)->Unit(benchmark::kMicrosecond);

void BM_PlayListText(benchmark::State& state) {
    const std::string song = folder().song();
    std::vector<std::string> cache;
    orba::folderSong(song, 0, song, cache);
    for (auto _ : state) benchmark::DoNotOptimize(orba::playListText(cache, song));
}
BENCHMARK(BM_PlayListText)->Unit(benchmark::kMicrosecond);

}  // namespace
