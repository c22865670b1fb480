#pragma once
// The sound of a video: each session's voice from the moment the page starts
// it (its session's start) and silence everywhere else, as one channel of
// samples at a fixed rate, read from the start on. Only the voice being
// played is held in memory.
#include "export/video/VideoTimeline.h"
#include "voice/LipSyncFrame.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pavonia {

class VideoNarration {
public:
    // `folder` holds the published files the sessions name, ending with "/".
    VideoNarration(const VideoTimeline& timeline, std::string folder, int sampleRate);

    // The next `count` samples.
    void read(float* out, std::size_t count);
    // The lip-sync frames of session `index`: its message's, when the page
    // plays its voice; none otherwise.
    std::vector<LipSyncFrame> framesOf(int index) const;

private:
    // Makes session `index`'s voice the one held (resampled); an unreadable
    // or silent one holds nothing.
    void load(int index);

    const VideoTimeline& timeline_;
    std::string folder_;
    int rate_;
    std::int64_t position_ = 0; // samples read so far
    int loaded_ = -1;
    std::int64_t voiceStart_ = 0; // sample where the held voice begins
    std::vector<float> voice_;
};

} // namespace pavonia
