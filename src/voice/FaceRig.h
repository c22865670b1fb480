#pragma once
// How the talking face moves: the mouth pose a lip-sync frame asks for, and
// when the eyes blink. Positions and sizes are in the face picture's
// coordinates (the rig's face size); the player scales them to the screen.
#include "voice/LipSyncFrame.h"
#include "voice/TjmFile.h"

#include <cstdint>

namespace pavonia {

struct MouthPose {
    double centerX = 0;      // centre of the mouth
    double centerY = 0;
    double halfWidth = 0;    // centre to either corner
    double upperLift = 0;    // how far the inner edge of the upper lip rises above the centre line
    double lowerDrop = 0;    // how far the inner edge of the lower lip drops below it
    double lipThickness = 0; // of each lip, at the middle
    double teeth = 0;        // 0 no teeth showing to 1 both rows showing
    double round = 0;        // 0 relaxed to 1 fully rounded (pursed corners)
    double smile = 0;        // corner lift, in the same units as the sizes
    int viseme = 0;          // the frame's Viseme value, clamped to the known ones

    double opening() const { return upperLift + lowerDrop; }
    bool closed() const { return opening() <= 0.0; }
};

// The mouth for `frame`; `articulation` (0 to 100 percent) scales how far the
// jaw opens, for a calmer or a livelier face.
MouthPose mouthPoseFor(const LipSyncFrame& frame, const TjmRig& rig, int articulation = 100);

// Where the mouth lies between two frames: `t` 0 gives `a`, 1 gives `b`.
MouthPose blendPoses(const MouthPose& a, const MouthPose& b, double t);

// The blink schedule of one face: blinks come every `blinkEveryMs` on average
// (between 0.5 and 1.5 times that, varied by a seeded generator, with now and
// then a quick double blink), each taking `blinkMs`.
class Blinker {
public:
    Blinker(const TjmRig& rig, std::uint32_t seed);
    // How far the lids are closed at `ms`: 0 open to 1 shut. Times are
    // expected to go forward; an earlier time starts the schedule again.
    double lidClosure(std::int64_t ms);
    void restart(std::int64_t ms);

private:
    void scheduleFrom(std::int64_t ms);
    std::int64_t nextInterval();

    std::int64_t every_;
    std::int64_t duration_;
    std::uint32_t seed_;
    std::uint32_t state_;
    std::int64_t last_ = 0;
    std::int64_t nextBlink_ = 0;
    bool doubleBlink_ = false;
};

// The layout used when no talking image could be loaded: a plain face of the
// given size.
TjmRig neutralRig(std::uint16_t width, std::uint16_t height);

} // namespace pavonia
