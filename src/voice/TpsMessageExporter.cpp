#include "voice/TpsMessageExporter.h"

#include "voice/AudioConvert.h"
#include "voice/TpsFile.h"

namespace pavonia {

namespace {

struct QualityLayout {
    int maxRate;
    bool mono;
    int bits;
};

QualityLayout layoutFor(int soundQuality)
{
    switch (soundQuality) {
    case 1: return {44100, false, 16};
    case 3: return {11025, true, 8};
    default: return {22050, true, 16};
    }
}

} // namespace

bool TpsMessageExporter::LoadTpsFile(const std::string& path)
{
    TalkingMessage message;
    error_ = {};
    if (const Result<> read = readTps(path, message); !read) {
        error_ = read.failure();
        message_.reset();
        return false;
    }
    message_ = std::move(message);
    return true;
}

bool TpsMessageExporter::SaveTpsFile(const std::string& path, int soundQuality)
{
    error_ = {};
    if (!message_) {
        error_ = Failure(str::VoiceNotMessage, {path});
        return false;
    }
    const QualityLayout layout = layoutFor(soundQuality);
    TalkingMessage out = *message_;
    if (!out.voice.empty()) {
        if (layout.mono)
            out.voice = mixToMono(out.voice);
        if (out.voice.sampleRate > layout.maxRate)
            out.voice = resample(out.voice, layout.maxRate);
    }
    // The frames keep their 40 ms timing whatever the rate, so they stay as
    // they are.
    if (const Result<> written = writeTps(path, out, TpsWriteOptions{layout.bits}); !written) {
        error_ = written.failure();
        return false;
    }
    return true;
}

} // namespace pavonia
