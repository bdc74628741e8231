// Scores a singer against a melody reference as the pitch samples come: each
// sample falls on the note sung at its time and earns by its folded error;
// a line is rated once its last note is over, and its points are its share
// of the song's 10,000. Lines come and go in the order their last notes end.
#pragma once

#include <deque>
#include <vector>

#include "scoring/melody.h"

namespace orba {

// One pitch of the voice: the song time it belongs to (the microphone's
// delay already taken off), its frequency (0: no voice) and how much time
// it stands for.
struct PitchSample {
    int ms = 0;
    float hz = 0;
    float lengthMs = 0;
};

struct LineResult {
    int line = 0;      // of the lyric lines
    double share = 0;  // of its notes sung well, 0..1
    const char* rating = "";
    int points = 0;
    int endMs = 0;  // when its last note ended
};

// A sung pitch for the note lane: its key moved by octaves to lie nearest
// the note it was sung on; `credit` 0..1, or -1 between the notes.
struct TracePoint {
    int ms = 0;
    float key = 0;
    float credit = 0;
};

class Scorer {
public:
    // Notes that begin before `fromMs` are not scored: scoring switched on
    // in the middle of a song counts from there.
    explicit Scorer(MelodyReference reference, int fromMs = 0);

    const MelodyReference& reference() const { return m_ref; }
    // `keyShift`: the singer's key, which moves the music and so the notes.
    void add(const PitchSample& sample, int keyShift);
    // Rates the lines whose last note ended before `ms`.
    void finishUpTo(int ms);
    void finishAll();

    // Rated lines, in the order they were rated.
    const std::vector<LineResult>& results() const { return m_results; }
    int total() const { return m_total; }
    // Lines there are to sing, rated or not.
    int lineCount() const { return static_cast<int>(m_lines.size()); }
    bool finished() const { return m_results.size() == m_lines.size(); }
    // The notes still to come and those sung, for the lane.
    const std::vector<RefNote>& notes() const { return m_notes; }
    const std::deque<TracePoint>& trace() const { return m_trace; }

private:
    struct LineTally {
        int line = 0;
        int endMs = 0;
        double weight = 0;
        bool rated = false;
    };
    int noteAt(int ms) const;
    void rate(LineTally& line);

    MelodyReference m_ref;
    std::vector<RefNote> m_notes;
    std::vector<double> m_creditMs;  // per note
    std::vector<LineTally> m_lines;  // by end time
    std::vector<LineResult> m_results;
    double m_totalWeight = 0;
    double m_earned = 0;
    int m_total = 0;
    std::deque<TracePoint> m_trace;
};

}  // namespace orba
