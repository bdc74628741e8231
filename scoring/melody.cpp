#include "scoring/melody.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "lyrics/timevalue.h"
#include "platform/miditempomap.h"
#include "scoring/scoringrules.h"

namespace orba {

namespace {

constexpr int kLineMarginMs = 250;

bool isTimeTagAt(std::string_view s, std::size_t i) {
    if (i + 10 > s.size() || s[i] != '[' || s[i + 9] != ']' || s[i + 3] != ':' || s[i + 6] != ':')
        return false;
    for (std::size_t k : {1, 2, 4, 5, 7, 8})
        if (!std::isdigit(static_cast<unsigned char>(s[i + k]))) return false;
    return true;
}

// The line of a time: the last line whose first syllable begins by then.
int lineAt(const std::vector<LyricSyllable>& syllables, int ms) {
    int line = syllables.empty() ? 0 : syllables.front().line;
    for (const LyricSyllable& s : syllables) {
        if (s.startMs > ms + kLineMarginMs) break;
        line = s.line;
    }
    return line;
}

// Each line's time, from its first syllable to its last.
using LineSpans = std::map<int, std::pair<int, int>>;

LineSpans lineSpans(const std::vector<LyricSyllable>& syllables) {
    LineSpans spans;
    for (const LyricSyllable& s : syllables) {
        auto [it, fresh] = spans.try_emplace(s.line, s.startMs, s.endMs);
        if (!fresh) {
            it->second.first = std::min(it->second.first, s.startMs);
            it->second.second = std::max(it->second.second, s.endMs);
        }
    }
    return spans;
}

// A note is sung when it meets a line's time.
bool withinSungLines(const LineSpans& spans, int startMs, int endMs) {
    for (const auto& [line, span] : spans)
        if (startMs < span.second + kLineMarginMs && endMs > span.first - kLineMarginMs)
            return true;
    return false;
}

}  // namespace

std::vector<LyricSyllable> lyricSyllables(const std::vector<std::string>& lines) {
    std::vector<LyricSyllable> out;
    // A syllable waits for the next time to know where it ends.
    bool open = false;
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const std::string_view s = lines[l];
        std::vector<std::size_t> tags;
        for (std::size_t i = 0; i < s.size(); ++i)
            if (isTimeTagAt(s, i)) tags.push_back(i);
        if (tags.size() < 2) {
            // A line timed as a whole (a title, a line of an LRC file) has
            // no syllables to sing in time; it ends the one before it.
            if (open && !tags.empty()) {
                out.back().endMs =
                    std::max(out.back().startMs, readTimeValue(s.substr(tags.front(), 10)));
                open = false;
            }
            continue;
        }
        std::size_t i = 0;
        while (i < s.size()) {
            if (!isTimeTagAt(s, i)) {
                ++i;
                continue;
            }
            const int ms = readTimeValue(s.substr(i, 10));
            if (open) {
                out.back().endMs = std::max(out.back().startMs, ms);
                open = false;
            }
            i += 10;
            std::size_t textEnd = i;
            while (textEnd < s.size() && !isTimeTagAt(s, textEnd)) ++textEnd;
            const std::string_view text = s.substr(i, textEnd - i);
            const bool sung = std::any_of(text.begin(), text.end(), [](char c) {
                return !std::isspace(static_cast<unsigned char>(c));
            });
            if (sung) {
                out.push_back({ms, ms, static_cast<int>(l)});
                open = true;
            }
            i = textEnd;
        }
    }
    // A last syllable with nothing after it lasts a moment.
    if (open) out.back().endMs = out.back().startMs + 500;
    std::stable_sort(out.begin(), out.end(), [](const LyricSyllable& a, const LyricSyllable& b) {
        return a.startMs < b.startMs;
    });
    return out;
}

MelodyReference referenceFromSungNotes(const std::vector<SungNote>& notes,
                                       const std::vector<LyricSyllable>& syllables) {
    MelodyReference r;
    r.kind = ReferenceKind::UltraStarNotes;
    for (const SungNote& n : notes) {
        if (n.singer == 2 || n.kind == NoteKind::Freestyle || n.lengthMs <= 0) continue;
        RefNote ref{n.startMs, n.startMs + n.lengthMs, 60 + n.pitch, 1.0, n.line};
        if (n.kind == NoteKind::Rap || n.kind == NoteKind::RapGolden) ref.key = kNoKey;
        if (n.kind == NoteKind::Golden || n.kind == NoteKind::RapGolden) ref.weight = 2.0;
        if (!r.notes.empty() && ref.startMs < r.notes.back().startMs)
            return timingReference(syllables, "the song's notes are out of order");
        r.notes.push_back(ref);
    }
    if (r.notes.empty()) return timingReference(syllables, "the song has no notes to sing");
    return r;
}

