#include "voice/RiffChunks.h"

#include "platform/FileOps.h"
#include "voice/WaveFile.h"

#include <cerrno>

namespace pavonia::riff {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
// Real files have a handful of chunks; a file of millions of empty ones
// must not make the chunk list grow without end.
constexpr std::size_t kMaxChunks = 4096;
constexpr std::uint16_t kFormatExtensible = 0xfffe;

} // namespace

Result<std::vector<Chunk>> parseChunks(std::string_view bytes, const std::string& name, int notRiffText,
                                       int damagedText)
{
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return Failure(notRiffText, {name});
    const auto damaged = [&](std::string detail) { return Failure(damagedText, {name, std::move(detail)}); };
    const std::uint64_t riffEnd = std::uint64_t(u32At(bytes, 4)) + 8;
    if (riffEnd > bytes.size())
        return damaged("the RIFF size runs past the end of the file");
    std::vector<Chunk> chunks;
    // Bytes after the RIFF body (some tools append tags) are not ours to read.
    const std::string_view body = bytes.substr(0, std::size_t(riffEnd));
    std::size_t at = 12;
    while (at < body.size()) {
        if (chunks.size() == kMaxChunks)
            return damaged("more than " + std::to_string(kMaxChunks) + " chunks");
        if (body.size() - at < 8)
            return damaged("a chunk header is cut off");
        const std::string_view id = body.substr(at, 4);
        const std::uint32_t size = u32At(body, at + 4);
        at += 8;
        if (size > body.size() - at)
            return damaged("the \"" + std::string(id) + "\" chunk runs past the end of the file");
        chunks.push_back({id, body.substr(at, size)});
        at += size;
        if (size % 2 == 1 && at < body.size())
            ++at; // pad byte; a writer may leave it off the last chunk
    }
    return chunks;
}

const Chunk* findChunk(const std::vector<Chunk>& chunks, std::string_view id)
{
    for (const Chunk& chunk : chunks)
        if (chunk.id == id)
            return &chunk;
    return nullptr;
}

Result<> readPcm(const std::vector<Chunk>& chunks, PcmAudio& audio, const std::string& name, int damagedText)
{
    const Chunk* fmt = findChunk(chunks, "fmt ");
    if (!fmt)
        return Failure(damagedText, {name, "the \"fmt \" chunk is missing"});
    const std::string_view f = fmt->body;
    if (f.size() < 16)
        return Failure(damagedText, {name, "the \"fmt \" chunk is too short"});
    std::uint16_t tag = u16At(f, 0);
    const int channels = u16At(f, 2);
    const std::uint32_t rate = u32At(f, 4);
    const std::uint32_t byteRate = u32At(f, 8);
    const int blockAlign = u16At(f, 12);
    const int bits = u16At(f, 14);
    if (tag == kFormatExtensible) {
        // cbSize, valid bits, channel mask, then the sub-format GUID whose
        // first two bytes are the plain format tag.
        if (f.size() < 40 || u16At(f, 16) < 22)
            return Failure(damagedText, {name, "the extensible \"fmt \" chunk is too short"});
        tag = u16At(f, 24);
        if (u16At(f, 18) != bits)
            return Failure(str::VoiceUnsupportedWave,
                           {name, std::to_string(u16At(f, 18)) + " valid bits in " +
                            std::to_string(bits) + "-bit samples"});
    }
    if (tag != kFormatPcm)
        return Failure(str::VoiceUnsupportedWave,
                       {name, "compressed format " + std::to_string(tag) + " (only plain PCM is read)"});
    if (bits != 8 && bits != 16)
        return Failure(str::VoiceUnsupportedWave, {name, std::to_string(bits) + "-bit samples"});
    if (channels != 1 && channels != 2)
        return Failure(str::VoiceUnsupportedWave, {name, std::to_string(channels) + " channels"});
    if (rate < std::uint32_t(kMinSampleRate) || rate > std::uint32_t(kMaxSampleRate))
        return Failure(str::VoiceUnsupportedWave, {name, std::to_string(rate) + " Hz"});
    const int frameBytes = channels * bits / 8;
    if (blockAlign != frameBytes || byteRate != rate * std::uint32_t(frameBytes))
        return Failure(damagedText, {name, "the block size or byte rate does not match the format"});

    const Chunk* data = findChunk(chunks, "data");
    if (!data)
        return Failure(damagedText, {name, "the \"data\" chunk is missing"});
    if (data->body.size() % std::size_t(frameBytes) != 0)
        return Failure(damagedText, {name, "the \"data\" chunk ends inside a sample"});

    PcmAudio out;
    out.sampleRate = int(rate);
    out.channels = channels;
    const std::string_view d = data->body;
    if (bits == 16) {
        out.samples.resize(d.size() / 2);
        for (std::size_t i = 0; i < out.samples.size(); ++i)
            out.samples[i] = std::int16_t(u16At(d, 2 * i));
    } else {
        out.samples.resize(d.size());
        for (std::size_t i = 0; i < d.size(); ++i)
            out.samples[i] = std::int16_t((int(std::uint8_t(d[i])) - 128) * 256);
    }
    audio = std::move(out);
    return {};
}

