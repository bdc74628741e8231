// The song library over a generated tree of small songs of our own (100,000
// by default): each a tiny music file with an LRC file beside it that names
// title and artist and holds eight lines of Japanese and Latin words, read
// by the tools' describer as the command line reads them.
//
//   library_bench [--songs N] [benchmark flags]   (N of 100 or more)
//
// Cold scan (into an empty file), rescan with nothing changed, and search:
// the 99th percentile over 1,000 queries of title, artist and lyric
// fragments in every width and kana, and one over short queries. Times are
// the process's CPU time (the machine may be shared); the memory counters
// are the resident memory the library added, at its peak.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/benchsupport.h"
#include "library/library.h"
#include "tools/librarytool.h"

namespace {

namespace fs = std::filesystem;
using orba::Library;

constexpr int kSongsPerFolder = 100;
int g_songs = 100000;

// Words of our own, from syllables: kana with a few kanji, and Latin.
const char* const kKana[] = {
    "あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ", "さ", "し", "す", "せ", "そ",
    "た", "ち", "つ", "て", "と", "な", "に", "ぬ", "ね", "の", "は", "ひ", "ふ", "へ", "ほ",
    "ま", "み", "む", "め", "も", "や", "ゆ", "よ", "ら", "り", "る", "れ", "ろ", "わ", "ん",
    "が", "ぎ", "ぐ", "ご", "ざ", "じ", "ず", "だ", "で", "ど", "ば", "び", "ぶ", "ぱ", "ぽ"};
const char* const kKanji[] = {"空", "海", "花", "夢", "星", "光", "風", "雨",
                              "心", "愛", "夜", "朝", "道", "歌", "春", "雪"};
const char* const kLatin[] = {"ka",  "lo",  "mi",  "ren", "sa", "tor", "vel", "an",  "dis", "el",
                              "fa",  "gor", "hin", "is",  "jo", "ku",  "lum", "mar", "no",  "pe",
                              "qua", "ri",  "sol", "tan", "u",  "ver", "wen", "xo",  "yl",  "zen"};

class Words {
public:
    Words() : m_random(20240601) {
        for (int i = 0; i < 400; ++i) m_japanese.push_back(japaneseWord());
        for (int i = 0; i < 400; ++i) m_latin.push_back(latinWord());
        for (int i = 0; i < 2000; ++i) m_artists.push_back(pick(m_latin) + " " + pick(m_japanese));
    }
    std::string title() {
        return coin() ? pick(m_japanese) + "の" + pick(m_japanese)
                      : pick(m_latin) + " " + pick(m_latin);
    }
    std::string artist() { return pick(m_artists); }
    std::string japaneseLine() { return pick(m_japanese) + pick(m_japanese) + pick(m_japanese); }
    std::string latinLine() {
        return pick(m_latin) + " " + pick(m_latin) + " " + pick(m_latin) + " " + pick(m_latin);
    }
    std::string japaneseWord() {
        std::string w;
        if (m_random() % 3 == 0) w += kKanji[m_random() % std::size(kKanji)];
        for (int n = 2 + int(m_random() % 3); n > 0; --n) w += kKana[m_random() % std::size(kKana)];
        return w;
    }
    std::string latinWord() {
        std::string w;
        for (int n = 2 + int(m_random() % 2); n > 0; --n)
            w += kLatin[m_random() % std::size(kLatin)];
        return w;
    }
    const std::string& pick(const std::vector<std::string>& v) { return v[m_random() % v.size()]; }
    bool coin() { return m_random() % 2; }
    std::mt19937& random() { return m_random; }
    const std::vector<std::string>& japanese() const { return m_japanese; }
    const std::vector<std::string>& latin() const { return m_latin; }
    const std::vector<std::string>& artists() const { return m_artists; }

private:
    std::mt19937 m_random;
    std::vector<std::string> m_japanese, m_latin, m_artists;
};

// Katakana for hiragana, full-width for ASCII: the forms a singer may type.
std::string otherForm(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            const char32_t wide = c == ' ' ? 0x3000 : c + 0xFEE0;
            out += char(0xE0 | (wide >> 12));
            out += char(0x80 | ((wide >> 6) & 0x3F));
            out += char(0x80 | (wide & 0x3F));
            ++i;
            continue;
        }
        const std::size_t n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        std::string ch = text.substr(i, n);
        if (n == 3) {
            char32_t cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
            if (cp >= 0x3041 && cp <= 0x3096) {
                cp += 0x60;
                ch = {char(0xE0 | (cp >> 12)), char(0x80 | ((cp >> 6) & 0x3F)),
                      char(0x80 | (cp & 0x3F))};
            }
        }
        out += ch;
        i += n;
    }
    return out;
}

