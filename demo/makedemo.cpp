// Writes the project's demo song "あさのうた": the music as a Standard MIDI
// File and its lyrics (karaoke tags, time tags, ukagaka waits, plain text) as
// UTF-8 text, every lyric time taken from the note it is sung on, and renders
// a MIDI file to a WAV file with the player's own synthesizer settings.
//
//   orba_makedemo OUTDIR            demo.mid, lyrics-utf8/*.txt and the examples
//                                   asanouta.lrc (UTF-8 LRC with word times),
//                                   asanouta-ass.ass (karaoke subtitles),
//                                   asanouta-ultrastar.txt (an UltraStar song)
//                                   and karaoke.kar (the song with its lyrics inside)
//   orba_makedemo --render MID WAV  the song through FluidSynth, sample-timed
//
// The song is written as data: one melody table whose notes carry the
// syllables sung on them, a chord per half bar, and a tempo per bar. The
// accompaniment and the lyric files are derived from those tables, so a change
// of a note moves its lyric tag with it.
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lyrics/timevalue.h"
#include "platform/miditempomap.h"
#include "platform/sjis.h"
#include "playback/midisource.h"

namespace {

constexpr int kDivision = 480;  // ticks per quarter note
constexpr int kEighth = kDivision / 2;
constexpr int kBar = kDivision * 4;
constexpr int kBars = 20;
// The final chord rings out for one more beat before the song ends.
constexpr int kEndTick = kBars * kBar + kDivision;

constexpr int kLeadChannel = 0, kPianoChannel = 1, kBassChannel = 2, kDrumChannel = 9;

struct TempoMark {
    int bar;  // 0-based
    int bpm;
};
// Verse, a brighter chorus, the last sung bar broadened, the final chord held.
constexpr TempoMark kTempi[] = {{0, 108}, {10, 116}, {17, 100}, {19, 84}};

// One melody note. `syllable` is the text sung on it (with a full-width space
// after the last syllable of a word); null for the instrumental bars.
struct Note {
    int pitch;    // MIDI key, 0 for a rest
    int eighths;  // length
    const char* syllable;
};

// One lyric line is one two-bar phrase; the intro and the outro are unsung.
// The player hands over to the next line 390 ms before it and fades the old
// one out before that, so each line's last note starts well before the next
// line: otherwise it would show as sung before it is heard.
struct Phrase {
    bool sung;
    std::vector<Note> notes;
};

// clang-format off
const std::vector<Phrase> kMelody = {
    {false, {{72,1,0},{76,1,0},{79,2,0},{76,1,0},{74,1,0},{72,2,0},
             {74,1,0},{76,1,0},{74,1,0},{71,1,0},{67,3,0},{0,1,0}}},
    {true, {{64,1,"ま"},{67,1,"ど"},{69,1,"を　"},{67,1,"あ"},{64,1,"け"},{62,1,"れ"},{60,2,"ば　"},
            {64,1,"あ"},{67,1,"お"},{69,1,"い　"},{72,1,"そ"},{69,3,"ら"},{0,1,0}}},
    {true, {{65,1,"こ"},{69,1,"と"},{72,1,"り"},{69,1,"の　"},{67,1,"う"},{64,1,"た"},{65,2,"が　"},
            {62,1,"き"},{64,1,"こ"},{65,1,"え"},{69,1,"る"},{67,3,"よ"},{0,1,0}}},
    {true, {{64,1,"あ"},{67,1,"た"},{72,1,"ら"},{72,1,"し"},{74,1,"い　"},{72,1,"く"},{69,1,"つ"},
            {67,1,"を　"},
            {69,1,"は"},{72,1,"い"},{69,1,"た"},{64,4,"ら"},{0,1,0}}},
    {true, {{65,1,"ま"},{69,1,"ち"},{72,2,"が　"},{71,1,"に"},{69,1,"こ"},{67,1,"に"},{69,1,"こ　"},
            {67,1,"て"},{64,1,"を　"},{62,1,"ふ"},{64,1,"る"},{60,3,"よ"},{0,1,0}}},
    {true, {{72,1,"う"},{72,1,"た"},{69,1,"お"},{72,1,"う　"},{74,2,"ラ"},{72,1,"ラ"},{69,1,"ラ　"},
            {71,1,"ど"},{72,1,"こ"},{74,1,"ま"},{76,1,"で"},{74,3,"も"},{0,1,0}}},
    {true, {{76,1,"ひ"},{74,1,"び"},{72,2,"け　"},{71,1,"ぼ"},{72,1,"く"},{71,1,"ら"},{67,1,"の　"},
            {69,1,"あ"},{72,1,"い"},{76,1,"こ"},{74,1,"と"},{72,3,"ば"},{0,1,0}}},
    {true, {{69,1,"く"},{72,1,"も"},{77,1,"を　"},{76,1,"こ"},{74,1,"え"},{72,1,"て　"},{69,1,"に"},
            {72,1,"じ"},
            {74,1,"を　"},{76,1,"こ"},{74,1,"え"},{71,4,"て"},{0,1,0}}},
    {true, {{69,1,"あ"},{72,1,"し"},{77,1,"た"},{76,1,"へ　"},{74,1,"と"},{72,1,"ど"},{74,2,"け　"},
            {76,1,"こ"},{74,1,"の　"},{72,1,"メ"},{74,1,"ロ"},{72,4,"ディー"}}},
    {false, {{69,1,0},{72,1,0},{77,2,0},{76,1,0},{74,1,0},{71,2,0},{72,8,0}}},
};
// clang-format on

// The chord of each half bar.
const char* const kChords[kBars * 2] = {"C", "C", "G", "G", "C",  "C",  "Am", "Am", "F", "F",
                                        "G", "G", "C", "C", "Am", "Am", "F",  "G",  "C", "C",
                                        "F", "F", "G", "G", "Em", "Em", "Am", "Am", "F", "F",
                                        "G", "G", "F", "G", "C",  "C",  "F",  "G",  "C", "C"};

struct Chord {
    const char* name;
    int bass;      // root, low
    int voice[3];  // piano voicing around middle C
};
const Chord kChordTable[] = {
    {"C", 36, {60, 64, 67}}, {"Am", 45, {57, 60, 64}}, {"F", 41, {57, 60, 65}},
    {"G", 43, {59, 62, 67}}, {"Em", 40, {55, 59, 64}},
};

const Chord& chord(const std::string& name) {
    for (const Chord& c : kChordTable)
        if (name == c.name) return c;
    throw std::runtime_error("no chord " + name);
}

// --- Standard MIDI File ---------------------------------------------------

struct Event {
    int tick;
    int order;  // at one tick: meta and controls, then note-offs, then note-ons
    std::string bytes;
};

class Track {
public:
    void add(int tick, int order, std::string bytes) {
        m_events.push_back({tick, order, std::move(bytes)});
    }
    void meta(int tick, int type, const std::string& data) {
        std::string b = {'\xFF', static_cast<char>(type)};
        b += varLen(static_cast<std::uint32_t>(data.size())) + data;
        add(tick, 0, b);
    }
    void control(int tick, int channel, int number, int value) {
        add(tick, 0,
            {static_cast<char>(0xB0 | channel), static_cast<char>(number),
             static_cast<char>(value)});
    }
    void program(int channel, int program) {
        add(0, 0, {static_cast<char>(0xC0 | channel), static_cast<char>(program)});
    }
    void note(int tick, int length, int channel, int key, int velocity) {
        add(tick, 2,
            {static_cast<char>(0x90 | channel), static_cast<char>(key),
             static_cast<char>(velocity)});
        add(tick + length, 1,
            {static_cast<char>(0x80 | channel), static_cast<char>(key), static_cast<char>(64)});
    }

