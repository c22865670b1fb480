#pragma once
// The RIFF/WAVE container shared by wave files and talking messages: the
// chunk list of a "RIFF....WAVE" file, every size checked against the bytes
// that are there, and the "fmt "/"data" pair read into 16-bit sound.
#include "platform/LittleEndian.h"
#include "voice/PcmAudio.h"
#include "platform/Result.h"
#include "platform/StringTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia::riff {

struct Chunk {
    std::string_view id;   // four characters
    std::string_view body; // exactly the chunk's declared size
};

// Splits `bytes` into the chunks of a RIFF/WAVE file named `name`. Fails
// with `notRiffText` (its place filled by the name) when the bytes are not
// a RIFF/WAVE file, and with `damagedText` (the name, then which size runs
// past the data) when the RIFF size or a chunk size does.
Result<std::vector<Chunk>> parseChunks(std::string_view bytes, const std::string& name, int notRiffText,
                                       int damagedText);

// The first chunk named `id`, or null.
const Chunk* findChunk(const std::vector<Chunk>& chunks, std::string_view id);

// Reads the "fmt " and "data" chunks as 8- or 16-bit PCM, mono or stereo,
// 8000-48000 Hz, into 16-bit sound. `damagedText` is the string-table text
// for damaged content, so talking messages say "message" and waves "wave".
Result<> readPcm(const std::vector<Chunk>& chunks, PcmAudio& audio, const std::string& name, int damagedText);

// Appends a chunk (with its pad byte for an odd size).
void appendChunk(std::string& out, std::string_view id, std::string_view body);
// The "fmt " chunk body for PCM of `audio`'s layout at `bitsPerSample`.
std::string pcmFormatBody(const PcmAudio& audio, int bitsPerSample);
// The "data" chunk body: the samples as 16-bit or 8-bit (unsigned) PCM.
std::string pcmDataBody(const PcmAudio& audio, int bitsPerSample);
// Wraps chunk bytes into "RIFF" size "WAVE".
std::string riffFile(std::string_view chunks);

// The largest file a RIFF size field can describe.
constexpr std::uint64_t kMaxRiffFileSize = 0xffffffffull + 8;

// readWholeFile and writeFileReplacing of platform/FileOps with their
// failures told as voice failures: the whole file (str::VoiceTooLong for a
// file larger than `maxSize`, checked before anything is read); and `bytes`
// written over `path` through a temporary, the old file left intact when
// anything fails (a link at `path` is replaced, never written through).
Result<> readVoiceFile(const std::string& path, std::string& bytes, std::uint64_t maxSize = kMaxRiffFileSize);
Result<> writeVoiceFile(const std::string& path, std::string_view bytes);

} // namespace pavonia::riff
