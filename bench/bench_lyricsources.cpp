// Lyric sources: a long Shift-JIS tagged file read through the source
// reader (its encoding check added to the plain read), a long enhanced LRC
// file in UTF-8, and a karaoke MIDI file of many syllables.
#include <benchmark/benchmark.h>

#include <string>

#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/sources/midilyrics.h"
#include "lyrics/timevalue.h"
#include "platform/sjis.h"

namespace {

std::string taggedShiftJisFile() {
    std::string bytes = "// words and music\r\n";
    const std::string text = orba::utf8ToSjis("夕焼け空にラーメンの湯気がのぼる");
    for (int i = 0; i < 100000; ++i) bytes += orba::formatTimeValue(i * 1500LL) + text + "\r\n";
    return bytes;
}

std::string lrcTime(long long ms, char open, char close) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%02lld:%02lld.%02lld%c", open, ms / 60000 % 100,
                  ms / 1000 % 60, ms / 10 % 100, close);
    return buf;
}

std::string enhancedLrcFile() {
    std::string bytes = "[ti:Long]\n[ar:Bench]\n";
    for (int i = 0; i < 100000; ++i) {
        const long long t = i * 1500LL;
        bytes += lrcTime(t, '[', ']');
        for (int w = 0; w < 4; ++w) bytes += lrcTime(t + w * 300, '<', '>') + "Café ";
        bytes += "\n";
    }
    return bytes;
}

void BM_ShiftJisTaggedFileLines(benchmark::State& state) {
    const std::string bytes = taggedShiftJisFile();
    for (auto _ : state) benchmark::DoNotOptimize(orba::splitLines(bytes));
}
BENCHMARK(BM_ShiftJisTaggedFileLines)->Unit(benchmark::kMillisecond);

void BM_ShiftJisTaggedFileThroughSourceReader(benchmark::State& state) {
    const std::string bytes = taggedShiftJisFile();
    for (auto _ : state) benchmark::DoNotOptimize(orba::lyricSourceFromBytes(bytes, false));
}
BENCHMARK(BM_ShiftJisTaggedFileThroughSourceReader)->Unit(benchmark::kMillisecond);

void BM_LoadEnhancedLrc100kLines(benchmark::State& state) {
    const std::string bytes = enhancedLrcFile();
    for (auto _ : state) {
        orba::LyricSource s = orba::lyricSourceFromBytes(bytes, true);
        orba::LyricLoadInput in;
        in.useMessage = true;
        in.encoding = s.form.encoding;
        in.tagType = s.tagType;
        benchmark::DoNotOptimize(orba::prepareLyrics(std::move(s.lines), in));
    }
}
BENCHMARK(BM_LoadEnhancedLrc100kLines)->Unit(benchmark::kMillisecond);

// One track of 20,000 lyric events, a line every eight syllables.
void BM_MidiLyrics20kSyllables(benchmark::State& state) {
    std::string body;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = (i % 8 ? "la" : "/la");
        body += std::string("\x60\xFF\x05", 3) + char(text.size()) + text;
    }
    body += std::string("\0\xFF\x2F\0", 4);
    std::string smf("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
    for (int shift : {24, 16, 8, 0}) smf += char(body.size() >> shift);
    smf += body;
    for (auto _ : state) benchmark::DoNotOptimize(orba::readMidiLyrics(smf));
}
BENCHMARK(BM_MidiLyrics20kSyllables)->Unit(benchmark::kMillisecond);

}  // namespace