    std::string chunk() {
        meta(kEndTick, 0x2F, "");
        std::stable_sort(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::string body;
        int last = 0;
        for (const Event& e : m_events) {
            body += varLen(static_cast<std::uint32_t>(e.tick - last)) + e.bytes;
            last = e.tick;
        }
        return "MTrk" + be(body.size(), 4) + body;
    }

    static std::string be(std::uint64_t v, int bytes) {
        std::string s;
        for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    }

private:
    static std::string varLen(std::uint32_t v) {
        std::string s(1, static_cast<char>(v & 0x7F));
        while (v >>= 7) s.insert(s.begin(), static_cast<char>(0x80 | (v & 0x7F)));
        return s;
    }

    std::vector<Event> m_events;
};

// A sung syllable at its tick.
struct Syllable {
    int line;
    int tick;
    int endTick;  // where its note stops sounding
    std::string text;
    int pitch;  // MIDI key
};

Track conductorTrack() {
    Track t;
    t.meta(0, 0x03, "あさのうた");
    t.meta(0, 0x58, std::string{4, 2, 24, 8});  // 4/4
    for (const TempoMark& m : kTempi)
        t.meta(m.bar * kBar, 0x51, Track::be(static_cast<std::uint32_t>(60000000 / m.bpm), 3));
    return t;
}

Track leadTrack(std::vector<Syllable>& sung) {
    Track t;
    t.program(kLeadChannel, 73);  // flute
    t.control(0, kLeadChannel, 7, 110);
    t.control(0, kLeadChannel, 91, 50);
    int tick = 0, line = 0;
    for (const Phrase& p : kMelody) {
        for (const Note& n : p.notes) {
            const int length = n.eighths * kEighth;
            // A little air between notes, so that repeated keys are heard twice.
            const int sounding = length - kEighth / 6;
            if (n.pitch) {
                const bool onBeat = tick % kDivision == 0;
                t.note(tick, sounding, kLeadChannel, n.pitch, onBeat ? 100 : 88);
            }
            if (p.sung && n.syllable)
                sung.push_back({line, tick, tick + sounding, n.syllable, n.pitch});
            tick += length;
        }
        if (p.sung) ++line;
    }
    return t;
}

Track pianoAndBassTrack(int channel) {
    Track t;
    const bool bass = channel == kBassChannel;
    t.program(channel, bass ? 33 : 4);  // fingered bass, electric piano
    t.control(0, channel, 7, bass ? 100 : 78);
    t.control(0, channel, 10, bass ? 64 : 48);
    t.control(0, channel, 91, 40);
    for (int half = 0; half < kBars * 2; ++half) {
        const Chord& c = chord(kChords[half]);
        const int start = half * (kBar / 2);
        if (half >= (kBars - 1) * 2) {  // the final chord, held
            if (half % 2) continue;
            if (bass) {
                t.note(start, kBar, channel, c.bass, 100);
            } else {
                for (int key : c.voice) t.note(start, kBar, channel, key, 80);
                t.note(start, kBar, channel, c.voice[0] + 12, 80);
            }
            continue;
        }
        if (bass) {
            t.note(start, kDivision - 40, channel, c.bass, 100);
            t.note(start + kDivision, kEighth - 20, channel, c.bass + 7, 85);
            t.note(start + kDivision + kEighth, kEighth - 20, channel, c.bass + 12, 80);
        } else {
            for (int beat = 0; beat < 2; ++beat)
                for (int key : c.voice)
                    t.note(start + beat * kDivision, kDivision - 60, channel, key,
                           beat == 0 ? 72 : 56);
        }
    }
    return t;
}

Track drumTrack() {
    constexpr int kKick = 36, kSnare = 38, kHat = 42, kCrash = 49;
    Track t;
    t.control(0, kDrumChannel, 7, 90);
    for (int bar = 0; bar < kBars; ++bar) {
        const int start = bar * kBar;
        if (bar == 0 || bar == 10 || bar == kBars - 1)
            t.note(start, kDivision, kDrumChannel, kCrash, 80);
        if (bar == kBars - 1) {
            t.note(start, kDivision, kDrumChannel, kKick, 90);
            continue;
        }
        for (int e = 0; e < 8; ++e)
            t.note(start + e * kEighth, kEighth / 2, kDrumChannel, kHat, e % 2 ? 34 : 50);
        t.note(start, kEighth, kDrumChannel, kKick, 88);
        t.note(start + 2 * kDivision, kEighth, kDrumChannel, kKick, 80);
        if (bar >= 10) t.note(start + 2 * kDivision + kEighth, kEighth, kDrumChannel, kKick, 64);
        t.note(start + kDivision, kEighth, kDrumChannel, kSnare, 62);
        t.note(start + 3 * kDivision, kEighth, kDrumChannel, kSnare, 62);
    }
    return t;
}

// The .kar convention: a "Words" track of text events, "@" header texts
// first, "\\" before the first syllable of a verse, "/" before that of any
// other line. The texts are Shift-JIS, as Japanese karaoke files have them.
Track karaokeWordsTrack(const std::vector<Syllable>& sung) {
    Track t;
    t.meta(0, 0x03, "Words");
    for (const char* header : {"@KMIDI KARAOKE FILE", "@V0100", "@LJPN"}) t.meta(0, 0x01, header);
    t.meta(0, 0x01, "@T" + orba::utf8ToSjis("あさのうた"));
    t.meta(0, 0x01, "@T" + orba::utf8ToSjis("ORBA KARAOKE PLAYER 開発者"));
    int line = -1;
    for (const Syllable& s : sung) {
        std::string mark;
        if (s.line != line) mark = s.line == 0 || s.line == 4 ? "\\" : "/";
        line = s.line;
        t.meta(s.tick, 0x01, mark + orba::utf8ToSjis(s.text));
    }
    return t;
}

std::string midiFile(std::vector<Syllable>& sung, bool karaoke = false) {
    std::vector<Track> tracks;
    tracks.push_back(conductorTrack());
    tracks.push_back(leadTrack(sung));
    tracks.push_back(pianoAndBassTrack(kPianoChannel));
    tracks.push_back(pianoAndBassTrack(kBassChannel));
    tracks.push_back(drumTrack());
    if (karaoke) tracks.push_back(karaokeWordsTrack(sung));
    std::string smf = "MThd" + Track::be(6, 4) + Track::be(1, 2) + Track::be(tracks.size(), 2) +
                      Track::be(kDivision, 2);
    for (Track& t : tracks) smf += t.chunk();
    return smf;
}

// --- Lyric files ----------------------------------------------------------

const char* const kTitle = "あさのうた";
const char* const kCredit = "作詞・作曲: ORBA KARAOKE PLAYER 開発者";
constexpr int kColouredLine = 4;  // the first line of the chorus
const char* const kLineColour = "[#FFD040]";

// Sung syllables grouped per line, with their times in milliseconds as the
// player's tempo map computes them from the file just written.
struct TimedSyllable {
    int ms;
    int endMs;
    std::string text;
    int pitch;
};
using TimedLines = std::vector<std::vector<TimedSyllable>>;

TimedLines timedLines(const std::vector<Syllable>& sung, const orba::MidiTempoMap& map) {
    TimedLines lines;
    for (const Syllable& s : sung) {
        if (static_cast<int>(lines.size()) <= s.line) lines.resize(s.line + 1);
        lines[s.line].push_back({static_cast<int>(map.msAtTick(s.tick)),
                                 static_cast<int>(map.msAtTick(s.endTick)), s.text, s.pitch});
    }
    return lines;
}

// Each syllable opens its own segment; a last tag closes the line where its
// last note stops, so the wipe ends with the voice.
std::string karaokeLine(const std::vector<TimedSyllable>& line) {
    std::string out;
    for (const TimedSyllable& s : line) out += orba::formatTimeValue(s.ms) + s.text;
    return out + orba::formatTimeValue(line.back().endMs);
}

// Waits from the line's written start time, so that rounding never adds up:
// \wN where the wait is an exact multiple of 60 ms, else \_w[n].
std::string ukagakaLine(const std::vector<TimedSyllable>& line) {
    const std::string start = orba::formatTimeValue(line.front().ms);
    int running = orba::readTimeValue(start);
    std::string out = start + "\\0";
    for (std::size_t i = 0; i < line.size(); ++i) {
        const int next = i + 1 < line.size() ? line[i + 1].ms : line[i].endMs;
        const int wait = next - running;
        out += line[i].text;
        if (wait > 0 && wait % 60 == 0 && wait / 60 <= 9)
            out += "\\w" + std::to_string(wait / 60);
        else
            out += "\\_w[" + std::to_string(wait) + "]";
        running += wait;
    }
    return out;
}

std::string plainLine(const std::vector<TimedSyllable>& line) {
    std::string out;
    for (const TimedSyllable& s : line) out += s.text;
    return out;
}

void writeText(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::ofstream f(path, std::ios::binary);
    for (const std::string& l : lines) f << l << '\n';
    if (!f) throw std::runtime_error("cannot write " + path.string());
}

void writeLyrics(const std::filesystem::path& dir, const TimedLines& lines) {
    std::filesystem::create_directories(dir);
    const std::string header = std::string("// ") + kTitle + "　" + kCredit;
    std::vector<std::string> karaoke{header}, timeTag{header}, ukagaka{header}, plain;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string colour = i == kColouredLine ? kLineColour : "";
        karaoke.push_back(karaokeLine(lines[i]) + colour);
        timeTag.push_back(orba::formatTimeValue(lines[i].front().ms) + plainLine(lines[i]));
        ukagaka.push_back(ukagakaLine(lines[i]));
        plain.push_back(plainLine(lines[i]));
    }
    writeText(dir / "demo_t.txt", karaoke);
    writeText(dir / "timetag.txt", timeTag);
    writeText(dir / "ukagaka.txt", ukagaka);
    writeText(dir / "plain.txt", plain);
}

std::string lrcTime(int ms, char open, char close) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%02d:%02d.%02d%c", open, ms / 60000, ms / 1000 % 60,
                  ms / 10 % 100, close);
    return buf;
}

