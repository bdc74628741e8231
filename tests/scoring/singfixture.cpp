// Writes what the scoring's end-to-end test sings: the short MIDI song and
// its melody sung as a voice, into the folder given; with an UltraStar song
// named too, that song's notes sung as a voice beside them.
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
    if (argc == 3) {
        const std::vector<SungTone> notes = ultraStarMelody(argv[2]);
        if (notes.empty()) return 1;
        writeVoiceWav(folder + "/ultrastar-voice.wav",
                      singNotes(notes, notes.back().endMs + 1500, VoiceStyle::Voice));
    }
    return 0;
}
