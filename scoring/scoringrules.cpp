#include "scoring/scoringrules.h"

#include <algorithm>
#include <cmath>

namespace orba {

namespace {

constexpr int kDrumChannel = 10;
constexpr int kOnsetWindowMs = 80;

}  // namespace

double midiKeyOfHz(double hz) {
    return 69.0 + 12.0 * std::log2(hz / 440.0);
}

double hzOfMidiKey(double key) {
    return 440.0 * std::exp2((key - 69.0) / 12.0);
}

double foldedCents(double sungKey, double key) {
    double cents = std::fmod((sungKey - key) * 100.0, 1200.0);
    if (cents > 600.0) cents -= 1200.0;
    if (cents < -600.0) cents += 1200.0;
    return cents;
}

double pitchCredit(double foldedCentsError) {
    const double e = std::abs(foldedCentsError);
    if (e <= kFullCreditCents) return 1.0;
    if (e >= kNoCreditCents) return 0.0;
    return (kNoCreditCents - e) / (kNoCreditCents - kFullCreditCents);
}

const char* lineRating(double share) {
    if (share >= 0.9) return "Perfect";
    if (share >= 0.75) return "Great";
    if (share >= 0.55) return "Good";
    if (share >= 0.35) return "OK";
    return "Miss";
}

int pointsFor(double earned, double total) {
    if (total <= 0) return 0;
    return static_cast<int>(std::lround(kFullScore * std::clamp(earned / total, 0.0, 1.0)));
}

double noteShare(double creditMs, int lengthMs) {
    if (lengthMs <= 0) return 0;
    return std::clamp(creditMs / (lengthMs * kNoteShareForFull), 0.0, 1.0);
}

MelodyChoice chooseMelodyChannel(const std::vector<ChannelOnsets>& channels,
                                 const std::vector<int>& syllablesMs, int muteChannel) {
    if (muteChannel > 0)
        for (const ChannelOnsets& c : channels)
            if (c.channel == muteChannel && !c.onsetsMs.empty()) return {muteChannel, true};
    MelodyChoice best;
    std::size_t bestHits = 0;
    for (const ChannelOnsets& c : channels) {
        if (c.channel == kDrumChannel || c.onsetsMs.empty()) continue;
        std::vector<int> onsets = c.onsetsMs;
        std::sort(onsets.begin(), onsets.end());
        std::size_t hits = 0;
        for (int s : syllablesMs) {
            const auto near = std::lower_bound(onsets.begin(), onsets.end(), s - kOnsetWindowMs);
            if (near != onsets.end() && *near <= s + kOnsetWindowMs) ++hits;
        }
        if (hits > bestHits || (hits == bestHits && hits > 0 && c.channel < best.channel)) {
            bestHits = hits;
            best = {c.channel, false};
        }
    }
    if (syllablesMs.empty() || bestHits * 3 < syllablesMs.size()) return {};
    return best;
}

}  // namespace orba
