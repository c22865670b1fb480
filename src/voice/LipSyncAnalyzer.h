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
    double silenceDb = 8.0;        // frames less than this above the noise floor are silent
    double rangeDb = 24.0;         // this far below the loudest sound nearby the jaw barely opens
    double quietestDb = -60.0;     // frames below this level (dB full scale) are always silent
    double loudestFloorDb = -40.0; // the noise floor never rises above this level
    double fricativeZcr = 0.25;    // zero crossings per sample of a fricative
    double fricativeHighShare = 0.40; // share of the energy above 3 kHz of a fricative
    double closureLowShare = 0.70; // share of the energy below 300 Hz of a closed-lip hum (m, n)
    double roundedRatio = 0.08;    // 1-3 kHz energy over 200-1000 Hz energy below this: rounded vowel
    double openF1Hz = 650.0;       // first formant estimate above this: open vowel
    double closeF1Hz = 450.0;      // first formant estimate below this ...
    double frontF2Hz = 1800.0;     // ... and second above this: close-front vowel
    double smoothing = 0.45;       // 0 none, below 1: weight of the previous frame in the mouth values
    // Reads the "[LipSync]" keys of `installDir` + "LIPSincData/lipsync.ini";
    // missing keys (or file) keep the defaults, and so do values out of range.
    static LipSyncSettings load(const std::string& installDir);
};

// One frame per started 40 ms of the voice.
std::vector<LipSyncFrame> analyseLipSync(const PcmAudio& audio);
std::vector<LipSyncFrame> analyseLipSync(const PcmAudio& audio, const LipSyncSettings& settings);

} // namespace pavonia
