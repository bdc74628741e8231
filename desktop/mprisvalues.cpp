#include "desktop/mprisvalues.h"

namespace orba {

namespace {
constexpr int kSeekEndMarginMs = 1000;
}

const char* playbackStatusName(MprisStatus status) {
    switch (status) {
        case MprisStatus::Playing:
            return "Playing";
        case MprisStatus::Paused:
            return "Paused";
        case MprisStatus::Stopped:
            break;
    }
    return "Stopped";
}

std::optional<int> plannedSeek(const SeekRequest& r) {
    if (!r.playing) return std::nullopt;
    if (r.isMidi && r.targetMs < r.positionMs) return std::nullopt;
    std::int64_t p = r.targetMs;
    if (p > r.lengthMs - kSeekEndMarginMs) p = r.lengthMs - kSeekEndMarginMs;
    // Last, so that a song shorter than the margin restarts at 0.
    if (p < 0) p = 0;
    return static_cast<int>(p);
}

bool positionRequestValid(std::string_view currentTrackId, std::string_view requestedTrackId,
                          std::int64_t positionUs, std::int64_t lengthUs) {
    return !currentTrackId.empty() && currentTrackId == requestedTrackId && positionUs >= 0 &&
           positionUs <= lengthUs;
}

std::string trackIdFor(unsigned songNumber) {
    return "/org/orbakaraoke/track/" + std::to_string(songNumber);
}

std::string titleFromFileName(std::string_view path) {
    std::string_view name = path;
    if (std::size_t slash = name.rfind('/'); slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    // A leading dot starts a hidden name, not an extension.
    if (std::size_t dot = name.rfind('.'); dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return std::string(name);
}

std::vector<std::string> changedPlayerProperties(const MprisSnapshot& a, const MprisSnapshot& b) {
    std::vector<std::string> names;
    if (a.status != b.status) names.emplace_back("PlaybackStatus");
    if (a.trackId != b.trackId || a.url != b.url || a.title != b.title || a.artist != b.artist ||
        a.artUrl != b.artUrl || a.lyricLine != b.lyricLine || a.lengthUs != b.lengthUs)
        names.emplace_back("Metadata");
    if (a.volume != b.volume) names.emplace_back("Volume");
    if (a.canGoNext != b.canGoNext) names.emplace_back("CanGoNext");
    if (a.canGoPrevious != b.canGoPrevious) names.emplace_back("CanGoPrevious");
    if (a.canPlay != b.canPlay) names.emplace_back("CanPlay");
    if (a.canPause != b.canPause) names.emplace_back("CanPause");
    if (a.canSeek != b.canSeek) names.emplace_back("CanSeek");
    return names;
}

}  // namespace orba
