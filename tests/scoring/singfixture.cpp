// Writes what the scoring's end-to-end test sings into the folder given: a
// short MIDI song and a short UltraStar song ("us.txt", its music "us.mp3"
// left to the test), each with its melody sung as a voice; with an UltraStar
// song named too, that song's notes sung as a voice beside them.
#include <cstdio>
#include <fstream>
#include <string>

#include "lyrics/sources/ultrastarreader.h"
#include "tests/support/singsong.h"

namespace {

std::vector<orba::test::SungTone> ultraStarMelody(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::vector<orba::test::SungTone> notes;
    for (const orba::SungNote& n : orba::readUltraStar(lines, orba::TextEncoding::Utf8).notes)
        if (n.kind != orba::NoteKind::Freestyle)
            notes.push_back({n.startMs, n.startMs + n.lengthMs, 60 + n.pitch});
    return notes;
}

// Three lines of four notes at 300 bpm (a beat of 50 ms) from 1 s on.
constexpr int kUsGapMs = 1000;
constexpr int kUsBeatMs = 50;
constexpr int kUsPitches[12] = {0, 2, 4, 5, 7, 5, 4, 2, 4, 7, 9, 12};

std::string shortUltraStar() {
    std::string text = "#TITLE:short\n#ARTIST:tests\n#MP3:us.mp3\n#BPM:300\n#GAP:1000\n";
    const char* syllables[12] = {"do", "re", "mi", "fa", "so", "fa",
                                 "mi", "re", "mi", "so", "la", "do"};
    for (int i = 0; i < 12; ++i) {
        if (i % 4 == 0 && i) text += "- " + std::to_string((i / 4) * 50 - 5) + "\n";
        text += ": " + std::to_string((i / 4) * 50 + (i % 4) * 10) + " 8 " +
                std::to_string(kUsPitches[i]) + " " + syllables[i] + "\n";
    }
    return text + "E\n";
}

std::vector<orba::test::SungTone> shortUltraStarMelody() {
    std::vector<orba::test::SungTone> notes;
    for (int i = 0; i < 12; ++i) {
        const int start = kUsGapMs + ((i / 4) * 50 + (i % 4) * 10) * kUsBeatMs;
        notes.push_back({start, start + 8 * kUsBeatMs, 60 + kUsPitches[i]});
    }
    return notes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER [ULTRASTAR-SONG]\n", argv[0]);
        return 2;
    }
    using namespace orba::test;
    const std::string folder = argv[1];
    writeFile(folder + "/song.mid", singSongMidi());
    const std::vector<SungTone> melody = singSongMelody();
    writeVoiceWav(folder + "/voice.wav",
                  singNotes(melody, melody.back().endMs + 1500, VoiceStyle::Voice));
    writeFile(folder + "/us.txt", shortUltraStar());
    const std::vector<SungTone> us = shortUltraStarMelody();
    writeVoiceWav(folder + "/us-voice.wav",
                  singNotes(us, us.back().endMs + 1500, VoiceStyle::Voice));
    if (argc == 3) {
        const std::vector<SungTone> notes = ultraStarMelody(argv[2]);
        if (notes.empty()) return 1;
        writeVoiceWav(folder + "/ultrastar-voice.wav",
                      singNotes(notes, notes.back().endMs + 1500, VoiceStyle::Voice));
    }
    return 0;
}
