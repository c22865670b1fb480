#include "voice/WaveFile.h"

#include "voice/RiffChunks.h"

#include <limits>
#include <vector>

namespace pavonia {

bool readWave(const std::string& path, PcmAudio& audio, VoiceError* error)
{
    std::string bytes;
    if (!riff::readVoiceFile(path, bytes, error))
        return false;
    return readWaveBytes(bytes, audio, error, path);
}

bool readWaveBytes(std::string_view bytes, PcmAudio& audio, VoiceError* error, const std::string& name)
{
    std::vector<riff::Chunk> chunks;
    std::string detail;
    switch (riff::parseChunks(bytes, chunks, detail)) {
    case riff::ParseResult::NotRiff:
        return fail(error, str::VoiceNotWave, name);
    case riff::ParseResult::Damaged:
        return fail(error, str::VoiceDamagedWave, name, detail);
    case riff::ParseResult::Ok:
        break;
    }
    return riff::readPcm(chunks, audio, error, name, str::VoiceDamagedWave);
}

std::string waveBytes(const PcmAudio& audio, int bitsPerSample)
{
    std::string chunks;
    riff::appendChunk(chunks, "fmt ", riff::pcmFormatBody(audio, bitsPerSample));
    riff::appendChunk(chunks, "data", riff::pcmDataBody(audio, bitsPerSample));
    return riff::riffFile(chunks);
}

bool writeWave(const std::string& path, const PcmAudio& audio, VoiceError* error, int bitsPerSample)
{
    if (bitsPerSample != 8)
        bitsPerSample = 16;
    const std::uint64_t dataBytes = std::uint64_t(audio.samples.size()) * (bitsPerSample / 8);
    if (dataBytes > std::numeric_limits<std::uint32_t>::max() - 64u)
        return fail(error, str::VoiceTooLong, path);
    return riff::writeVoiceFile(path, waveBytes(audio, bitsPerSample), error);
}

} // namespace pavonia
