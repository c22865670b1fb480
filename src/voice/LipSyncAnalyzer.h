#pragma once
// Lip-sync analysis: mouth shapes from the sound itself. Every 40 ms frame
// of the voice is measured (loudness against an adaptive noise floor, zero
// crossings, the balance of a few frequency bands) and classed as silence,
// an open, mid, close-front or rounded vowel, a closure, a fricative or
// another consonant; the mouth values follow the class and the loudness and
// are smoothed so the mouth moves naturally. Silence gives a closed mouth
// (open == 0).
#include "voice/LipSyncFrame.h"
#include "voice/PcmAudio.h"

#include <string>
#include <vector>

namespace pavonia {

// Tuning of the analysis. The defaults are sound; the installation's
// "LIPSincData/lipsync.ini" may change them.
struct LipSyncSettings {
    double silenceDb = 10.0;       // frames less than this above the noise floor are silent
    double fullScaleDb = 30.0;     // this far above the floor the jaw opens fully
    double fricativeZcr = 0.30;    // zero crossings per sample above which noise is a fricative
    double fricativeHighRatio = 0.45; // share of energy above 3 kHz that marks a fricative
    double openLowRatio = 0.50;    // share of 250-1000 Hz energy of an open vowel
    double roundedMidRatio = 0.15; // at most this share of 1-3 kHz energy: rounded vowel
    double frontMidRatio = 0.40;   // at least this share of 1-3 kHz energy: close-front vowel
    double smoothing = 0.5;        // 0 none; weight of the previous frame in the mouth values
    // Reads "[LipSync]" keys of `installDir` + "LIPSincData/lipsync.ini";
    // missing keys (or file) keep the defaults, values out of range too.
    static LipSyncSettings load(const std::string& installDir);
};

// One frame per started 40 ms of the voice.
std::vector<LipSyncFrame> analyseLipSync(const PcmAudio& audio);
std::vector<LipSyncFrame> analyseLipSync(const PcmAudio& audio, const LipSyncSettings& settings);

} // namespace pavonia
