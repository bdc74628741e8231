#include "player/frameviews.h"

namespace orba {

LyricView lyricViewOf(const PlayerState& st) {
    return LyricView{.lyricLines = st.lyricLines,
                     .lineTimes = st.lineTimes,
                     .statusMessage = st.statusMessage,
                     .statusTime = st.statusTime,
                     .encoding = st.lyricForm.encoding,
                     .currentLine = st.currentLine,
                     .tagType = st.tagType,
                     .songTime = st.songTime,
                     .songLength = st.songLength,
                     .timeRatio = st.timeRatio,
                     .timeEditMode = st.timeEdit.timeEditMode,
                     .debugMode = st.debugMode};
}

PictureView pictureViewOf(const PlayerState& st) {
    return PictureView{.imageFiles = st.imageFiles,
                       .orbaObject = st.orbaObject,
                       .debugMode = st.debugMode,
                       .timeEditMode = st.timeEdit.timeEditMode,
                       .seasonMode = st.seasonMode};
}

void applyLyricsDrawn(PlayerState& st, const LyricsDrawn& drawn) {
    if (drawn.editLineDrawn) st.timeEdit.editFrameDrawn = true;
    st.statusTime = drawn.status.statusTime;
    if (drawn.status.expired) st.statusMessage.clear();
}

}  // namespace orba
