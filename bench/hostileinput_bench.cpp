// Frames over input no real song has: a megabyte lyric line scrolling past,
// lyric files of one 4 MiB line in each encoding, a line of NUL bytes,
// glyphs a thousand pixels high fading in, and a JPEG with thousands of
// empty scans. Each must cost about what an ordinary frame or picture costs,
// not seconds. And lyric sources built to blow up: an LRC line of 200,000
// line times or 100,000 word times, a MIDI file of a million syllables or of
// as many tempo changes as syllables, read as a song load reads them; each
// must stay well under two seconds and 300 MB (the "peakMB" counter is the
// process's peak so far: run one at a time with --benchmark_filter to read it).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/pictures/jpegwriter.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/sources/midilyrics.h"
#include "lyrics/textdrawing.h"
#include "lyrics/wipe.h"
#include "platform/bitmap.h"
#include "platform/jpegpicture.h"
#include "platform/profilefile.h"
#include "platform/sjis.h"
#include "platform/textencoding.h"
#include "settings/settingsstore.h"
#include "tools/headlessplayer.h"

namespace orba {
namespace {

std::string repeated(const std::string& piece, std::size_t bytes) {
    std::string s;
    while (s.size() < bytes) s += piece;
    return s.substr(0, bytes);
}

const std::string& megabyteLine() {
    static const std::string line =
        repeated(utf8ToSjis("今日もいい天気ですね。歌を歌いましょう"), 1 << 20);
    return line;
}

constexpr std::size_t kFourMiB = 4 << 20;
const std::string kSentence = "今日もいい天気ですね。歌を歌いましょう";

// The line as memory holds it: Shift-JIS, or UTF-8 for every Unicode file.
const std::string& fourMiBLine(bool unicode) {
    static const std::string sjis = repeated(utf8ToSjis(kSentence), kFourMiB);
    static const std::string utf8 = repeated(kSentence, kFourMiB - 1);  // whole characters
    return unicode ? utf8 : sjis;
}

Bitmap lyricFrame(int size, bool unicode = false) {
    Bitmap b(1280, 720);
    b.canvas().font().size = size;
    b.canvas().font().style.bold = true;
    b.canvas().font().charset = unicode ? kUnicodeCharset : kShiftJisCharset;
    return b;
}

// The frames of a megabyte line as the long-line scroll moves it left.
void BM_MegabyteLineScrolling(benchmark::State& state) {
    Bitmap frame = lyricFrame(19);
    const std::string& line = megabyteLine();
    const std::string sung = line.substr(0, 4000), done = line.substr(0, 3000);
    int x = 0;
    for (auto _ : state) {
        drawKaraokeText(frame, x, 600, 1280, 5000, sung, done, true, 100, 0, 0xFFFFFF, line);
        x -= 7;
    }
}
BENCHMARK(BM_MegabyteLineScrolling)->Unit(benchmark::kMicrosecond);

// A 4 MiB karaoke line scrolling and being sung, its done part growing by a
// syllable every frame, in either character set.
void BM_FourMiBLineSung(benchmark::State& state) {
    const bool unicode = state.range(0) != 0;
    Bitmap frame = lyricFrame(19, unicode);
    const std::string& line = fourMiBLine(unicode);
    const std::size_t step = unicode ? 3 : 2;
    std::size_t done = 3000 * step;
    int x = -40000;
    for (auto _ : state) {
        drawKaraokeText(frame, x, 600, 1280, 5000, std::string_view(line).substr(0, done + step),
                        std::string_view(line).substr(0, done), true, 100, 0, 0xFFFFFF, line);
        x -= 7;
        done += step;
    }
}
BENCHMARK(BM_FourMiBLineSung)->ArgName("unicode")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A lyric file of one 4 MiB line, loaded and drawn until one second of the
// song has been shown, as `--render FILE --at 1000` does: UTF-8 with spaces,
// UTF-8 and UTF-16 with none and no line break, and Shift-JIS.
void BM_FourMiBLyricFileToOneSecond(benchmark::State& state) {
    const std::string words = repeated(kSentence + " ", kFourMiB - 100);
    std::string bytes;
    switch (state.range(0)) {
        case 0:
            bytes = "first line\n" + words.substr(0, words.rfind(' ')) + "\nlast\n";
            break;
        case 1:
            bytes = fourMiBLine(true);
            break;
        case 2:
            bytes = fromInternalText(fourMiBLine(true), TextEncoding::Utf16Le).substr(0, kFourMiB);
            break;
        default:
            bytes = fourMiBLine(false);
    }
    const auto file = std::filesystem::temp_directory_path() / "orba_bench_hostile.txt";
    std::ofstream(file, std::ios::binary) << bytes;
    for (auto _ : state) {
        HeadlessPlayer sim;
        // The settings of a settings file that does not exist yet.
        sim.loadLyricFile(file.string(), std::nullopt,
                          readSettings(ProfileFile(file.string() + ".ini")));
        Bitmap back(800, 600);
        for (int k = 0; k <= 1000 / 15; ++k) sim.nextDrawnFrame(back, 800, 600);
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_FourMiBLyricFileToOneSecond)
    ->ArgName("utf8_words_utf8_run_utf16_sjis")
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond);

// The first frame of each of several megabyte lines: the line is measured.
void BM_MegabyteLineFirstFrame(benchmark::State& state) {
    Bitmap frame = lyricFrame(19);
    std::vector<std::string> lines;
    for (char c = 'a'; c < 'a' + 8; ++c) lines.push_back(megabyteLine() + c);
    std::size_t next = 0;
    for (auto _ : state) {
        drawOutlinedText(frame, -100000, 600, true, 60, 0, 0x7F7F7F, 0xFFFFFF, lines[next]);
        next = (next + 1) % lines.size();
    }
}
BENCHMARK(BM_MegabyteLineFirstFrame)->Unit(benchmark::kMillisecond);

void BM_NulLine(benchmark::State& state) {
    Bitmap frame = lyricFrame(19);
    const std::string line(100000, '\0');
    for (auto _ : state)
        drawOutlinedText(frame, -5000, 600, true, 100, 0, 0x7F7F7F, 0xFFFFFF, line);
}
BENCHMARK(BM_NulLine)->Unit(benchmark::kMicrosecond);

// A font size of a hundred thousand percent: the largest glyphs drawn, a
// karaoke line fading in or being wiped.
void BM_HugeGlyphs(benchmark::State& state) {
    const bool fading = state.range(0) != 0;
    Bitmap frame = lyricFrame(100000);
    const std::string line = utf8ToSjis("さくらの花がさいた");
    const std::string sung = line.substr(0, 6), done = line.substr(0, 4);
    for (auto _ : state)
        drawKaraokeText(frame, 40, 300, 1280, 5000, sung, done, true, fading ? 60 : 100, 0,
                        0xFFFFFF, line);
}
BENCHMARK(BM_HugeGlyphs)->ArgName("fading")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A 4000 x 4000 grey progressive picture whose last scan is repeated 30,000
// times: its decode stops at the scan limit.
void BM_DecodeManyScanJpeg(benchmark::State& state) {
    QImage grey(4000, 4000, QImage::Format_RGB32);
    grey.fill(QColor(90, 90, 90));
    const std::string bytes = encodeJpeg(grey, {.progressive = true, .grey = true});
    const std::size_t lastScan = bytes.rfind("\xFF\xDA"), end = bytes.rfind("\xFF\xD9");
    std::string file = bytes.substr(0, end);
    for (int i = 0; i < 30000; ++i) file += bytes.substr(lastScan, end - lastScan);
    file += bytes.substr(end);
    for (auto _ : state) {
        JpegPicture jpeg;
        jpeg.loadFromBytes(file);
        jpeg.setScale(4);
        Bitmap out;
        benchmark::DoNotOptimize(jpeg.decode(out));
    }
}
BENCHMARK(BM_DecodeManyScanJpeg)->Unit(benchmark::kMillisecond);

void countPeakMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakMB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

// A file's lyric lines through the reader and every text step of a load.
void loadLyrics(std::string_view bytes) {
    LyricSource s = lyricSourceFromBytes(bytes, true);
    LyricLoadInput in;
    in.useMessage = true;
    in.encoding = s.form.encoding;
    in.tagType = s.tagType;
    benchmark::DoNotOptimize(prepareLyrics(std::move(s.lines), in));
}

// 2 MB in one line: 200,000 line times and a megabyte of text, which read
// whole made 200,000 lines of a megabyte each.
void BM_LrcLineOf200kLineTimes(benchmark::State& state) {
    std::string file;
    for (int i = 0; i < 200000; ++i) file += "[0:1]";
    file += repeated("la ", 1000000) + "\n";
    for (auto _ : state) loadLyrics(file);
    countPeakMemory(state);
}
BENCHMARK(BM_LrcLineOf200kLineTimes)->Unit(benchmark::kMillisecond);

// 4 MB in one line: one line time and 100,000 word times.
void BM_LrcLineOf100kWordTimes(benchmark::State& state) {
    std::string file = "[00:00.00]";
    char time[16];
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(time, sizeof time, "<%02d:%02d.%02d>", i / 6000 % 100, i / 100 % 60, i % 100);
        file += time + std::string(31, 'x');
    }
    file += "\n";
    for (auto _ : state) loadLyrics(file);
    countPeakMemory(state);
}
BENCHMARK(BM_LrcLineOf100kWordTimes)->Unit(benchmark::kMillisecond);

std::string midiFile(const std::string& track) {
    std::string smf("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
    const std::string body = track + std::string("\0\xFF\x2F\0", 4);
    for (int shift : {24, 16, 8, 0}) smf += static_cast<char>(body.size() >> shift);
    return smf + body;
}

void BM_MidiMillionOneByteSyllables(benchmark::State& state) {
    std::string track;
    for (int i = 0; i < 1000000; ++i) track += std::string("\x01\xFF\x05\x01", 4) + "a";
    const std::string smf = midiFile(track);
    for (auto _ : state) benchmark::DoNotOptimize(readMidiLyrics(smf));
    countPeakMemory(state);
}
BENCHMARK(BM_MidiMillionOneByteSyllables)->Unit(benchmark::kMillisecond);

// A tempo change before every syllable: each syllable's time once walked all
// the changes before it.
void BM_MidiTempoChangeBeforeEverySyllable(benchmark::State& state) {
    std::string track;
    for (long i = 0; i < state.range(0); ++i) {
        const long tempo = 400000 + i % 200000;
        track += std::string("\x01\xFF\x51\x03", 4) + static_cast<char>(tempo >> 16) +
                 static_cast<char>(tempo >> 8) + static_cast<char>(tempo);
        track += std::string("\0\xFF\x05\x01", 4) + (i % 8 ? "a" : "/");
    }
    const std::string smf = midiFile(track);
    for (auto _ : state) benchmark::DoNotOptimize(readMidiLyrics(smf));
    countPeakMemory(state);
}
BENCHMARK(BM_MidiTempoChangeBeforeEverySyllable)
    ->Arg(100000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond);

// Subtitles of 4 MB: one dialogue line of 64 KiB after another, each a "{"
// that never closes followed by braces, and a line of karaoke blocks without
// a single backslash; each brace once looked for its partner to the line's end.
void BM_SubtitleLinesOfOpenBraces(benchmark::State& state) {
    std::string file = "[Events]\n";
    const std::string open = "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,," + repeated("{", 65000);
    const std::string blocks =
        "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,," + repeated("{}", 32500);
    while (file.size() < (4u << 20) - 140000) file += open + "\n" + blocks + "\n";
    for (auto _ : state) benchmark::DoNotOptimize(lyricSourceFromBytes(file, LyricFileKind::Ass));
    countPeakMemory(state);
}
BENCHMARK(BM_SubtitleLinesOfOpenBraces)->Unit(benchmark::kMillisecond);

// An UltraStar song of 4 MB of one-beat notes in one line, with beats far
// past any song.
void BM_UltraStarHalfAMillionNotes(benchmark::State& state) {
    std::string file = "#TITLE:x\n#BPM:300\n";
    for (long i = 0; file.size() < (4u << 20) - 16; ++i)
        file += ": " + std::to_string(i * 99991 % 1000000) + " 1 0 a\n";
    for (auto _ : state) benchmark::DoNotOptimize(lyricSourceFromBytes(file, LyricFileKind::Txt));
    countPeakMemory(state);
}
BENCHMARK(BM_UltraStarHalfAMillionNotes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orba