// An LRC file with word times: each syllable opens with its own time and a
// last one closes the line. The title line is shown in the intro and again
// in the outro, a line with two times.
void writeLrc(const std::filesystem::path& path, const TimedLines& lines, int songMs) {
    std::vector<std::string> out{std::string("[ti:") + kTitle + "]",
                                 "[ar:ORBA KARAOKE PLAYER 開発者]", "[by:orba_makedemo]",
                                 "[length:" + lrcTime(songMs, '[', ']').substr(1, 5) + "]"};
    const int outro = lines.back().back().endMs + 500;
    out.push_back(lrcTime(0, '[', ']') + lrcTime(outro, '[', ']') + "♪ " + kTitle + " ♪");
    for (const auto& line : lines) {
        std::string text = lrcTime(line.front().ms, '[', ']');
        for (const TimedSyllable& s : line) text += lrcTime(s.ms, '<', '>') + s.text;
        out.push_back(text + lrcTime(line.back().endMs, '<', '>'));
    }
    writeText(path, out);
}

// Subtitles with karaoke durations, in UTF-8 with a byte-order mark as
// subtitle editors write them: each syllable lasts until the next one starts,
// the last until its note stops; the verse wipes with \k, the chorus with
// \kf. The credit is a comment line, which the player passes over.
std::string assTime(int ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d.%02d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms / 10 % 100);
    return buf;
}

