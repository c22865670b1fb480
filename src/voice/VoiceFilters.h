#pragma once
// The voice filters the voice filter dialog sets: pitch scale, head size,
// robot and echo, each switched on by its effect flag and set from 0 to 100.
//
// What the values mean:
//   Pitch scale  50 leaves the voice as it is; every step away from 50 moves
//                the pitch by 0.24 semitone, so 0 is one octave down (x0.5)
//                and 100 one octave up (x2). The length stays.
//   Head size    50 leaves the voice as it is; above 50 the head grows: the
//                formants (the resonances that give the voice its colour)
//                move down, at 100 by a factor 1/sqrt(2); below 50 they move
//                up, at 0 by sqrt(2). The pitch of the voice stays.
//   Robot        0 is off; 1 to 100 mix a metallic, monotone buzz (the voice
//                ring-modulated by a 60 Hz tone and run through a resonant
//                comb tuned to 100 Hz) into the voice, 100 being the buzz alone.
//   Echo         0 is off; 1 to 100 add repeating, decaying copies of the
//                voice: the delay grows from 60 ms to 360 ms and the level of
//                the first copy from 0.2 to 0.6 of the voice.
// Values outside 0 to 100 are taken as the nearest end. A filter switched on
// at its neutral value (pitch or head size 50, robot or echo 0) does nothing.
#include <cstdint>

#include "voice/PcmAudio.h"
#include "voice/VoiceEditRecord.h"

namespace pavonia {

// Applies the filters the record switches on to the voice from startMs to
// endMs (clamped to the voice). The voice keeps its length; everything outside
// the range is untouched, and the edges of the range are crossfaded with the
// voice as it was so that no click appears. With no filter to apply, the
// voice stays byte for byte the same. Returns false when nothing was changed
// (no filter, empty range or empty voice).
bool applyVoiceFilter(PcmAudio& audio, int64_t startMs, int64_t endMs,
                      const VoiceEditRecord& record);

// The settings as the filters use them (see above).
double voicePitchFactor(int32_t pitchScale);     // frequency factor, 0.5 to 2
double voiceFormantFactor(int32_t headSize);     // formant factor, 1/sqrt(2) to sqrt(2)
double voiceRobotMix(int32_t robot);             // 0 to 1
int voiceEchoDelayMs(int32_t echo);              // 60 to 360
double voiceEchoLevel(int32_t echo);             // 0.2 to 0.6 (0 when off)

} // namespace pavonia
