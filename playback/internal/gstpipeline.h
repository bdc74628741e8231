// GStreamer helpers of the media device, private to playback/: this is the
// one header besides the device's own source file that sees GStreamer, and
// nothing outside playback/ includes it.
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <string>

namespace orba {

class MidiSource;

// The device's error code for a GStreamer error.
std::uint32_t errorCodeFor(const GError* error);

// A new floating sink element: the one ORBAKARAOKE_AUDIO_SINK describes
// (tests use "fakesink sync=true", which keeps time without a sound card),
// else the desktop's default, else the silent sink. A description that
// cannot be used is said once on stderr.
GstElement* makeAudioSink();
// A silent sink that plays in real time, for machines whose audio output
// refuses to work.
GstElement* makeTimeKeepingFakeSink();
bool isTimeKeepingFakeSink(GstElement* sink);

// The element that keeps the playback clock: a sink described as a bin (or
// the desktop's automatic sink) answers position queries through its inner
// sink, asked directly so that the per-frame query stays cheap. A new
// reference.
GstElement* innermostSink(GstElement* sink);

// Lets a playbin's appsrc pull its audio from the synthesizer; other
// sources are left alone.
void attachMidi(GstElement* appsrc, MidiSource* midi);

// Music held in memory (read out of a song zip), fed to a playbin's appsrc
// as a file would be read: from any offset, so that seeks work.
struct MemoryMusic {
    std::shared_ptr<const std::string> bytes;
    std::uint64_t offset = 0;  // the next byte to push; the streaming thread's alone
};
void attachMemoryMusic(GstElement* appsrc, MemoryMusic* music);

// A playbin that plays the sound alone still decodes every picture stream
// it finds (a karaoke video's 1080p H.264 costs a good part of a core):
// its decoding bins hand picture streams on undecoded instead, to be
// dropped.
void leavePicturesUndecoded(GstElement* playbin);

// Keeps the queues that playbin adds between a MIDI song's synthesizer and
// its sink short: the singer's key, tempo and melody mute act where the
// synthesizer renders, so whatever waits in a queue is heard unchanged.
void shortenQueuesForMidi(GstElement* playbin);

// Adds the plugin a missing-plugin message names, in GStreamer's words
// ("H.264 (High Profile) decoder"), to the comma-separated `missing`, once;
// false for any other message.
bool noteMissingPlugin(GstMessage* msg, std::string& missing);

// Each warning about the audio output is worth one line per run, not one
// per song.
void warnOnce(bool& said, const std::string& text);

}  // namespace orba