void appendChunk(std::string& out, std::string_view id, std::string_view body)
{
    out += id;
    appendU32(out, std::uint32_t(body.size()));
    out += body;
    if (body.size() % 2 == 1)
        out += '\0';
}

std::string pcmFormatBody(const PcmAudio& audio, int bitsPerSample)
{
    const int frameBytes = audio.channels * bitsPerSample / 8;
    std::string f;
    appendU16(f, kFormatPcm);
    appendU16(f, std::uint16_t(audio.channels));
    appendU32(f, std::uint32_t(audio.sampleRate));
    appendU32(f, std::uint32_t(audio.sampleRate * frameBytes));
    appendU16(f, std::uint16_t(frameBytes));
    appendU16(f, std::uint16_t(bitsPerSample));
    return f;
}

std::string pcmDataBody(const PcmAudio& audio, int bitsPerSample)
{
    std::string d;
    if (bitsPerSample == 8) {
        d.resize(audio.samples.size());
        for (std::size_t i = 0; i < audio.samples.size(); ++i) {
            // Rounded to the nearest 8-bit step, kept inside the range.
            const int v = (int(audio.samples[i]) + 128) >> 8;
            d[i] = char(std::uint8_t(std::min(v, 127) + 128));
        }
    } else {
        d.resize(audio.samples.size() * 2);
        for (std::size_t i = 0; i < audio.samples.size(); ++i) {
            putU16(reinterpret_cast<std::uint8_t*>(d.data() + 2 * i), std::uint16_t(audio.samples[i]));
        }
    }
    return d;
}

std::string riffFile(std::string_view chunks)
{
    std::string out = "RIFF";
    appendU32(out, std::uint32_t(chunks.size() + 4));
    out += "WAVE";
    out += chunks;
    return out;
}

Result<> readVoiceFile(const std::string& path, std::string& bytes, std::uint64_t maxSize)
{
    switch (readWholeFile(path, maxSize, bytes)) {
    case FileRead::Ok:
        return {};
    case FileRead::TooLarge:
        return Failure(str::VoiceTooLong, {path});
    case FileRead::CannotOpen:
    case FileRead::Failed:
        break;
    }
    return Failure(str::VoiceCannotOpen, {path}, errno);
}

Result<> writeVoiceFile(const std::string& path, std::string_view bytes)
{
    // Voice files are written as working files: a link in their place is
    // replaced, never written through.
    if (!writeFileReplacing(path, bytes, LinkTarget::Replace))
        return Failure(str::VoiceWriteFailed, {path}, errno);
    return {};
}

} // namespace pavonia::riff