MelodyReference referenceFromMidi(std::string_view fileBytes,
                                  const std::vector<LyricSyllable>& syllables, int muteChannel) {
    std::vector<MidiNoteEvent> events;
    const std::optional<MidiTempoMap> map = parseMidiTempoMap(fileBytes, nullptr, &events);
    if (!map) return timingReference(syllables, "the MIDI file cannot be read");

    // Each channel's notes as spans, from a key's start to its end.
    std::map<int, std::vector<RefNote>> byChannel;
    std::map<std::pair<int, int>, std::uint32_t> sounding;
    for (const MidiNoteEvent& e : events) {
        const std::pair<int, int> id{e.channel + 1, e.key};
        if (e.on) {
            sounding[id] = e.tick;
            continue;
        }
        const auto it = sounding.find(id);
        if (it == sounding.end()) continue;
        const int start = static_cast<int>(map->msAtTick(it->second));
        const int end = static_cast<int>(map->msAtTick(e.tick));
        sounding.erase(it);
        if (end > start) byChannel[id.first].push_back({start, end, e.key, 1.0, 0});
    }
    std::vector<ChannelOnsets> onsets;
    for (auto& [channel, notes] : byChannel) {
        std::sort(notes.begin(), notes.end(),
                  [](const RefNote& a, const RefNote& b) { return a.startMs < b.startMs; });
        ChannelOnsets c{channel, {}};
        for (const RefNote& n : notes) c.onsetsMs.push_back(n.startMs);
        onsets.push_back(std::move(c));
    }
    std::vector<int> syllableTimes;
    for (const LyricSyllable& s : syllables) syllableTimes.push_back(s.startMs);
    const MelodyChoice choice = chooseMelodyChannel(onsets, syllableTimes, muteChannel);
    if (choice.channel == 0)
        return timingReference(syllables, onsets.empty() ? "the MIDI file has no melodic notes"
                                                         : "no MIDI channel follows the lyrics");

    MelodyReference r;
    r.kind = ReferenceKind::MidiChannel;
    r.channel = choice.channel;
    r.channelByMute = choice.byMute;
    std::vector<RefNote>& notes = byChannel[choice.channel];
    const LineSpans spans = lineSpans(syllables);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        RefNote n = notes[i];
        // One voice sings one note: a chord's notes give way to the highest.
        if (!r.notes.empty() && r.notes.back().startMs == n.startMs) {
            if (n.key > r.notes.back().key) r.notes.back().key = n.key;
            continue;
        }
        if (!r.notes.empty() && r.notes.back().endMs > n.startMs) r.notes.back().endMs = n.startMs;
        if (!withinSungLines(spans, n.startMs, n.endMs)) continue;
        n.line = lineAt(syllables, n.startMs);
        r.notes.push_back(n);
    }
    if (r.notes.empty())
        return timingReference(syllables, "the melody has no notes where the lyrics are sung");
    return r;
}

MelodyReference timingReference(const std::vector<LyricSyllable>& syllables, std::string note) {
    MelodyReference r;
    r.note = std::move(note);
    if (syllables.empty()) {
        if (r.note.empty()) r.note = "the lyrics have no karaoke timing";
        return r;
    }
    r.kind = ReferenceKind::TimingOnly;
    for (const LyricSyllable& s : syllables)
        if (s.endMs > s.startMs) r.notes.push_back({s.startMs, s.endMs, kNoKey, 1.0, s.line});
    if (r.notes.empty()) r.kind = ReferenceKind::None;
    return r;
}

std::string referenceName(const MelodyReference& r) {
    switch (r.kind) {
        case ReferenceKind::UltraStarNotes:
            return "UltraStar notes";
        case ReferenceKind::MidiChannel:
            return "MIDI channel " + std::to_string(r.channel);
        case ReferenceKind::TimingOnly:
            return "timing only";
        case ReferenceKind::None:
            break;
    }
    return "none";
}

}  // namespace orba