void writeAss(const std::filesystem::path& path, const TimedLines& lines) {
    std::vector<std::string> out{
        "\xEF\xBB\xBF[Script Info]",
        "; orba_makedemo",
        std::string("Title: ") + kTitle,
        "ScriptType: v4.00+",
        "PlayResX: 800",
        "PlayResY: 600",
        "",
        "[V4+ Styles]",
        "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
        "BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
        "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding",
        "Style: Verse,IPAexGothic,48,&H00FFFFFF,&H000080FF,&H00000000,&H80000000,0,0,0,0,100,100,"
        "0,0,1,3,0,2,20,20,40,1",
        "Style: Chorus,IPAexGothic,48,&H0040D0FF,&H000080FF,&H00000000,&H80000000,-1,0,0,0,100,"
        "100,0,0,1,3,0,2,20,20,40,1",
        "",
        "[Events]",
        "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text",
        std::string("Comment: 0,0:00:00.00,0:00:04.00,Verse,,0,0,0,,") + kCredit,
        "Dialogue: 0,0:00:00.00,0:00:04.00,Verse,,0,0,0,,{\\an8}♪ " + std::string(kTitle) + " ♪",
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool chorus = i >= kColouredLine;
        const auto& line = lines[i];
        std::string text;
        for (std::size_t k = 0; k < line.size(); ++k) {
            const int next = k + 1 < line.size() ? line[k + 1].ms : line[k].endMs;
            text += std::string(chorus ? "{\\kf" : "{\\k") +
                    std::to_string(next / 10 - line[k].ms / 10) + "}" + line[k].text;
        }
        out.push_back("Dialogue: 0," + assTime(line.front().ms) + "," + assTime(line.back().endMs) +
                      "," + (chorus ? "Chorus" : "Verse") + ",,0,0,0,karaoke," + text);
    }
    writeText(path, out);
}

