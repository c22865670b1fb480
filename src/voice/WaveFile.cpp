#include "voice/WaveFile.h"

#include "voice/RiffChunks.h"

#include <limits>
#include <vector>

namespace pavonia {

Result<> readWave(const std::string& path, PcmAudio& audio)
{
    std::string bytes;
    if (Result<> read = riff::readVoiceFile(path, bytes); !read)
        return read;
    return readWaveBytes(bytes, audio, path);
}

Result<> readWaveBytes(std::string_view bytes, PcmAudio& audio, const std::string& name)
{
    const auto chunks = riff::parseChunks(bytes, name, str::VoiceNotWave, str::VoiceDamagedWave);
    if (!chunks)
        return chunks.failure();
    return riff::readPcm(*chunks, audio, name, str::VoiceDamagedWave);
}

std::string waveBytes(const PcmAudio& audio, int bitsPerSample)
{
    std::string chunks;
    riff::appendChunk(chunks, "fmt ", riff::pcmFormatBody(audio, bitsPerSample));
    riff::appendChunk(chunks, "data", riff::pcmDataBody(audio, bitsPerSample));
    return riff::riffFile(chunks);
}

Result<> writeWave(const std::string& path, const PcmAudio& audio, int bitsPerSample)
{
    if (bitsPerSample != 8)
        bitsPerSample = 16;
    const std::uint64_t dataBytes = std::uint64_t(audio.samples.size()) * (bitsPerSample / 8);
    if (dataBytes > std::numeric_limits<std::uint32_t>::max() - 64u)
        return Failure(str::VoiceTooLong, {path});
    return riff::writeVoiceFile(path, waveBytes(audio, bitsPerSample));
}

} // namespace pavonia
