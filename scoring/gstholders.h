// The few GStreamer pieces the voice's pipelines share. Internal to scoring/:
// no public header includes it.
#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>
#include <vector>

namespace orba {

struct GstElementUnref {
    void operator()(GstElement* e) const {
        if (e) {
            gst_element_set_state(e, GST_STATE_NULL);
            gst_object_unref(e);
        }
    }
};
using GstElementHolder = std::unique_ptr<GstElement, GstElementUnref>;

// What the pitch tracker takes: mono 32-bit float at its rate. The caller unrefs.
GstCaps* voiceCaps();

// Appends the samples (voiceCaps) of an appsink's sample to `out` and
// unrefs it; returns the buffer's time in ms (-1 when it has none).
long long takeSamples(GstSample* sample, std::vector<float>& out);

// The first error the pipeline's bus holds, in words; "" when none.
std::string busError(GstElement* pipeline);

}  // namespace orba
