#include "voice/FaceRig.h"

#include <algorithm>
#include <cmath>

namespace pavonia {

namespace {

double unit(int value) { return std::clamp(value, 0, 100) / 100.0; }

double mix(double a, double b, double t) { return a + (b - a) * t; }

double smoothstep(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

// One blink: the lids fall fast and rise more slowly.
double blinkProfile(double phase)
{
    constexpr double fall = 0.35;
    if (phase <= 0.0 || phase >= 1.0)
        return 0.0;
    return phase < fall ? smoothstep(phase / fall) : 1.0 - smoothstep((phase - fall) / (1.0 - fall));
}

} // namespace

MouthPose mouthPoseFor(const LipSyncFrame& frame, const TjmRig& rig, int articulation)
{
    const auto viseme = static_cast<Viseme>(std::clamp<int>(frame.viseme, 0, 7));
    double open = unit(frame.open) * unit(articulation);
    const double width = unit(frame.width);
    const double round = unit(frame.round);
    double teeth = unit(frame.teeth);
    // Silence and the lip closures (m, b, p) close the mouth whatever the
    // other values say; the teeth of f, s and th always show a little.
    if (viseme == Viseme::Rest || viseme == Viseme::Closure)
        open = 0.0;
    if (viseme == Viseme::Fricative)
        teeth = std::max(teeth, 0.7);

    MouthPose pose;
    pose.centerX = rig.mouthX;
    pose.centerY = rig.mouthY;
    pose.viseme = static_cast<int>(viseme);
    pose.round = round;
    // Spreading widens the mouth, rounding purses it, and an open jaw draws
    // the corners in a little.
    pose.halfWidth = rig.mouthWidth / 2.0 * (0.82 + 0.36 * width) * (1.0 - 0.4 * round) * (1.0 - 0.08 * open);
    const double opening = rig.mouthOpenHeight * open;
    // The jaw carries the lower lip; the upper lip lifts less.
    pose.upperLift = opening * 0.3;
    pose.lowerDrop = opening * 0.7;
    pose.lipThickness = rig.lipThickness * (1.0 + 0.45 * round) * (viseme == Viseme::Closure ? 0.8 : 1.0);
    pose.teeth = open > 0.0 ? teeth : 0.0;
    // A friendly face rests with a slight smile; rounding the lips takes it away.
    pose.smile = rig.mouthWidth * 0.06 * (1.0 - round) * (0.7 + 0.3 * width);
    return pose;
}

MouthPose blendPoses(const MouthPose& a, const MouthPose& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    MouthPose pose;
    pose.centerX = mix(a.centerX, b.centerX, t);
    pose.centerY = mix(a.centerY, b.centerY, t);
    pose.halfWidth = mix(a.halfWidth, b.halfWidth, t);
    pose.upperLift = mix(a.upperLift, b.upperLift, t);
    pose.lowerDrop = mix(a.lowerDrop, b.lowerDrop, t);
    pose.lipThickness = mix(a.lipThickness, b.lipThickness, t);
    pose.teeth = mix(a.teeth, b.teeth, t);
    pose.round = mix(a.round, b.round, t);
    pose.smile = mix(a.smile, b.smile, t);
    pose.viseme = t < 0.5 ? a.viseme : b.viseme;
    return pose;
}

Blinker::Blinker(const TjmRig& rig, std::uint32_t seed)
    : every_(std::max<std::int64_t>(rig.blinkEveryMs, 100)), duration_(std::max<std::int64_t>(rig.blinkMs, 20)),
      seed_(seed), state_(seed)
{
    scheduleFrom(0);
}

void Blinker::restart(std::int64_t ms) { scheduleFrom(ms); }

void Blinker::scheduleFrom(std::int64_t ms)
{
    state_ = seed_;
    last_ = ms;
    nextBlink_ = ms + nextInterval();
    doubleBlink_ = false;
}

std::int64_t Blinker::nextInterval()
{
    state_ = state_ * 1664525u + 1013904223u;
    const double r = (state_ >> 8) / double(1u << 24); // 0 to 1
    return static_cast<std::int64_t>(every_ * (0.5 + r));
}

double Blinker::lidClosure(std::int64_t ms)
{
    if (ms < last_ || ms - nextBlink_ > 100 * every_)
        scheduleFrom(ms);
    last_ = ms;
    const std::int64_t gap = duration_ * 13 / 10; // between the two blinks of a double blink
    for (;;) {
        const std::int64_t span = doubleBlink_ ? gap + duration_ : duration_;
        if (ms < nextBlink_ + span)
            break;
        nextBlink_ += span + nextInterval();
        doubleBlink_ = (state_ >> 28) < 2; // about one blink in eight
    }
    const std::int64_t phase = ms - nextBlink_;
    if (phase < 0)
        return 0.0;
    const double first = blinkProfile(double(phase) / double(duration_));
    const double second = doubleBlink_ ? blinkProfile(double(phase - gap) / double(duration_)) : 0.0;
    return std::max(first, second);
}

TjmRig neutralRig(std::uint16_t width, std::uint16_t height)
{
    width = std::clamp<std::uint16_t>(width, 16, 8192);
    height = std::clamp<std::uint16_t>(height, 16, 8192);
    const TjmRig base;
    const auto sx = [&](std::uint16_t v) { return static_cast<std::uint16_t>(std::max(1, v * width / 512)); };
    const auto sy = [&](std::uint16_t v) { return static_cast<std::uint16_t>(std::max(1, v * height / 512)); };
    TjmRig rig = base;
    rig.faceWidth = width;
    rig.faceHeight = height;
    rig.mouthX = sx(base.mouthX);
    rig.mouthY = sy(base.mouthY);
    rig.mouthWidth = std::max<std::uint16_t>(4, sx(base.mouthWidth));
    rig.mouthOpenHeight = sy(base.mouthOpenHeight);
    rig.lipThickness = std::min(sy(base.lipThickness), rig.mouthWidth);
    rig.leftEyeX = sx(base.leftEyeX);
    rig.leftEyeY = sy(base.leftEyeY);
    rig.rightEyeX = sx(base.rightEyeX);
    rig.rightEyeY = sy(base.rightEyeY);
    rig.eyeWidth = std::max<std::uint16_t>(2, sx(base.eyeWidth));
    rig.eyeHeight = std::max<std::uint16_t>(2, sy(base.eyeHeight));
    return rig;
}

} // namespace pavonia
