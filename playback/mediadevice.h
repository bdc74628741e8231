// The player's one media device: it opens a music file and plays, stops,
// pauses and seeks it, and reports its length, position and mode in
// milliseconds, answering every command synchronously like a classic
// multimedia command interface.
//
// Recorded music (.mp3 .mp2 .wma .ogg .wav, and whatever else GStreamer can
// decode) plays through a GStreamer playbin. MIDI files play through
// FluidSynth's sequencer, rendered into the same playbin through an appsrc,
// because GStreamer's own MIDI parser applies the last tempo of a file to the
// whole song.
//
// State: the pipeline sits in PAUSED while the device is stopped or paused
// and in PLAYING while it plays; m_state says which of stopped and paused the
// user asked for. Bus messages are read whenever the device is asked
// something, so no main loop is needed; the end of the stream (or an error
// while playing) leaves the device stopped at its end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "playback/transport.h"

namespace orba {

class MediaDevice : public Transport {
public:
    MediaDevice();
    ~MediaDevice() override;
    MediaDevice(const MediaDevice&) = delete;
    MediaDevice& operator=(const MediaDevice&) = delete;

    // Opens the file, closing any open one first, and returns when it is
    // ready to play (stopped at 0) or has failed. Any failure, a file that no
    // reader can make sense of included, throws MediaDeviceError with
    // errorText() and leaves lastError() non-zero.
    void open(const std::string& fileName) override;
    void close() override;
    // Lengths and positions are always milliseconds; kept as a command.
    void setTimeFormatMilliseconds();

    int length() override;
    int position() override;
    int mode() override;
    // Plays from the pending start position if one was set, else from where
    // the device stands; a device stopped at its end starts again from 0.
    void play() override;
    void stop() override;
    void pauseToggle() override;
    void seek(int ms) override;
    void pauseAt(int ms) override;
    void setStartPosition(int ms) override;

    std::uint32_t lastError() const override;
    std::string errorText() const override;
    // The text of an error that ended the song while it played, once; empty
    // when there was none since the last call.
    std::string takePlaybackError() override;

    bool isOpen() const;
    // True while the open file plays through the MIDI synthesizer.
    bool playsMidi() const override;

    // The singer's controls. Each is kept for the songs opened after it and
    // heard within a fraction of a second while a song plays, without a
    // restart and without losing the position, which stays song time.
    // Key: -6..+6 semitones, the tempo kept (a MIDI song moves every channel
    // but the percussion). Tempo: 50..150 percent, the key kept. The vocal
    // cut takes out what sits in the middle of a recording (nothing for
    // MIDI); the melody mute silences a MIDI channel 1..16 (0 for none,
    // nothing for recordings). Values outside the ranges are pulled in.
    void setKey(int semitones) override;
    void setTempo(int percent) override;
    void setVocalCut(bool on) override;
    void setMelodyMute(int channel) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace orba
