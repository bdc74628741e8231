// Singing scoring in the player: K switches it; a song load (or the switch)
// builds the melody reference from what the load found and opens the voice;
// every frame hands the voice's pitches to the scorer at the song's time,
// and the frame that ends the song rates what is left and shows the results
// screen. Nothing of it is drawn while scoring is off.
//
// A voice that cannot be opened, or one lost mid-song, leaves a status line
// and the song playing on unscored; the scorer goes with it.
#include <optional>

#include "platform/files.h"
#include "platform/miditempomap.h"
#include "playback/transport.h"
#include "player/player.h"
#include "player/scoringstate.h"
#include "scoring/melody.h"
#include "scoring/microphone.h"
#include "scoring/scorer.h"
#include "scoring/scorescreens.h"

namespace orba {

namespace {

constexpr int kRatingShownMs = 2500;
constexpr int kResultsShownMs = 12000;
// A line is rated this long after its last note, so the tracker's last
// estimates of it (half a window late) still count.
constexpr int kLineSettleMs = 150;
// The song's time going back this far means it starts again: a new score.
constexpr int kRestartJumpMs = 1000;

// What the song is sung against, from what its load found.
MelodyReference songReference(const PlayerState& st, const Settings& s) {
    const std::vector<LyricSyllable> syllables = lyricSyllables(st.lyricLines);
    if (!st.sungNotes.empty()) return referenceFromSungNotes(st.sungNotes, syllables);
    if (st.isMidi && s.useBgm)
        return referenceFromMidi(readFileStart(s.bgmFile, kMaxMidiBytes), syllables,
                                 st.singer.melodyMute);
    return timingReference(syllables, "the song has no melody to compare with");
}

// "MIDI channel 4 (follows the lyrics)", "timing only: why".
std::string referenceLabel(const MelodyReference& ref) {
    std::string label = referenceName(ref);
    if (ref.kind == ReferenceKind::MidiChannel)
        label += ref.channelByMute ? " (the muted melody)" : " (follows the lyrics)";
    if (!ref.note.empty()) label += ": " + ref.note;
    return label;
}

}  // namespace

const Scorer* Player::scorer() const {
    return m_scoring && (m_scoring->voice || m_scoring->voicePending) ? m_scoring->scorer.get()
                                                                      : nullptr;
}

std::string Player::scoringNote() const {
    return m_scoring ? m_scoring->note : std::string();
}

void Player::toggleScoring() {
    m_state.scoring = !m_state.scoring;
    m_scoring.reset();
    if (m_state.scoring)
        startScoring(m_state.songTime);
    else
        postStatus("Scoring : 0");
}

void Player::startScoring(int fromMs, bool voiceAtFirstFrame) {
    MelodyReference ref = songReference(m_state, m_settings);
    m_scoring = std::make_unique<Scoring>();
    m_scoring->note = ref.note;
    m_scoring->melodyMute = m_state.singer.melodyMute;
    if (ref.kind == ReferenceKind::None) {
        postStatus("Scoring : 1|nothing to score: " + ref.note);
        return;
    }
    if (voiceAtFirstFrame) {
        m_scoring->voicePending = true;
    } else {
        std::string why;
        m_scoring->voice = m_voiceFactory ? m_voiceFactory(why) : Microphone::open(why);
        if (!m_scoring->voice) {
            m_scoring->note = why;
            postStatus("Scoring : 1|" + why + "|the song plays unscored");
            return;
        }
    }
    const std::string label = referenceLabel(ref);
    m_scoring->scorer = std::make_unique<Scorer>(std::move(ref), fromMs);
    m_scoring->lastSongMs = fromMs;
    postStatus("Scoring : 1|" + label);
}

void Player::scoreFrame(bool songEnded) {
    if (!m_scoring || !m_scoring->scorer) return;
    Scoring& sc = *m_scoring;
    if (sc.voicePending) {
        sc.voicePending = false;
        std::string why;
        sc.voice = m_voiceFactory ? m_voiceFactory(why) : Microphone::open(why);
        if (!sc.voice) {
            sc.scorer.reset();
            sc.note = why;
            postStatus("Scoring : 1|" + why + "|the song plays unscored");
            return;
        }
    }
    if (!sc.voice) return;
    if (std::string lost = sc.voice->problem(); !lost.empty()) {
        sc.voice.reset();
        sc.scorer.reset();
        sc.note = lost;
        postStatus(lost + "|the song plays on unscored");
        return;
    }
    const int now = m_state.songTime;
    const int delay = m_scoreSettings.micDelayMs;
    if (m_state.isMidi && m_state.singer.melodyMute != sc.melodyMute) {
        // M names another channel: it is the melody from here on.
        sc.melodyMute = m_state.singer.melodyMute;
        MelodyReference ref = songReference(m_state, m_settings);
        if (ref.kind != ReferenceKind::None) {
            postStatus("Scoring : " + referenceLabel(ref));
            sc.scorer = std::make_unique<Scorer>(std::move(ref), now);
            sc.ratedShown = 0;
            sc.over = false;
        }
    }
    const std::vector<PitchSample> heard = sc.voice->take(now, delay);
    if (sc.over && now + kRestartJumpMs < sc.lastSongMs) {
        // The song plays again: a new score from its start.
        sc.scorer = std::make_unique<Scorer>(sc.scorer->reference(), 0);
        sc.ratedShown = 0;
        sc.over = false;
    }
    // While the song stands still (paused) the voice is not its singing.
    if (now != sc.lastSongMs && !sc.over)
        for (const PitchSample& p : heard) sc.scorer->add(p, m_state.singer.key);
    sc.lastSongMs = now;
    if (sc.over) return;
    sc.scorer->finishUpTo(now - delay - kLineSettleMs);
    // A device that stops a little short of the length it gave never ends
    // the song by the clock: every line sung and the music over is the end.
    const bool over = songEnded || (sc.scorer->finished() && m_settings.useBgm &&
                                    m_transport->mode() == kModeStopped);
    if (over) sc.scorer->finishAll();
    const std::vector<LineResult>& rated = sc.scorer->results();
    if (rated.size() > sc.ratedShown) {
        sc.ratedShown = rated.size();
        sc.rating = rated.back().rating;
        sc.ratingLeftMs = kRatingShownMs;
    }
    if (over) {
        sc.over = true;
        const std::optional<int> best =
            m_options.inspecting ? std::nullopt
                                 : m_host.recordScore(m_settings.bgmFile, sc.scorer->total());
        sc.results = resultsOf(*sc.scorer, best.value_or(-1));
        sc.resultsLeftMs = kResultsShownMs;
    }
}

void Player::drawScoring(Bitmap& back, int dt) {
    if (!m_scoring || !m_scoring->scorer || !m_scoring->voice) return;
    Scoring& sc = *m_scoring;
    const FrameValues& f = m_frame.values();
    if (sc.results && sc.resultsLeftMs > 0) {
        drawScoreResults(back, f, m_settings, *sc.results);
        sc.resultsLeftMs -= dt;
        return;
    }
    LaneView lane =
        laneViewAt(*sc.scorer, m_state.songTime - m_scoreSettings.micDelayMs, m_state.singer.key);
    if (sc.ratingLeftMs > 0) {
        lane.rating = sc.rating;
        sc.ratingLeftMs -= dt;
    }
    const MelodyReference& ref = sc.scorer->reference();
    if (m_state.debugMode || ref.kind == ReferenceKind::TimingOnly)
        lane.label = referenceLabel(ref);
    drawNoteLane(back, f, m_settings, lane);
}

}  // namespace orba
