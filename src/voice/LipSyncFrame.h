#pragma once
// One lip-sync frame: the six values the talking-image player takes to draw
// the mouth at one moment of the message. Frames follow each other every
// kLipSyncFrameMs milliseconds from the start of the voice.
#include <array>
#include <cstdint>

namespace pavonia {

constexpr int kLipSyncFrameMs = 40; // 25 frames a second

// Mouth shapes the analysis tells apart (value `viseme`).
enum class Viseme : int16_t {
    Rest = 0,      // silence: mouth closed
    OpenVowel = 1, // a, as in "father": jaw wide open
    MidVowel = 2,  // e, as in "bed": open and spread
    CloseFront = 3,// i, as in "see": spread, little opening
    Rounded = 4,   // o, u: rounded lips
    Closure = 5,   // m, b, p: lips pressed
    Fricative = 6, // f, s, sh, th: teeth showing, small opening
    Consonant = 7, // other voiced consonants: small neutral opening
};

// The talking-image player receives a frame as six properties, in this order
// of fields: 10 open, 41 width, 63 round, 64 teeth, 65 energy (16-bit each)
// and 62 viseme (32-bit); then 61 with 2 shows the frame.
struct LipSyncFrame {
    int16_t open = 0;   // jaw opening, 0 (closed) to 100 (wide open)
    int16_t width = 50; // mouth width, 0 (narrow, pursed) to 100 (spread); 50 neutral
    int16_t round = 0;  // lip rounding, 0 to 100
    int16_t teeth = 0;  // how much the teeth show, 0 to 100
    int16_t energy = 0; // loudness, 0 to 100 (drives small head and brow motion)
    int16_t viseme = 0; // a Viseme value

    bool mouthClosed() const { return open == 0; }
    std::array<int16_t, 6> values() const { return {open, width, round, teeth, energy, viseme}; }
    static LipSyncFrame fromValues(const std::array<int16_t, 6>& v)
    {
        return {v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    friend bool operator==(const LipSyncFrame&, const LipSyncFrame&) = default;
};

} // namespace pavonia
