#include "scoring/scorer.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "scoring/scoringrules.h"

namespace orba {

namespace {

// The lane shows a line at a time; a little more than the longest line.
constexpr std::size_t kTraceLength = 3000;

}  // namespace

Scorer::Scorer(MelodyReference reference, int fromMs) : m_ref(std::move(reference)) {
    for (const RefNote& n : m_ref.notes)
        if (n.startMs >= fromMs && n.endMs > n.startMs) m_notes.push_back(n);
    std::stable_sort(m_notes.begin(), m_notes.end(),
                     [](const RefNote& a, const RefNote& b) { return a.startMs < b.startMs; });
    m_creditMs.assign(m_notes.size(), 0.0);
    std::map<int, LineTally> lines;
    for (const RefNote& n : m_notes) {
        LineTally& t = lines[n.line];
        t.line = n.line;
        t.endMs = std::max(t.endMs, n.endMs);
        t.weight += n.weight * (n.endMs - n.startMs);
        m_totalWeight += n.weight * (n.endMs - n.startMs);
    }
    for (auto& [line, tally] : lines)
        if (tally.weight > 0) m_lines.push_back(tally);
    std::stable_sort(m_lines.begin(), m_lines.end(),
                     [](const LineTally& a, const LineTally& b) { return a.endMs < b.endMs; });
}

int Scorer::noteAt(int ms) const {
    const auto after = std::upper_bound(m_notes.begin(), m_notes.end(), ms,
                                        [](int t, const RefNote& n) { return t < n.startMs; });
    if (after == m_notes.begin()) return -1;
    const auto i = static_cast<int>(after - m_notes.begin()) - 1;
    return ms < m_notes[static_cast<std::size_t>(i)].endMs ? i : -1;
}

void Scorer::add(const PitchSample& s, int keyShift) {
    const int i = noteAt(s.ms);
    float traceKey = static_cast<float>(kNoKey);
    float credit = i >= 0 ? 0.0f : -1.0f;
    if (s.hz > 0) {
        const double sung = midiKeyOfHz(s.hz);
        traceKey = static_cast<float>(sung);
        if (i >= 0) {
            const RefNote& n = m_notes[static_cast<std::size_t>(i)];
            if (n.key == kNoKey) {
                credit = 1;
            } else {
                const int key = n.key + keyShift;
                const double cents = foldedCents(sung, key);
                credit = static_cast<float>(pitchCredit(cents));
                traceKey = static_cast<float>(key + cents / 100.0);
            }
            m_creditMs[static_cast<std::size_t>(i)] += credit * s.lengthMs;
        }
    }
    if (s.hz > 0) {
        m_trace.push_back({s.ms, traceKey, credit});
        if (m_trace.size() > kTraceLength) m_trace.pop_front();
    }
}

void Scorer::rate(LineTally& line) {
    double earned = 0;
    for (std::size_t i = 0; i < m_notes.size(); ++i) {
        const RefNote& n = m_notes[i];
        if (n.line != line.line) continue;
        earned += n.weight * (n.endMs - n.startMs) * noteShare(m_creditMs[i], n.endMs - n.startMs);
    }
    line.rated = true;
    const int before = pointsFor(m_earned, m_totalWeight);
    m_earned += earned;
    m_total = pointsFor(m_earned, m_totalWeight);
    const double share = line.weight > 0 ? earned / line.weight : 0;
    m_results.push_back({line.line, share, lineRating(share), m_total - before, line.endMs});
}

void Scorer::finishUpTo(int ms) {
    for (LineTally& line : m_lines)
        if (!line.rated && line.endMs < ms) rate(line);
}

void Scorer::finishAll() {
    for (LineTally& line : m_lines)
        if (!line.rated) rate(line);
}

}  // namespace orba
