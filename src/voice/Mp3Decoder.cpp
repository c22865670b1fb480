#include "voice/Mp3Decoder.h"

#include "voice/WaveFile.h"

#include <mpg123.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <unistd.h>

namespace pavonia {

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* h) const
    {
        mpg123_close(h);
        mpg123_delete(h);
    }
};
using Mp3Handle = std::unique_ptr<mpg123_handle, HandleDeleter>;

// The longest sound decoded: what one wave file can hold.
constexpr std::uint64_t kMaxSamples = (std::numeric_limits<std::uint32_t>::max() - 1024u) / 2;

Result<> decode(const std::string& path, PcmAudio& audio)
{
    // Opening it ourselves tells "cannot open" apart from "not MP3".
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return Failure(str::VoiceCannotOpen, {path}, errno);
    }
    ::close(fd);

    mpg123_init(); // a no-op since 1.27, needed before
    int status = MPG123_OK;
    Mp3Handle handle(mpg123_new(nullptr, &status));
    if (!handle) {
        return Failure(str::VoiceMp3DecodeFailed, {path, mpg123_plain_strerror(status)});
    }
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Give up on garbage early rather than scanning a large foreign file.
    mpg123_param(handle.get(), MPG123_RESYNC_LIMIT, 64 * 1024, 0);
    // Every rate, mono or stereo, always 16-bit signed.
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (std::size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK) {
        return Failure(str::VoiceCannotOpen, {path, mpg123_strerror(handle.get())});
    }

    PcmAudio out;
    long rate = 0;
    int channels = 0;
    bool haveFormat = false;
    std::vector<unsigned char> buffer(64 * 1024);
    for (;;) {
        std::size_t got = 0;
        const int result = mpg123_read(handle.get(), buffer.data(), buffer.size(), &got);
        if (result == MPG123_NEW_FORMAT) {
            long r = 0;
            int c = 0, encoding = 0;
            mpg123_getformat(handle.get(), &r, &c, &encoding);
            if (haveFormat && (r != rate || c != channels)) {
                return Failure(str::VoiceMp3DecodeFailed,
                               {path, "the sample rate or channel count changes inside the file"});
            }
            rate = r;
            channels = c;
            haveFormat = true;
        }
        if (got > 0) {
            const std::size_t count = got / 2;
            if (out.samples.size() + count > kMaxSamples) {
                return Failure(str::VoiceTooLong, {path});
            }
            const std::size_t at = out.samples.size();
            out.samples.resize(at + count);
            std::memcpy(out.samples.data() + at, buffer.data(), count * 2);
        }
        if (result == MPG123_DONE)
            break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            // A damaged tail still leaves what came before it usable; a file
            // with nothing decodable is refused below.
            if (out.samples.empty()) {
                return Failure(str::VoiceMp3DecodeFailed, {path, mpg123_strerror(handle.get())});
            }
            break;
        }
    }
    if (!haveFormat || out.samples.empty()) {
        return Failure(str::VoiceMp3DecodeFailed, {path, "no MP3 sound found in the file"});
    }
    if (channels != 1 && channels != 2) {
        return Failure(str::VoiceMp3DecodeFailed, {path, std::to_string(channels) + " channels"});
    }
    out.sampleRate = int(rate);
    out.channels = channels;
    out.samples.resize(out.samples.size() - out.samples.size() % std::size_t(channels));
    audio = std::move(out);
    return {};
}

} // namespace

Result<> decodeMp3(const std::string& path, PcmAudio& audio)
{
    return decode(path, audio);
}

int NBWaveDecodeMp3File(const std::string& source, int* sampleRate, int* channels,
                        int* bitsPerSample, const std::string& target, Failure* failure)
{
    const auto failed = [&](const Result<>& result, int number) {
        if (failure)
            *failure = result.failure();
        return number;
    };
    PcmAudio audio;
    if (const Result<> decoded = decode(source, audio); !decoded)
        return failed(decoded, decoded.failure().message == str::VoiceCannotOpen ? 1 : 2);
    if (const Result<> written = writeWave(target, audio, 16); !written)
        return failed(written, 3);
    if (sampleRate)
        *sampleRate = audio.sampleRate;
    if (channels)
        *channels = audio.channels;
    if (bitsPerSample)
        *bitsPerSample = 16;
    return 0;
}

} // namespace pavonia