// An UltraStar song of the demo: one BPM for the whole song (four times the
// verse's, so that a beat is 1/64 of a bar and the chorus's faster tempo
// lands within half a beat, 17 ms), beats from the first sung note, pitches
// from middle C, the last note of each chorus line golden.
void writeUltraStar(const std::filesystem::path& path, const TimedLines& lines) {
    constexpr int kBpm = 108 * 4;
    const int gap = lines.front().front().ms;
    const auto beat = [&](int ms) {
        return static_cast<int>(std::lround((ms - gap) * kBpm / 15000.0));
    };
    std::vector<std::string> out{std::string("#TITLE:") + kTitle,
                                 "#ARTIST:ORBA KARAOKE PLAYER 開発者",
                                 "#LANGUAGE:Japanese",
                                 "#MP3:asanouta.mp3",
                                 "#BPM:" + std::to_string(kBpm),
                                 "#GAP:" + std::to_string(gap)};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out.push_back("- " + std::to_string(beat(lines[i - 1].back().endMs)));
        for (std::size_t k = 0; k < lines[i].size(); ++k) {
            const TimedSyllable& s = lines[i][k];
            const bool golden = i >= kColouredLine && k + 1 == lines[i].size();
            const int start = beat(s.ms);
            out.push_back(std::string(golden ? "*" : ":") + " " + std::to_string(start) + " " +
                          std::to_string(std::max(1, beat(s.endMs) - start)) + " " +
                          std::to_string(s.pitch - 60) + " " + s.text);
        }
    }
    out.push_back("E");
    writeText(path, out);
}

