// What a video export is asked to make, and the decisions that follow from it
// alone: the container and encoders an output name calls for, and which song
// moment each video frame shows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orba {

// Where the sound of the video comes from.
struct ExportAudio {
    enum class Kind {
        Silence,  // a lyric file alone
        Decoded,  // recorded music, decoded by GStreamer
        Midi,     // a MIDI song, rendered by the synthesizer as the player plays it
    };
    Kind kind = Kind::Silence;
    std::string file;
};

// The GStreamer elements that encode and mux one container, with the package
// that brings each, so that a missing one is named in a useful way.
struct EncoderChoice {
    const char* element;
    const char* package;
};
struct EncodingPlan {
    std::string name;  // "MP4 (H.264, AAC)"
    EncoderChoice video;
    std::optional<EncoderChoice> videoFallback;  // used when `video` is missing
    EncoderChoice audio;
    EncoderChoice muxer;
    // Samples of silence the audio encoder puts before the sound, which the
    // container does not tell players to skip; the export leaves out as many
    // at the start so that the sound plays in time with the pictures.
    int audioPrimingSamples = 0;
};

// The plan for an output file, by its extension (any letter case): ".mp4",
// ".webm" or ".mkv"; nothing for any other.
std::optional<EncodingPlan> encodingPlanFor(const std::string& outFile);

struct ExportJob {
    std::string outFile;
    // Whether an existing outFile may be replaced; otherwise it is left as
    // it is and the export refused.
    bool overwrite = false;
    // The user's files the export reads (the song, its lyric file): never
    // written, whatever name or link leads to them.
    std::vector<std::string> inputs;
    int width = 1280;
    int height = 720;
    int fps = 30;
    int fromMs = 0;
    int toMs = 0;  // the end, not included; after fromMs
    ExportAudio audio;
    EncodingPlan plan;
};

// The smallest side the encoders take.
inline constexpr int kSmallestVideoSide = 16;

// Why a video cannot have this size ("" when it can): each side at least
// kSmallestVideoSide and even, as 4:2:0 video needs.
std::string videoSizeError(int width, int height);

// Frame k shows the song at fromMs + k / fps seconds, to the nearest
// millisecond; the video has as many frames as it takes to cover [from, to).
int frameSongMs(int fromMs, long long k, int fps);
long long frameCount(int fromMs, int toMs, int fps);

struct ExportProgress {
    long long framesDone = 0;
    long long framesTotal = 0;
    int fps = 30;
    double elapsedSeconds = 0;
};

// "42% 3.1x real time, 0:12 left": how far, how fast and how much longer.
std::string progressText(const ExportProgress& p);

}  // namespace orba
