#include "voice/TpsFile.h"

#include "platform/LittleEndian.h"
#include "voice/RiffChunks.h"
#include "voice/WaveFile.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <vector>

namespace pavonia {


namespace {

// "pvtm" chunk: u16 major, u16 minor, u32 flags, u32 frame interval (ms),
// u32 frame count. Later minor versions may append fields.
constexpr std::size_t kHeaderSize = 16;
constexpr std::uint32_t kFlagTextMode = 1;
constexpr std::size_t kFrameBytes = 12; // six 16-bit values

bool inPercentRange(int v) { return v >= 0 && v <= 100; }

bool validFrame(const LipSyncFrame& f)
{
    return inPercentRange(f.open) && inPercentRange(f.width) && inPercentRange(f.round) &&
           inPercentRange(f.teeth) && inPercentRange(f.energy) && f.viseme >= 0 &&
           f.viseme <= int(Viseme::Consonant);
}

Failure damaged(const std::string& name, std::string detail)
{
    return Failure(str::VoiceDamagedMessage, {name, std::move(detail)});
}

} // namespace

Result<> readTps(const std::string& path, TalkingMessage& message)
{
    std::string bytes;
    if (Result<> read = riff::readVoiceFile(path, bytes); !read)
        return read;
    return readTpsBytes(bytes, message, path);
}

Result<> readTpsBytes(std::string_view bytes, TalkingMessage& message, const std::string& name)
{
    const auto parsed = riff::parseChunks(bytes, name, str::VoiceNotMessage, str::VoiceDamagedMessage);
    if (!parsed)
        return parsed.failure();
    const std::vector<riff::Chunk>& chunks = *parsed;
    const riff::Chunk* header = riff::findChunk(chunks, "pvtm");
    if (!header) // a plain wave file, not one of ours
        return Failure(str::VoiceNotMessage, {name});
    const std::string_view h = header->body;
    if (h.size() < 4)
        return damaged(name, "the message header is too short");
    const int major = u16At(h, 0);
    if (major > kTpsMajorVersion)
        return Failure(str::VoiceNewerMessage, {name});
    if (major < 1)
        return damaged(name, "unknown message version " + std::to_string(major));
    if (h.size() < kHeaderSize)
        return damaged(name, "the message header is too short");
    const std::uint32_t flags = u32At(h, 4);
    const std::uint32_t interval = u32At(h, 8);
    const std::uint32_t frameCount = u32At(h, 12);
    if (interval != std::uint32_t(kLipSyncFrameMs))
        return damaged(name, "lip-sync frames every " + std::to_string(interval) + " ms");

    TalkingMessage out;
    if (Result<> voice = riff::readPcm(chunks, out.voice, name, str::VoiceDamagedMessage); !voice)
        return voice;

    const riff::Chunk* lips = riff::findChunk(chunks, "lips");
    const std::size_t lipsSize = lips ? lips->body.size() : 0;
    if (lipsSize % kFrameBytes != 0 || lipsSize / kFrameBytes != frameCount)
        return damaged(name, "the lip-sync frames do not match the header");
    out.frames.reserve(frameCount);
    for (std::size_t i = 0; i < frameCount; ++i) {
        std::array<int16_t, 6> v{};
        for (std::size_t k = 0; k < 6; ++k)
            v[k] = std::int16_t(u16At(lips->body, i * kFrameBytes + 2 * k));
        const LipSyncFrame frame = LipSyncFrame::fromValues(v);
        if (!validFrame(frame))
            return damaged(name, "lip-sync frame " + std::to_string(i) + " is out of range");
        out.frames.push_back(frame);
    }

    out.textMode = (flags & kFlagTextMode) != 0;
    if (const riff::Chunk* text = riff::findChunk(chunks, "text"))
        out.text = std::string(text->body);
    message = std::move(out);
    return {};
}

std::string tpsBytes(const TalkingMessage& message, const TpsWriteOptions& options)
{
    const int bits = options.bitsPerSample == 8 ? 8 : 16;
    std::string header;
    appendU16(header, std::uint16_t(kTpsMajorVersion));
    appendU16(header, std::uint16_t(kTpsMinorVersion));
    appendU32(header, message.textMode ? kFlagTextMode : 0);
    appendU32(header, std::uint32_t(kLipSyncFrameMs));
    appendU32(header, std::uint32_t(message.frames.size()));

    std::string lips;
    lips.reserve(message.frames.size() * kFrameBytes);
    for (const LipSyncFrame& frame : message.frames)
        for (const int16_t v : frame.values())
            appendU16(lips, std::uint16_t(v));

    // The header first, so a reader learns early what it reads; then the
    // plain wave chunks, then the frames.
    std::string chunks;
    riff::appendChunk(chunks, "pvtm", header);
    riff::appendChunk(chunks, "fmt ", riff::pcmFormatBody(message.voice, bits));
    riff::appendChunk(chunks, "data", riff::pcmDataBody(message.voice, bits));
    riff::appendChunk(chunks, "lips", lips);
    if (!message.text.empty())
        riff::appendChunk(chunks, "text", message.text);
    // A message with voice is never smaller than a muted one: pad it.
    const std::size_t total = chunks.size() + 12;
    if (!message.empty() && total < kMutedMessageSize) {
        // The padding chunk's own header may already be enough.
        const std::size_t body = total + 8 < kMutedMessageSize ? kMutedMessageSize - total - 8 : 0;
        riff::appendChunk(chunks, "JUNK", std::string(body, '\0'));
    }
    return riff::riffFile(chunks);
}

Result<> writeTps(const std::string& path, const TalkingMessage& message, const TpsWriteOptions& options)
{
    const std::uint64_t payload = std::uint64_t(message.voice.samples.size()) * 2 +
                                  std::uint64_t(message.frames.size()) * kFrameBytes +
                                  message.text.size();
    if (payload > std::numeric_limits<std::uint32_t>::max() - 1024u)
        return Failure(str::VoiceTooLong, {path});
    const PcmAudio& v = message.voice;
    if ((v.channels != 1 && v.channels != 2) || v.sampleRate < kMinSampleRate ||
        v.sampleRate > kMaxSampleRate || v.samples.size() % std::size_t(v.channels) != 0)
        return Failure(str::VoiceUnsupportedWave,
                       {path, std::to_string(v.channels) + " channels at " + std::to_string(v.sampleRate) + " Hz"});
    return riff::writeVoiceFile(path, tpsBytes(message, options));
}

TpsKind checkTps(const std::string& path)
{
    std::string bytes;
    if (!riff::readVoiceFile(path, bytes))
        return TpsKind::Missing;
    TalkingMessage message;
    if (!readTpsBytes(bytes, message, path))
        return TpsKind::Damaged;
    if (message.textMode)
        return TpsKind::TextMode;
    return message.empty() ? TpsKind::Empty : TpsKind::Voice;
}

bool isMutedMessageFile(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return true;
    const auto size = std::filesystem::file_size(path, ec);
    return ec || size < kMutedMessageSize;
}

} // namespace pavonia
