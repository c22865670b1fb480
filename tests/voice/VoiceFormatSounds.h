#pragma once
// Sounds for the voice format tests: tones, speech made by espeak-ng, and
// MP3 files of silent frames built byte by byte (no encoder is needed).
#include "voice/PcmAudio.h"
#include "voice/WaveFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

namespace pavonia::test {

// A sine of `hz` at `amplitude` (0-32767), the same on every channel.
inline PcmAudio sine(double hz, std::int64_t ms, int rate = 22050, int channels = 1, double amplitude = 8000)
{
    PcmAudio audio;
    audio.sampleRate = rate;
    audio.channels = channels;
    const auto frames = std::size_t(ms * rate / 1000);
    for (std::size_t f = 0; f < frames; ++f) {
        const auto v = std::int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * double(f) / rate)));
        for (int c = 0; c < channels; ++c)
            audio.samples.push_back(v);
    }
    return audio;
}

inline double rms(const PcmAudio& audio)
{
    double sum = 0;
    for (const std::int16_t s : audio.samples)
        sum += double(s) * s;
    return audio.samples.empty() ? 0.0 : std::sqrt(sum / double(audio.samples.size()));
}

inline bool haveEspeak()
{
    return std::system("espeak-ng --version >/dev/null 2>&1") == 0;
}

// Speech of `text` by espeak-ng (22050 Hz mono); "[[...]]" gives phonemes.
// Empty when espeak-ng fails.
inline PcmAudio speak(const std::string& text, const std::string& folder)
{
    const std::string path = folder + "speech.wav";
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    PcmAudio audio;
    if (std::system(("espeak-ng -w '" + path + "' " + quoted + " >/dev/null 2>&1").c_str()) != 0)
        return audio;
    if (!readWave(path, audio))
        audio = PcmAudio();
    std::filesystem::remove(path);
    return audio;
}

// `frames` silent MPEG audio layer III frames at `rate` (an MPEG-1, -2 or
// -2.5 rate) with one or two channels: headers and all-zero side information,
// which decodes to 1152 (MPEG-1) or 576 zero samples a frame.
inline std::string silentMp3(int rate, int channels, int frames)
{
    int version = 0, rateIndex = 0;
    switch (rate) {
    case 44100: version = 3; rateIndex = 0; break;
    case 48000: version = 3; rateIndex = 1; break;
    case 32000: version = 3; rateIndex = 2; break;
    case 22050: version = 2; rateIndex = 0; break;
    case 24000: version = 2; rateIndex = 1; break;
    case 16000: version = 2; rateIndex = 2; break;
    case 11025: version = 0; rateIndex = 0; break;
    case 12000: version = 0; rateIndex = 1; break;
    default: version = 0; rateIndex = 2; break; // 8000
    }
    // 128 kbit/s for MPEG-1, 64 kbit/s for the others.
    const int bitrateIndex = version == 3 ? 9 : 8;
    const int size = (version == 3 ? 144000 * 128 : 72000 * 64) / rate;
    std::string frame(std::size_t(size), '\0');
    frame[0] = char(0xff);
    frame[1] = char(0xe0 | version << 3 | 1 << 1 | 1); // layer III, no CRC
    frame[2] = char(bitrateIndex << 4 | rateIndex << 2);
    frame[3] = char(channels == 1 ? 0xc0 : 0x00);
    std::string out;
    for (int i = 0; i < frames; ++i)
        out += frame;
    return out;
}

inline int samplesPerMp3Frame(int rate) { return rate >= 32000 ? 1152 : 576; }

} // namespace pavonia::test
