#pragma once
// MP3 decoding through libmpg123. A damaged or foreign file gives an error,
// never a crash; decoding never runs past the file.
#include "voice/PcmAudio.h"
#include "voice/VoiceError.h"

#include <string>

namespace pavonia {

// Decodes `path` into 16-bit sound at the file's rate and channel count
// (mono or stereo).
bool decodeMp3(const std::string& path, PcmAudio& audio, VoiceError* error = nullptr);

// The wave library's MP3 entry the slide voice page calls: decodes `source`
// into a 16-bit PCM wave file at `target` (replaced) and reports its sample
// rate, channel count and bits per sample through the three out values
// (each may be null). Returns 0 on success, another number on failure:
// 1 the source cannot be opened or is not MP3, 2 it is damaged or empty,
// 3 the wave file cannot be written. `error`, when given, tells the detail.
int NBWaveDecodeMp3File(const std::string& source, int* sampleRate, int* channels,
                        int* bitsPerSample, const std::string& target,
                        VoiceError* error = nullptr);

} // namespace pavonia