int makeDemo(const std::filesystem::path& outDir) {
    std::vector<Syllable> sung;
    const std::string smf = midiFile(sung);
    const std::optional<orba::MidiTempoMap> map = orba::parseMidiTempoMap(smf);
    if (!map) throw std::runtime_error("the written MIDI file does not read back");
    std::ofstream(outDir / "demo.mid", std::ios::binary) << smf;
    writeLyrics(outDir / "lyrics-utf8", timedLines(sung, *map));
    std::filesystem::create_directories(outDir / "examples");
    writeLrc(outDir / "examples" / "asanouta.lrc", timedLines(sung, *map), map->lengthMs());
    writeAss(outDir / "examples" / "asanouta-ass.ass", timedLines(sung, *map));
    writeUltraStar(outDir / "examples" / "asanouta-ultrastar.txt", timedLines(sung, *map));
    std::vector<Syllable> again;
    std::ofstream(outDir / "examples" / "karaoke.kar", std::ios::binary) << midiFile(again, true);
    std::printf("demo.mid: %d ms, %u ticks per quarter\n", map->lengthMs(), map->division);
    for (const orba::MidiTempoChange& c : map->tempoChanges)
        std::printf("  tick %6u  %7.0f ms  %.2f BPM\n", c.tick, map->msAtTick(c.tick),
                    60e6 / c.microsPerQuarter);
    return 0;
}

