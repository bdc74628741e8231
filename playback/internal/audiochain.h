// The singer's part of the audio output: between the decoded music and the
// sink sit a tempo stage that is always there (scaletempo, which passes the
// samples through untouched at the song's own tempo) and two stages that are
// linked in only while they are wanted, the key shift (soundtouch's pitch)
// and the vocal cut (playback/vocalcut.h), so that a song played without them
// sounds exactly as it did before they existed:
//
//   audioconvert ! scaletempo ! audioconvert [! key] ! audioconvert [! vocal cut] ! sink
//
// The chain sits inside the sink bin, after playbin's own queue, so a change
// reaches the ear after no more than the sink's buffer.
//
// Threads: the tempo is changed by a new segment sent from the streaming
// thread ahead of its next buffer, and a stage is linked in or out by a
// probe that runs when its link carries no data; either may run on the
// streaming thread or at once on the caller's. The lock guards what both
// sides read.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <initializer_list>
#include <mutex>

namespace orba {

class AudioChain {
public:
    AudioChain() = default;
    ~AudioChain();
    AudioChain(const AudioChain&) = delete;
    AudioChain& operator=(const AudioChain&) = delete;

    // Builds the chain in front of `sink` (the caller holds a reference) and
    // returns the bin to give to playbin as its audio sink, floating; nullptr
    // when an element is missing, the sink then left as it was.
    GstElement* build(GstElement* sink);

    // The playback rate a seek must ask for: the tempo in force.
    double rate() const;
    // Takes effect with the next buffer the chain passes, without a seek.
    void setTempo(double rate);
    // Semitones; 0 takes the stage out.
    void setKey(int semitones);
    void setVocalCut(bool on);
    // The stream time of the end of the last buffer handed to the sink, -1
    // before the first: the position for a sink that keeps no time of its
    // own (one that records into a file, say).
    gint64 streamTimeHandedOn() const;
    void forgetHandedOn() { m_handedOn = -1; }

private:
    struct Slot {
        GstElement* before = nullptr;  // the fixed elements around the slot
        GstElement* after = nullptr;
        GstElement* stage = nullptr;   // the linked-in stage, a bin; null when out
        GstElement* effect = nullptr;  // the element inside the stage
    };
    GstElement* makeStage(std::initializer_list<const char*> factories, GstElement** last);
    GstElement* makeVocalCutStage(GstElement** effect);
    void linkIn(Slot& slot, GstElement* stage, GstElement* effect);
    void linkOut(Slot& slot);
    void requestRelink(GstElement* before);
    void reconcile();
    static GstPadProbeReturn onIdle(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn onTempoBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn onSinkBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    // Recursive: a probe may run at once on the thread that asked for it.
    mutable std::recursive_mutex m_lock;
    GstElement* m_bin = nullptr;  // owned by the pipeline
    Slot m_key;
    Slot m_vocal;
    int m_keyWanted = 0;
    bool m_vocalWanted = false;
    double m_rate = 1.0;
    bool m_rateChanged = false;
    std::atomic<gint64> m_handedOn{-1};
};

}  // namespace orba
