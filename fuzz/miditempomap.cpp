#include "platform/miditempomap.h"

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/check.h"
#include "fuzz/targets.h"

namespace orba::fuzz {

namespace {

std::string le32(std::size_t v) {
    std::string s;
    for (int shift : {0, 8, 16, 24}) s += static_cast<char>(v >> shift);
    return s;
}

void checkFile(std::string_view file) {
    looksLikeMidi(file.substr(0, 12));
    std::string_view smf = standardMidiData(file);
    ORBA_FUZZ_CHECK(smf.empty() || (smf.data() >= file.data() &&
                                    smf.data() + smf.size() <= file.data() + file.size()));
    std::optional<MidiTempoMap> map = parseMidiTempoMap(file);
    if (!map) return;
    ORBA_FUZZ_CHECK(map->division > 0 && map->division < 0x8000);
    ORBA_FUZZ_CHECK(std::is_sorted(
        map->tempoChanges.begin(), map->tempoChanges.end(),
        [](const MidiTempoChange& a, const MidiTempoChange& b) { return a.tick < b.tick; }));
    for (const MidiTempoChange& c : map->tempoChanges) ORBA_FUZZ_CHECK(c.microsPerQuarter > 0);
    const int length = map->lengthMs();
    ORBA_FUZZ_CHECK(length >= 0);
    // A seek to a time lands on a tick no later than the end plus rounding.
    ORBA_FUZZ_CHECK(map->tickAtMs(length) <= std::uint64_t{map->endTick} + 1);
    map->tickAtMs(-1.0);

    // Reading the notes too changes nothing else; every note is a real key
    // on a real channel, in tick order, within the song.
    std::vector<MidiNoteEvent> notes;
    const std::optional<MidiTempoMap> withNotes = parseMidiTempoMap(file, nullptr, &notes);
    ORBA_FUZZ_CHECK(withNotes && withNotes->endTick == map->endTick &&
                    withNotes->tempoChanges.size() == map->tempoChanges.size());
    ORBA_FUZZ_CHECK(std::is_sorted(
        notes.begin(), notes.end(),
        [](const MidiNoteEvent& a, const MidiNoteEvent& b) { return a.tick < b.tick; }));
    for (const MidiNoteEvent& n : notes)
        ORBA_FUZZ_CHECK(n.channel < 16 && n.key < 128 && n.tick <= map->endTick);
}

}  // namespace

void midiTempoMap(std::string_view bytes) {
    checkFile(bytes);
    // The same bytes as the data chunk of an RMID file, after an odd-length
    // chunk that the walk has to step over.
    std::string riff = "RIFF" + le32(bytes.size() + 22) + "RMID" + "LIST" + le32(1) + "x" + '\0' +
                       "data" + le32(bytes.size());
    riff += bytes;
    checkFile(riff);
}

}  // namespace orba::fuzz
