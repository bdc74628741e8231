#include "playback/internal/audiochain.h"

#include <gst/audio/audio.h>

#include <cmath>
#include <memory>

#include "playback/vocalcut.h"

namespace orba {

namespace {

// The stage's elements hold on to a tail of the music (soundtouch keeps
// about a tenth of a second); this drops the end-of-stream that pushes it
// out, so the rest of the chain never sees one.
GstPadProbeReturn dropEos(GstPad*, GstPadProbeInfo* info, gpointer) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    return GST_EVENT_TYPE(event) == GST_EVENT_EOS ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_PASS;
}

bool isPlaying(GstElement* element) {
    GstState current = GST_STATE_VOID_PENDING;
    gst_element_get_state(element, &current, nullptr, 0);
    return current == GST_STATE_PLAYING;
}

GstElement* add(GstElement* bin, const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element) gst_bin_add(GST_BIN(bin), element);
    return element;
}

double pitchOf(int semitones) {
    return std::pow(2.0, semitones / 12.0);
}

// The vocal cut works on the samples as they pass the stage's middle
// element: stereo float, as the stage's caps ask. Any other channel count
// (a mono recording has no middle to take out) passes untouched.
struct VocalCutProbe {
    std::unique_ptr<VocalCut> cut;

    static GstPadProbeReturn onData(GstPad*, GstPadProbeInfo* info, gpointer self) {
        auto* probe = static_cast<VocalCutProbe*>(self);
        if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
            GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
            if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
                GstCaps* caps = nullptr;
                gst_event_parse_caps(event, &caps);
                GstAudioInfo audio;
                const bool stereoFloat = gst_audio_info_from_caps(&audio, caps) &&
                                         GST_AUDIO_INFO_CHANNELS(&audio) == 2 &&
                                         GST_AUDIO_INFO_FORMAT(&audio) == GST_AUDIO_FORMAT_F32;
                probe->cut =
                    stereoFloat ? std::make_unique<VocalCut>(GST_AUDIO_INFO_RATE(&audio)) : nullptr;
            } else if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP && probe->cut) {
                probe->cut->reset();
            }
            return GST_PAD_PROBE_OK;
        }
        if (!probe->cut) return GST_PAD_PROBE_OK;
        GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
        GST_PAD_PROBE_INFO_DATA(info) = buffer;
        GstMapInfo map;
        if (gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
            probe->cut->process(reinterpret_cast<float*>(map.data),
                                map.size / (2 * sizeof(float)));
            gst_buffer_unmap(buffer, &map);
        }
        return GST_PAD_PROBE_OK;
    }
    static void destroy(gpointer self) { delete static_cast<VocalCutProbe*>(self); }
};

}  // namespace

AudioChain::~AudioChain() = default;

