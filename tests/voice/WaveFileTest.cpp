#include "ResultCheck.h"
#include "TestInstallation.h"
#include "VoiceFormatSounds.h"
#include "voice/WaveFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pavonia;
using pavonia::test::succeeded;
using pavonia::test::TestInstallation;

namespace {

std::string le16(unsigned v) { return {char(v & 0xff), char(v >> 8 & 0xff)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xffff) + le16(v >> 16); }

struct Fmt {
    unsigned tag = 1, channels = 1;
    std::uint32_t rate = 22050;
    unsigned bits = 16;
    int blockAlign = -1; // -1: the right one
};

std::string fmtBody(const Fmt& f)
{
    const unsigned block = f.blockAlign >= 0 ? unsigned(f.blockAlign) : f.channels * f.bits / 8;
    return le16(f.tag) + le16(f.channels) + le32(f.rate) + le32(f.rate * block) + le16(block) + le16(f.bits);
}

std::string chunk(const std::string& id, const std::string& body, std::int64_t declared = -1)
{
    std::string out = id + le32(std::uint32_t(declared >= 0 ? declared : std::int64_t(body.size()))) + body;
    if (body.size() % 2)
        out += '\0';
    return out;
}

std::string riff(const std::string& chunks) { return "RIFF" + le32(std::uint32_t(chunks.size() + 4)) + "WAVE" + chunks; }

} // namespace

TEST(WaveFile, ReadsPcmLayoutsIntoSixteenBitSound)
{
    // 8-bit is unsigned around 128; 16-bit is signed little-endian.
    PcmAudio audio;
    Failure error;
    ASSERT_TRUE(succeeded(readWaveBytes(riff(chunk("fmt ", fmtBody({1, 1, 8000, 8})) + chunk("data", std::string("\x80\xff\x00", 3))),
                              audio), error))
        << error.text();
    EXPECT_EQ(audio.sampleRate, 8000);
    EXPECT_EQ(audio.channels, 1);
    EXPECT_EQ(audio.samples, (std::vector<std::int16_t>{0, 127 * 256, -128 * 256}));

    ASSERT_TRUE(succeeded(readWaveBytes(riff(chunk("fmt ", fmtBody({1, 2, 48000, 16})) + chunk("LIST", "odd") +
                                   chunk("data", le16(1) + le16(0xffff) + le16(0x8000) + le16(0x7fff))),
                              audio), error))
        << error.text();
    EXPECT_EQ(audio.sampleRate, 48000);
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.samples, (std::vector<std::int16_t>{1, -1, -32768, 32767}));

    // The extensible header with the PCM sub-format, as many recorders write.
    std::string extensible = fmtBody({0xfffe, 2, 44100, 16}) + le16(22) + le16(16) + le32(3) + le16(1) +
                             std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 14);
    ASSERT_TRUE(succeeded(readWaveBytes(riff(chunk("fmt ", extensible) + chunk("data", le16(5) + le16(6))), audio), error))
        << error.text();
    EXPECT_EQ(audio.samples, (std::vector<std::int16_t>{5, 6}));
}

