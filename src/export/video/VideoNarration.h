#pragma once
// The sound of a video: each session's voice from the moment the page starts
// it (its session's start) and silence everywhere else, as one channel of
// samples at a fixed rate, read from the start on. Only the voice being
// played is held in memory, as stored; it is resampled a block at a time as
// it is read.
#include "export/video/VideoTimeline.h"
#include "voice/LipSyncFrame.h"
#include "voice/PcmAudio.h"

#include <cstdint>
#include <string>
#include <vector>

struct SwrContext;

namespace pavonia {

class VideoNarration {
public:
    // `folder` holds the published files the sessions name, ending with "/".
    VideoNarration(const VideoTimeline& timeline, std::string folder, int sampleRate);
    ~VideoNarration();
    VideoNarration(const VideoNarration&) = delete;
    VideoNarration& operator=(const VideoNarration&) = delete;

    // The next `count` samples.
    void read(float* out, std::size_t count);
    // The lip-sync frames of session `index`: its message's, when the page
    // plays its voice; none otherwise.
    std::vector<LipSyncFrame> framesOf(int index) const;

private:
    // Makes session `index`'s voice the one held; an unreadable or silent
    // one holds nothing.
    void load(int index);
    // Resamples the next block of the held voice, dropping what lies before
    // its sample `keepFrom`; false when the voice is used up.
    bool resampleMore(std::int64_t keepFrom);

    const VideoTimeline& timeline_;
    std::string folder_;
    int rate_;
    std::int64_t position_ = 0; // samples read so far
    int loaded_ = -1;
    std::int64_t voiceStart_ = 0; // sample where the held voice begins
    std::int64_t voiceEnd_ = 0;   // samples of it that are played
    PcmAudio voice_;
    std::size_t consumed_ = 0;     // sample frames of voice_ resampled
    SwrContext* resampler_ = nullptr;
    std::vector<float> resampled_; // the voice's samples from resampledStart_ on
    std::int64_t resampledStart_ = 0;
};

} // namespace pavonia
