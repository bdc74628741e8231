// The music as the player sees it: a narrow interface that the real media
// device implements, and that a simulated transport implements for the
// headless tools, the tests and the benchmarks, so that all of them run the
// same player.
//
// Lengths and positions are milliseconds; modes are the MediaMode values, and
// failures the MediaErrorCode values with MediaDeviceError, both below.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace orba {

// Error codes of the last command, 0 for success. The numbers are the
// classic multimedia error numbers, kept so codes stay comparable.
enum MediaErrorCode : std::uint32_t {
    kMediaOk = 0,
    kMediaInvalidDevice = 257,
    kMediaHardware = 262,
    kMediaCannotLoadDriver = 266,
    kMediaFileNotFound = 275,
    kMediaNotReady = 276,
    kMediaInternal = 277,
    kMediaOutOfRange = 282,
    kMediaInvalidFile = 296,
};

// Mode values of the mode query: the classic numbers, of which a transport
// only ever reports these four.
enum MediaMode : int {
    kModeNotReady = 0,
    kModeStopped = 1,
    kModePlaying = 2,
    kModePaused = 5,
};

extern const char* const kNoDeviceText;      // raised by a checking command without a device
extern const char* const kUnknownErrorText;  // error text when there is no better one

// What a transport throws when a command fails; lastError() and errorText()
// then say why.
class MediaDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Transport {
public:
    virtual ~Transport() = default;

    // Opens the file, closing any open one first; ready to play, stopped at 0.
    // A failure throws MediaDeviceError and leaves lastError() non-zero.
    virtual void open(const std::string& fileName) = 0;
    virtual void close() = 0;

    virtual void play() = 0;
    virtual void pauseToggle() = 0;
    virtual void stop() = 0;
    virtual void seek(int ms) = 0;
    // Stands paused at `ms`, so that a pause toggle plays on from there.
    virtual void pauseAt(int ms) = 0;
    // Where the next play starts.
    virtual void setStartPosition(int ms) = 0;

    virtual int position() = 0;
    virtual int mode() = 0;
    virtual int length() = 0;
    // Whether the open file plays through the synthesizer on the song's own
    // clock, as decided from its content when it was opened.
    virtual bool playsMidi() const = 0;

    virtual std::uint32_t lastError() const = 0;
    virtual std::string errorText() const = 0;
    // An error that ended the song while it played, once; "" when none.
    virtual std::string takePlaybackError() = 0;

    // The singer's controls, kept for the songs opened after them: the key
    // in semitones, the tempo in percent, the vocal cut, the muted MIDI
    // channel (0 none). A transport without sound ignores what it cannot do.
    virtual void setKey(int) {}
    virtual void setTempo(int) {}
    virtual void setVocalCut(bool) {}
    virtual void setMelodyMute(int) {}
};

}  // namespace orba
