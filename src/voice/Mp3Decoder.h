#pragma once
// MP3 decoding through libmpg123. A damaged or foreign file gives an error,
// never a crash; decoding never runs past the file.
#include "voice/PcmAudio.h"
#include "platform/Result.h"
#include "platform/StringTable.h"

#include <string>

namespace pavonia {

// Decodes `path` into 16-bit sound at the file's rate and channel count
// (mono or stereo).
Result<> decodeMp3(const std::string& path, PcmAudio& audio);

// The wave library's MP3 entry the slide voice page calls: decodes `source`
// into a 16-bit PCM wave file at `target` (replaced) and reports its sample
// rate, channel count and bits per sample through the three out values
// (each may be null). Returns 0 on success, another number on failure:
// 1 the source cannot be opened or is not MP3, 2 it is damaged or empty,
// 3 the wave file cannot be written. `failure`, when given, tells why: the
// number is a thin layer over decodeMp3 and writeWave.
int NBWaveDecodeMp3File(const std::string& source, int* sampleRate, int* channels,
                        int* bitsPerSample, const std::string& target, Failure* failure = nullptr);

} // namespace pavonia