GstElement* AudioChain::build(GstElement* sink) {
    GstElement* bin = gst_bin_new("orba-audio-chain");
    GstElement* in = add(bin, "audioconvert");
    GstElement* tempo = add(bin, "scaletempo");
    GstElement* keyAnchor = add(bin, "audioconvert");
    GstElement* vocalAnchor = add(bin, "audioconvert");
    bool built = in && tempo && keyAnchor && vocalAnchor && gst_bin_add(GST_BIN(bin), sink);
    if (built && !gst_element_link_many(in, tempo, keyAnchor, vocalAnchor, sink, nullptr)) {
        gst_bin_remove(GST_BIN(bin), sink);  // the caller plays through it alone
        built = false;
    }
    if (!built) {
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    GstPad* target = gst_element_get_static_pad(in, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", target));
    gst_object_unref(target);

    GstPad* tempoPad = gst_element_get_static_pad(in, "src");
    gst_pad_add_probe(tempoPad, GST_PAD_PROBE_TYPE_BUFFER, &AudioChain::onTempoBuffer, this,
                      nullptr);
    gst_object_unref(tempoPad);
    GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
    if (sinkPad) {
        gst_pad_add_probe(sinkPad, GST_PAD_PROBE_TYPE_BUFFER, &AudioChain::onSinkBuffer, this,
                          nullptr);
        gst_object_unref(sinkPad);
    }

    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_bin = bin;
    m_key = {keyAnchor, vocalAnchor, nullptr, nullptr};
    m_vocal = {vocalAnchor, sink, nullptr, nullptr};
    m_rateChanged = m_rate != 1.0;
    reconcile();  // the stages a song starts with (its saved key, say)
    return bin;
}

double AudioChain::rate() const {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_rate;
}

void AudioChain::setTempo(double rate) {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_rate = rate;
    m_rateChanged = true;
}

// Playing on at another rate is a new segment from the next buffer on: it
// starts where the old one left the running time and the song time, so the
// sink's clock and the position go on without a jump, and scaletempo takes
// its rate from it.
GstPadProbeReturn AudioChain::onTempoBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    auto* chain = static_cast<AudioChain*>(self);
    double rate = 1.0;
    {
        std::lock_guard<std::recursive_mutex> lock(chain->m_lock);
        if (!chain->m_rateChanged) return GST_PAD_PROBE_OK;
        chain->m_rateChanged = false;
        rate = chain->m_rate;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstEvent* current = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
    if (!current) return GST_PAD_PROBE_OK;
    const GstSegment* old = nullptr;
    gst_event_parse_segment(current, &old);
    GstClockTime at = GST_BUFFER_PTS(buffer);
    if (old->format == GST_FORMAT_TIME && GST_CLOCK_TIME_IS_VALID(at) && old->rate != rate &&
        at >= old->start) {
        GstSegment next;
        gst_segment_copy_into(old, &next);
        next.base = gst_segment_to_running_time(old, GST_FORMAT_TIME, at);
        next.time = gst_segment_to_stream_time(old, GST_FORMAT_TIME, at);
        next.start = at;
        next.position = at;
        next.rate = rate;
        gst_event_unref(current);
        gst_pad_push_event(pad, gst_event_new_segment(&next));
        return GST_PAD_PROBE_OK;
    }
    gst_event_unref(current);
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn AudioChain::onSinkBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstClockTime at = GST_BUFFER_PTS(buffer);
    if (!GST_CLOCK_TIME_IS_VALID(at)) return GST_PAD_PROBE_OK;
    if (GST_BUFFER_DURATION_IS_VALID(buffer)) at += GST_BUFFER_DURATION(buffer);
    GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
    if (!event) return GST_PAD_PROBE_OK;
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (segment->format == GST_FORMAT_TIME) {
        guint64 time = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, at);
        if (time != GST_CLOCK_TIME_NONE)
            static_cast<AudioChain*>(self)->m_handedOn = static_cast<gint64>(time);
    }
    gst_event_unref(event);
    return GST_PAD_PROBE_OK;
}

gint64 AudioChain::streamTimeHandedOn() const {
    return m_handedOn;
}

// A stage is a bin `audioconvert ! ELEMENTS... ! audioconvert`; null when
// an element is missing or will not link.
GstElement* AudioChain::makeStage(std::initializer_list<const char*> factories,
                                  GstElement** last) {
    GstElement* stage = gst_bin_new(nullptr);
    GstElement* in = add(stage, "audioconvert");
    GstElement* previous = in;
    bool built = in != nullptr;
    for (const char* factory : factories) {
        GstElement* element = built ? add(stage, factory) : nullptr;
        built = element && gst_element_link(previous, element);
        previous = element;
    }
    GstElement* out = built ? add(stage, "audioconvert") : nullptr;
    if (!out || !gst_element_link(previous, out)) {
        gst_object_unref(gst_object_ref_sink(stage));
        *last = nullptr;
        return nullptr;
    }
    GstPad* sinkPad = gst_element_get_static_pad(in, "sink");
    GstPad* srcPad = gst_element_get_static_pad(out, "src");
    gst_element_add_pad(stage, gst_ghost_pad_new("sink", sinkPad));
    gst_element_add_pad(stage, gst_ghost_pad_new("src", srcPad));
    gst_object_unref(sinkPad);
    gst_object_unref(srcPad);
    *last = previous;
    return stage;
}

// The cut runs in a probe on the samples entering `identity`, which the
// capsfilter before it has made stereo-ready float.
GstElement* AudioChain::makeVocalCutStage(GstElement** effect) {
    GstElement* stage = makeStage({"capsfilter", "identity"}, effect);
    if (!stage) return nullptr;
    GstPad* pad = gst_element_get_static_pad(*effect, "sink");
    GstPad* formatPad = gst_pad_get_peer(pad);
    GstElement* format = gst_pad_get_parent_element(formatPad);
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=F32LE,layout=interleaved");
    g_object_set(format, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_object_unref(format);
    gst_object_unref(formatPad);
    gst_pad_add_probe(pad,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      &VocalCutProbe::onData, new VocalCutProbe, &VocalCutProbe::destroy);
    gst_object_unref(pad);
    return stage;
}

void AudioChain::linkIn(Slot& slot, GstElement* stage, GstElement* effect) {
    gst_bin_add(GST_BIN(m_bin), stage);
    gst_element_unlink(slot.before, slot.after);
    gst_element_link_many(slot.before, stage, slot.after, nullptr);
    gst_element_sync_state_with_parent(stage);
    slot.stage = stage;
    slot.effect = effect;
}

void AudioChain::linkOut(Slot& slot) {
    GstElement* stage = slot.stage;
    slot.stage = nullptr;
    slot.effect = nullptr;
    gst_element_unlink(slot.before, stage);
    // While the music plays, what the stage still holds goes out before the
    // link closes: dropping it would leave a gap as long as its delay.
    if (isPlaying(m_bin)) {
        GstPad* out = gst_element_get_static_pad(stage, "src");
        gulong probe =
            gst_pad_add_probe(out, GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &dropEos, nullptr, nullptr);
        GstPad* in = gst_element_get_static_pad(stage, "sink");
        gst_pad_send_event(in, gst_event_new_eos());
        gst_object_unref(in);
        gst_pad_remove_probe(out, probe);
        gst_object_unref(out);
    }
    gst_element_unlink(stage, slot.after);
    gst_element_link(slot.before, slot.after);
    gst_element_set_state(stage, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(m_bin), stage);
}

// Linking runs when no buffer enters the first slot: at once when the
// pipeline stands still, else between two buffers on the streaming thread.
// The probe holds the data back while it runs, and the chain has no thread of
// its own, so the second slot is still then too. It brings both slots to what
// is wanted now, so probes that pile up do no harm.
void AudioChain::setKey(int semitones) {
    GstElement* before = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        m_keyWanted = semitones;
        if (m_key.effect && semitones != 0) {
            g_object_set(m_key.effect, "pitch", pitchOf(semitones), nullptr);
            return;
        }
        before = m_key.before;
    }
    requestRelink(before);
}

void AudioChain::setVocalCut(bool on) {
    GstElement* before = nullptr;
    {
        std::lock_guard<std::recursive_mutex> lock(m_lock);
        m_vocalWanted = on;
        before = m_key.before;
    }
    requestRelink(before);
}

void AudioChain::requestRelink(GstElement* before) {
    if (!before) return;  // not built yet: build() links what is wanted
    GstPad* pad = gst_element_get_static_pad(before, "src");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_IDLE, &AudioChain::onIdle, this, nullptr);
    gst_object_unref(pad);
}

GstPadProbeReturn AudioChain::onIdle(GstPad*, GstPadProbeInfo*, gpointer self) {
    static_cast<AudioChain*>(self)->reconcile();
    return GST_PAD_PROBE_REMOVE;
}

void AudioChain::reconcile() {
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    const bool key = m_keyWanted != 0;
    if (key && !m_key.stage) {
        GstElement* effect = nullptr;
        if (GstElement* stage = makeStage({"pitch"}, &effect)) {
            g_object_set(effect, "pitch", pitchOf(m_keyWanted), nullptr);
            linkIn(m_key, stage, effect);
        }
    } else if (!key && m_key.stage) {
        linkOut(m_key);
    } else if (key) {
        g_object_set(m_key.effect, "pitch", pitchOf(m_keyWanted), nullptr);
    }
    if (m_vocalWanted && !m_vocal.stage) {
        GstElement* effect = nullptr;
        if (GstElement* stage = makeVocalCutStage(&effect)) linkIn(m_vocal, stage, effect);
    } else if (!m_vocalWanted && m_vocal.stage) {
        linkOut(m_vocal);
    }
}

}  // namespace orba