// The first `n` characters of UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t n) {
    std::size_t i = 0;
    while (i < text.size() && n > 0) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        --n;
    }
    return text.substr(0, i);
}

class SongTree {
public:
    SongTree() {
        std::string pattern = (fs::temp_directory_path() / "orba-library-bench-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < g_songs; ++i) {
            const std::string folder = m_path + "/songs/f" + std::to_string(i / kSongsPerFolder);
            if (i % kSongsPerFolder == 0) fs::create_directories(folder);
            const std::string base = folder + "/s" + std::to_string(i);
            std::ofstream(base + ".mp3") << "ID3 tiny song " << i;
            std::ofstream lrc(base + ".lrc");
            lrc << "[ti:" << m_words.title() << "]\n[ar:" << m_words.artist() << "]\n";
            for (int line = 0; line < 8; ++line)
                lrc << "[00:" << (10 + line * 5) << ".00]"
                    << (line % 2 ? m_words.latinLine() : m_words.japaneseLine()) << "\n";
        }
        std::fprintf(
            stderr, "library_bench: %d songs made in %.1f s under %s\n", g_songs,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            m_path.c_str());
    }
    ~SongTree() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    std::string songs() const { return m_path + "/songs"; }
    std::string libraryFile() const { return m_path + "/library.db"; }
    Words& words() { return m_words; }

private:
    std::string m_path;
    Words m_words;
};

SongTree& tree() {
    static SongTree t;
    return t;
}

long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string name;
    long value = 0;
    while (status >> name) {
        if (name == key) {
            status >> value;
            return value;
        }
        status.ignore(1 << 10, '\n');
    }
    return 0;
}

// The resident memory above `baseKb` at its peak since the last reset.
double extraPeakMb(long baseKb) {
    return double(statusKb("VmHWM:") - baseKb) / 1024.0;
}
long resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
    return statusKb("VmRSS:");
}

double cpuMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void BM_LibraryColdScan(benchmark::State& state) {
    SongTree& t = tree();
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* end : {"", "-wal", "-shm"}) fs::remove(t.libraryFile() + end);
        const long base = resetPeak();
        state.ResumeTiming();
        Library library(t.libraryFile(), orba::describeSongForTools);
        library.addFolder(t.songs());
        const orba::ScanReport r = library.rescan();
        state.PauseTiming();
        state.counters["songs"] = double(r.added);
        state.counters["extra_MB"] = extraPeakMb(base);
        state.counters["file_MB"] = double(library.stats().databaseBytes) / (1 << 20);
        state.ResumeTiming();
    }
}

void BM_LibraryRescanUnchanged(benchmark::State& state) {
    SongTree& t = tree();
    for (auto _ : state) {
        const long base = resetPeak();
        Library library(t.libraryFile(), orba::describeSongForTools);
        const orba::ScanReport r = library.rescan();
        state.PauseTiming();
        state.counters["seen"] = double(r.filesSeen);
        state.counters["read"] = double(r.filesRead);
        state.counters["extra_MB"] = extraPeakMb(base);
        state.ResumeTiming();
    }
}

