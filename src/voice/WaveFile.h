#pragma once
// Wave files: reading 8- and 16-bit PCM, mono or stereo, 8000-48000 Hz
// (also in the extensible header), into 16-bit sound; writing 16- or 8-bit
// PCM. Anything else (compressed formats, other sample sizes, truncated
// chunks, sizes that run past the data) is refused with a clear error.
#include "voice/PcmAudio.h"
#include "platform/Result.h"
#include "platform/StringTable.h"

#include <string>
#include <string_view>

namespace pavonia {

constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 48000;

Result<> readWave(const std::string& path, PcmAudio& audio);
// `name` is the file name used in errors.
Result<> readWaveBytes(std::string_view bytes, PcmAudio& audio, const std::string& name = {});

// A plain RIFF/WAVE file of `audio` ("fmt " and "data" chunks).
std::string waveBytes(const PcmAudio& audio, int bitsPerSample = 16);
// Writes through a temporary file beside `path` renamed into place.
Result<> writeWave(const std::string& path, const PcmAudio& audio, int bitsPerSample = 16);

} // namespace pavonia
