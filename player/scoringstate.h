// What the player keeps while a song is scored; only the player's own files
// include it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "player/player.h"
#include "scoring/scorer.h"
#include "scoring/scorescreens.h"
#include "scoring/voiceinput.h"

namespace orba {

struct Player::Scoring {
    std::unique_ptr<Scorer> scorer;
    std::unique_ptr<VoiceInput> voice;
    bool voicePending = false;  // opened by the song's first frame
    std::string note;           // why timing only, or why not scored
    int melodyMute = 0;         // the channel M named when the reference was made
    int lastSongMs = -1;
    std::size_t ratedShown = 0;
    std::string rating;
    int ratingLeftMs = 0;
    bool over = false;  // the song was sung to its end; the scorer is final
    // The results screen, shown for a while even when the song starts again.
    std::optional<ResultsView> results;
    int resultsLeftMs = 0;
};

}  // namespace orba
