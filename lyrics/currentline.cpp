#include "lyrics/currentline.h"

#include "lyrics/tags.h"

namespace orba {

namespace {

void shownLine(const std::string& raw, bool timeEditMode, TextEncoding e, std::string& text,
               Colour& colour) {
    std::string line = raw;
    colour = takeColourTag(line, e);
    text = timeEditMode ? stripTagsKeepTime(line, e) : stripTags(line, e);
}

}  // namespace

void refreshLineCaches(LineCaches& c, const std::vector<std::string>& lyricLines,
                       const LineCacheKey& key) {
    if (key.songLength != c.fetchedSongLength) {
        c.fetchedSongLength = key.songLength;
        c.fetchedLine = -1;
    }
    if (key.currentLine == c.fetchedLine && key.overlay == c.fetchedOverlay) return;
    const std::size_t i = static_cast<std::size_t>(key.currentLine);
    c.currentRaw = lyricLines[i];
    const TextEncoding e = key.encoding;
    c.currentColour = takeColourTag(c.currentRaw, e);
    c.currentText =
        key.timeEditMode ? stripTagsKeepTime(c.currentRaw, e) : stripTags(c.currentRaw, e);
    if (i > 0)
        shownLine(lyricLines[i - 1], key.timeEditMode, e, c.previousText, c.previousColour);
    else
        c.previousText.clear();
    // The line after the next is the empty end line: no next line to show.
    if (i + 2 < lyricLines.size())
        shownLine(lyricLines[i + 1], key.timeEditMode, e, c.nextText, c.nextColour);
    else
        c.nextText.clear();
    c.fetchedLine = key.currentLine;
    c.fetchedOverlay = key.overlay;
}

CurrentLineValues currentLineValues(const LineCaches& caches, const CurrentLineInput& in) {
    CurrentLineValues v;
    const TimelineStep& t = in.timeline;
    if (in.tagType > 2 && !in.noKaraoke)
        v.karaoke = parseKaraokeLine(in.lyricTime, caches.currentRaw, t.lineEnd, in.encoding);
    v.motion = lineMotion(t.lineStart, t.lineEnd, t.lineDuration, in.lyricTime, in.timeEditMode);
    KaraokeParse& k = v.karaoke;
    // A karaoke line leaves fully sung.
    if (v.motion.leaving && in.tagType >= 3 && !k.sungText.empty()) {
        k.sungText += k.restText;
        k.restText.clear();
    }
    const bool evenWipe = in.tagType == 2 && in.timeForce;
    if (evenWipe) {
        if (v.motion.lineShift <= 0) k.sungText = caches.currentText;
        k.segmentProgress = v.motion.lineProgress;
    }
    v.karaokeOn = evenWipe || (in.tagType >= 3 && !in.noKaraoke);
    return v;
}

}  // namespace orba