TEST(WaveFile, RefusesWhatItCannotReadWithTheReason)
{
    const std::string data = chunk("data", std::string(8, '\0'));
    const std::string good = chunk("fmt ", fmtBody({}));
    struct Case {
        const char* what;
        std::string bytes;
        int text;
    };
    const Case cases[] = {
        {"not RIFF", "ID3\x03" + std::string(40, '\0'), str::VoiceNotWave},
        {"empty", "", str::VoiceNotWave},
        {"ADPCM", riff(chunk("fmt ", fmtBody({0x11, 1, 22050, 4, 256})) + data), str::VoiceUnsupportedWave},
        {"float", riff(chunk("fmt ", fmtBody({3, 1, 22050, 32})) + data), str::VoiceUnsupportedWave},
        {"24-bit", riff(chunk("fmt ", fmtBody({1, 1, 22050, 24})) + data), str::VoiceUnsupportedWave},
        {"3 channels", riff(chunk("fmt ", fmtBody({1, 3, 22050, 16})) + data), str::VoiceUnsupportedWave},
        {"96 kHz", riff(chunk("fmt ", fmtBody({1, 1, 96000, 16})) + data), str::VoiceUnsupportedWave},
        {"4 kHz", riff(chunk("fmt ", fmtBody({1, 1, 4000, 16})) + data), str::VoiceUnsupportedWave},
        {"data size past the end", riff(good + chunk("data", "abcd", 4000)), str::VoiceDamagedWave},
        {"RIFF size past the end", riff(good + data) .replace(4, 4, le32(99999)), str::VoiceDamagedWave},
        {"cut inside a chunk header", riff(good + data + "LI"), str::VoiceDamagedWave},
        {"no data chunk", riff(good), str::VoiceDamagedWave},
        {"no fmt chunk", riff(data), str::VoiceDamagedWave},
        {"short fmt chunk", riff(chunk("fmt ", fmtBody({}).substr(0, 14)) + data), str::VoiceDamagedWave},
        {"block size lies", riff(chunk("fmt ", fmtBody({1, 2, 22050, 16, 2})) + data), str::VoiceDamagedWave},
        {"data ends inside a sample", riff(good + chunk("data", "abc")), str::VoiceDamagedWave},
    };
    for (const Case& c : cases) {
        PcmAudio audio = test::sine(440, 10);
        const PcmAudio before = audio;
        Failure error;
        EXPECT_FALSE(succeeded(readWaveBytes(c.bytes, audio, "x.wav"), error)) << c.what;
        EXPECT_EQ(error.message, c.text) << c.what << ": " << error.text();
        EXPECT_NE(error.text().find("x.wav"), std::string::npos) << c.what;
        EXPECT_EQ(audio.samples, before.samples) << c.what << " changed the sound";
    }
}

TEST(WaveFile, WritesWhatItReadsAndOrdinaryToolsRead)
{
    TestInstallation inst(false);
    const std::string folder = inst.root() + "waves/";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "tone.wav";
    const PcmAudio tone = test::sine(440, 250, 16000, 2);
    Failure error;
    ASSERT_TRUE(succeeded(writeWave(path, tone), error)) << error.text();
    PcmAudio back;
    ASSERT_TRUE(succeeded(readWave(path, back), error)) << error.text();
    EXPECT_EQ(back.sampleRate, 16000);
    EXPECT_EQ(back.channels, 2);
    EXPECT_EQ(back.samples, tone.samples);

    // 8-bit keeps each sample to within half a step of 256.
    ASSERT_TRUE(succeeded(writeWave(path, tone, 8), error));
    EXPECT_EQ(std::filesystem::file_size(path), 44 + tone.samples.size());
    ASSERT_TRUE(succeeded(readWave(path, back), error));
    for (std::size_t i = 0; i < tone.samples.size(); ++i)
        ASSERT_LE(std::abs(back.samples[i] - tone.samples[i]), 128) << i;

    if (std::system("sox --version >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("sox -t wav '" + path + "' -n 2>/dev/null").c_str()), 0);
    }

    // A failed write leaves neither the target nor a temporary file behind.
    EXPECT_FALSE(succeeded(writeWave(folder + "missing/tone.wav", tone), error));
    EXPECT_EQ(error.message, str::VoiceWriteFailed);
    EXPECT_FALSE(succeeded(readWave(folder + "missing/tone.wav", back), error));
    EXPECT_EQ(error.message, str::VoiceCannotOpen);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (!succeeded(writeWave(path, test::sine(200, 10)), error)) { // unless running as root
        ASSERT_TRUE(succeeded(readWave(path, back), error));
        EXPECT_EQ(back.frameCount(), tone.frameCount()) << "the old file was touched";
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++files;
    EXPECT_EQ(files, 1u);
}
