#pragma once
// A talking message: the recorded voice and the lip-sync frames that animate
// the talking image while it plays (one frame every kLipSyncFrameMs from the
// start of the voice). A message without voice is the muted/empty message.
// A text-mode message carries a text to be spoken instead of a recording;
// the slide voice page refuses it, but it is read and written faithfully.
#include "voice/LipSyncFrame.h"
#include "voice/PcmAudio.h"

#include <string>
#include <vector>

namespace pavonia {

struct TalkingMessage {
    PcmAudio voice;                   // empty for a muted message
    std::vector<LipSyncFrame> frames; // frame i covers [i*40 ms, (i+1)*40 ms)
    bool textMode = false;
    std::string text; // UTF-8; what a text-mode message speaks

    bool empty() const { return voice.empty(); }
    int64_t lengthMs() const { return voice.lengthMs(); }
    // The frame shown at `ms`; a closed mouth outside the frames.
    LipSyncFrame frameAt(int64_t ms) const
    {
        if (ms < 0)
            return {};
        const std::size_t i = std::size_t(ms / kLipSyncFrameMs);
        return i < frames.size() ? frames[i] : LipSyncFrame{};
    }
};

} // namespace pavonia
