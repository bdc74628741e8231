// Music files made at test time: a stereo tone encoded by GStreamer into the
// type that the file's extension names, and a MIDI song with a tempo change.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/tempdir.h"

namespace orba {
class MediaDevice;
class Transport;
}  // namespace orba
typedef struct _GstElement GstElement;

namespace orba::test {

// Writes `ms` milliseconds of tone to `path` (.wav .mp3 .mp2 .ogg .wma, and
// .opus .flac .m4a, which the player does not open but tags may). An
// ".mp3" gets a length header unless `mp3Header` is false. False when
// GStreamer could not make the file.
bool writeTone(const std::string& path, int ms, bool mp3Header = true);

// Plays a pipeline until its end, 20 s at most: false on an error or when
// it did not end (the pipeline is left playing for the caller to stop).
bool runToEnd(GstElement* pipeline);

// Writes `ms` milliseconds of a 440 Hz tone with a picture track beside it,
// in the container that the extension names: Theora in Ogg (.ogg), WMV in
// ASF (.wma), Motion JPEG in AVI (given any name, say ".wav"), H.264 in MP4
// (given any name, say ".mp3"); `container` picks it. False when GStreamer
// could not make the file.
enum class PictureContainer { Ogg, Asf, Avi, Mp4 };
bool writeToneWithPictures(const std::string& path, PictureContainer container, int ms);

// Writes a video of one-second colour bands, in turn the videotestsrc
// patterns `colours` names ("red", "green", "blue", "white", "black"), 10
// pictures a second at width x height, with a tone beside it unless `sound`
// is false; H.264 and AAC in MP4 (.mp4 .mov) or Matroska (.mkv), VP8 and
// Vorbis in WebM (.webm), Motion JPEG in AVI (.avi), MPEG-2 in MPEG-PS
// (.mpg). False when GStreamer could not make the file.
bool writeColourVideo(const std::string& path, const std::vector<std::string>& colours,
                      bool sound = true, int width = 160, int height = 90);

// The length of the audio that GStreamer decodes from the file, counted in
// samples without playing it (-1 when it cannot be decoded).
int decodedLengthMs(const std::string& path);

// A two-track MIDI song of 3000 ms: one second at 120 bpm, then two seconds
// at 60 bpm. A parser that applied the last tempo to the whole song would
// make it 4000 ms long.
std::string tempoChangeMidi();
constexpr int kTempoChangeMidiMs = 3000;

// Writes the file for `ext` (with its dot) at `path`, `ms` long; MIDI files
// are always the 3000 ms tempo-change song.
bool writeSong(const std::string& path, const std::string& ext, int ms);

// The six music types, and a test over one song of the type it is given,
// 3000 ms long.
const std::vector<std::string>& musicTypes();
std::string musicTypeName(const ::testing::TestParamInfo<std::string>& info);

class MusicTypeTest : public ::testing::TestWithParam<std::string> {
protected:
    static constexpr int kSongMs = 3000;
    void SetUp() override {
        path = dir.file("song" + GetParam());
        ASSERT_TRUE(writeSong(path, GetParam(), kSongMs));
    }
    TempDir dir;
    std::string path;
};

// The raw text of a field of a flat one-line JSON object, strings with their
// quotes ("" when the key is missing).
std::string jsonField(const std::string& json, const std::string& key);

void sleepMs(int ms);
int msSince(std::chrono::steady_clock::time_point start);
// Polls the device's mode every 5 ms; false when `timeoutMs` passed first.
bool waitForMode(Transport& device, int mode, int timeoutMs);

}  // namespace orba::test