std::vector<std::string> queries(Words& w, bool shortOnes) {
    std::vector<std::string> list;
    std::mt19937& r = w.random();
    auto fragment = [&](const std::string& text, std::size_t from, std::size_t n) {
        std::string s = text;
        for (std::size_t k = 0; k < from; ++k) s = s.substr(firstCharacters(s, 1).size());
        return firstCharacters(s, n);
    };
    for (int i = 0; i < (shortOnes ? 200 : 1000); ++i) {
        std::string q;
        if (shortOnes) {
            q = firstCharacters(i % 2 ? w.pick(w.japanese()) : w.pick(w.latin()), 1 + i % 2);
        } else if (i % 4 == 0) {
            q = fragment(w.title(), 0, 4 + r() % 3);  // the start of a title
        } else if (i % 4 == 1) {
            q = fragment(w.pick(w.artists()), 0, 5 + r() % 4);
        } else if (i % 4 == 2) {
            const std::string line = w.pick(w.japanese()) + w.pick(w.japanese());
            q = fragment(line, r() % 2, 3 + r() % 3);
        } else {
            q = w.pick(w.latin()) + (r() % 3 == 0 ? " " + w.pick(w.latin()) : "");
        }
        if (r() % 4 == 0) q = otherForm(q);
        list.push_back(q);
    }
    return list;
}

void searchTimes(benchmark::State& state, bool shortOnes) {
    SongTree& t = tree();
    const std::vector<std::string> list = queries(t.words(), shortOnes);
    const long base = resetPeak();
    Library library(t.libraryFile(), orba::describeSongForTools);
    std::vector<double> times;
    std::vector<std::pair<double, std::string>> slowest;
    std::size_t hits = 0;
    for (auto _ : state) {
        times.clear();
        slowest.clear();
        for (const std::string& q : list) {
            const double start = cpuMs();
            hits += library.search(q, 50).size();
            times.push_back(cpuMs() - start);
            slowest.emplace_back(times.back(), q);
        }
    }
    // What to look at first when the percentile grows.
    std::sort(slowest.rbegin(), slowest.rend());
    for (std::size_t i = 0; i < std::min<std::size_t>(5, slowest.size()); ++i)
        std::fprintf(stderr, "library_bench: slow query %.2f ms \"%s\"\n", slowest[i].first,
                     slowest[i].second.c_str());
    std::sort(times.begin(), times.end());
    state.counters["p50_ms"] = times[times.size() / 2];
    state.counters["p99_ms"] = times[times.size() * 99 / 100];
    state.counters["max_ms"] = times.back();
    state.counters["extra_MB"] = extraPeakMb(base);
    state.counters["hits_per_query"] = double(hits) / double(times.size() * state.iterations());
}

void BM_LibrarySearch(benchmark::State& state) {
    searchTimes(state, false);
}
void BM_LibrarySearchShort(benchmark::State& state) {
    searchTimes(state, true);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) != "--songs") {
            args.push_back(argv[i]);
            continue;
        }
        std::int64_t songs = 0;
        if (i + 1 == argc || !orba::bench::parseInt(argv[i + 1], 1, 10000000, songs))
            orba::bench::refuseArgument(argv[0], "--songs wants a number of songs");
        g_songs = std::max(100, int(songs));
        ++i;
    }
    int n = int(args.size());
    orba::bench::readBenchmarkFlags(n, args.data());
    benchmark::RegisterBenchmark("LibraryColdScan", BM_LibraryColdScan)
        ->Iterations(1)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("LibraryRescanUnchanged", BM_LibraryRescanUnchanged)
        ->Iterations(1)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("LibrarySearch1000", BM_LibrarySearch)
        ->Iterations(3)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LibrarySearchShort200", BM_LibrarySearchShort)
        ->Iterations(3)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond);
    tree();
    return orba::bench::runBenchmarks();
}