// --- Rendering ------------------------------------------------------------

// The same synthesizer settings as the player's MIDI path, and the same
// length: the song ends with the tempo map's last event. The recording is
// then brought to a peak of -1 dBFS, since the player's gain leaves room for
// busier files than this one.
int renderWav(const std::string& midPath, const std::string& wavPath) {
    std::ifstream in(midPath, std::ios::binary);
    const std::string smf{std::istreambuf_iterator<char>(in), {}};
    const std::optional<orba::MidiTempoMap> map = orba::parseMidiTempoMap(smf);
    const std::string soundFont = orba::findSoundFont();
    if (!map || soundFont.empty()) {
        std::fprintf(stderr, "orba_makedemo: %s\n",
                     map ? "no General MIDI soundfont installed" : "not a MIDI file");
        return 1;
    }
    constexpr int kRate = orba::MidiSource::kSampleRate;
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", kRate);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_player_t* player = new_fluid_player(synth);
    const bool ready = fluid_synth_sfload(synth, soundFont.c_str(), 1) != FLUID_FAILED &&
                       fluid_player_add_mem(player, smf.data(), smf.size()) == FLUID_OK &&
                       fluid_player_play(player) == FLUID_OK;

    const auto frames =
        static_cast<std::uint64_t>(std::llround(map->msAtTick(map->endTick) * kRate / 1000.0));
    std::vector<float> samples(ready ? frames * 2 : 0);
    for (std::uint64_t done = 0; done < frames && ready;) {
        const int n = static_cast<int>(std::min<std::uint64_t>(1024, frames - done));
        float* out = samples.data() + done * 2;
        fluid_synth_write_float(synth, n, out, 0, 2, out, 1, 2);
        done += n;
    }
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    if (!ready) {
        std::fprintf(stderr, "orba_makedemo: FluidSynth cannot play %s\n", midPath.c_str());
        return 1;
    }
    auto le = [](std::uint32_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
        return s;
    };
    float peak = 0;
    for (float v : samples) peak = std::max(peak, std::fabs(v));
    const float scale = peak > 0 ? 0.891f * 32767 / peak : 0;
    std::string pcm;
    for (float v : samples) {
        const auto q = static_cast<std::int16_t>(std::lround(v * scale));
        pcm += static_cast<char>(q & 0xFF);
        pcm += static_cast<char>((q >> 8) & 0xFF);
    }
    const auto size = static_cast<std::uint32_t>(pcm.size());
    std::ofstream out(wavPath, std::ios::binary);
    out << "RIFF" << le(36 + size, 4) << "WAVEfmt " << le(16, 4) << le(1, 2) << le(2, 2)
        << le(kRate, 4) << le(kRate * 4, 4) << le(4, 2) << le(16, 2) << "data" << le(size, 4)
        << pcm;
    std::printf("%s: %llu samples, %.0f ms\n", wavPath.c_str(),
                static_cast<unsigned long long>(frames), frames * 1000.0 / kRate);
    return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 4 && std::string(argv[1]) == "--render") return renderWav(argv[2], argv[3]);
        if (argc == 2 && argv[1][0] != '-') return makeDemo(argv[1]);
        std::fprintf(stderr, "usage: orba_makedemo OUTDIR | orba_makedemo --render MID WAV\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orba_makedemo: %s\n", e.what());
        return 1;
    }
}
