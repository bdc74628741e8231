// The player's state as the lyric and picture steps see it, and what the
// lyric drawing decided taken back into it: the one place where the frame's
// inputs are filled and its results applied.
#pragma once

#include "effects/framepictures.h"
#include "lyrics/frame.h"
#include "player/playerstate.h"

namespace orba {

// Views that borrow the state's lines: valid while `st` is unchanged.
LyricView lyricViewOf(const PlayerState& st);
PictureView pictureViewOf(const PlayerState& st);

// The edit mode's guard and the status message's countdown after a frame
// that drew the lyrics.
void applyLyricsDrawn(PlayerState& st, const LyricsDrawn& drawn);

}  // namespace orba
