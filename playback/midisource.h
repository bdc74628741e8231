// MIDI songs are rendered by FluidSynth's own sequencer, which follows every
// tempo change of the file, and fed as raw audio into the media device's
// playback pipeline through an appsrc, so that MIDI and recorded music share
// one output sink and one position clock.
//
// The appsrc calls back from GStreamer's streaming thread (need-data) and
// from the thread that seeks (seek-data); the synthesizer and sequencer are
// only touched under m_lock.
#pragma once

#include <fluidsynth.h>
#include <gst/app/gstappsrc.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "playback/miditempomap.h"

namespace orba {

// The General MIDI soundfont to play with ("" when none is installed).
std::string findSoundFont();

class MidiSource {
public:
    // Loads the soundfont and checks the song; nullptr with `error` set when
    // either cannot be used.
    static std::unique_ptr<MidiSource> create(std::string smf, const MidiTempoMap& map,
                                              std::string& error);
    ~MidiSource();
    MidiSource(const MidiSource&) = delete;
    MidiSource& operator=(const MidiSource&) = delete;

    // Configures the pipeline's appsrc to pull its audio from this source.
    void attach(GstElement* appsrc);

    static constexpr int kSampleRate = 44100;

private:
    MidiSource() = default;
    static void needData(GstAppSrc* src, guint length, gpointer self);
    static gboolean seekData(GstAppSrc* src, guint64 offset, gpointer self);
    // Restarts the sequencer at a sample position (the lock is held).
    bool restartAt(std::uint64_t sample);

    std::mutex m_lock;
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_player_t* m_player = nullptr;
    std::string m_smf;
    MidiTempoMap m_map;
    std::uint64_t m_sample = 0;     // next sample to render, counted from the song's start
    std::uint64_t m_endSample = 0;  // the song's length in samples
};

}  // namespace orba
