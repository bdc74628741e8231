// A song to a video file: the frames of an ExportFrameSource and the song's
// sound go through GStreamer's encoders and muxer into the output file.
//
// The frames are drawn and converted to the encoder's I420 on the calling
// thread (only the rows that changed) and handed to an appsrc; the encoders
// run on that source's streaming thread and their own, behind queues, so
// drawing and encoding overlap. The file is
// written into a partial file of its own beside the output and renamed when
// it is complete (see OutputFile): a cancelled or failed export leaves no file
// behind, and no file of the user's is ever written.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "export/exportframesource.h"
#include "export/exportjob.h"

namespace orba {

// Where the wall time of an export went, in seconds.
struct ExportTimings {
    double drawing = 0;     // in the frame source
    double converting = 0;  // the frames into the encoder's buffers, in its colours (I420)
    double waiting = 0;     // for the encoders to take more frames
    double total = 0;
    // Row pairs of the frames converted, and of those the ones that changed.
    long long rowPairs = 0;
    long long rowPairsChanged = 0;
};

struct ExportResult {
    bool ok = false;
    bool cancelled = false;
    bool outputExists = false;  // refused: the output is there and overwrite was not asked
    std::string error;          // a sentence for the user when not ok
    ExportTimings timings;
};

using ExportProgressFn = std::function<void(const ExportProgress&)>;

// Runs the whole export; `cancel` may be set from any thread (or a signal
// handler) to stop it.
ExportResult exportVideo(const ExportJob& job, ExportFrameSource& source,
                         const ExportProgressFn& progress, const std::atomic<bool>& cancel);

}  // namespace orba
