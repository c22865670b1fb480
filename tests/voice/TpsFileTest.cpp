#include "ResultCheck.h"
#include "TestInstallation.h"
#include "VoiceFormatSounds.h"
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pavonia;
using pavonia::test::succeeded;
using pavonia::test::TestInstallation;

namespace {

TalkingMessage sampleMessage(int rate = 22050, int channels = 1, std::int64_t ms = 300)
{
    TalkingMessage message;
    message.voice = test::sine(330, ms, rate, channels);
    for (std::int64_t t = 0; t < ms; t += kLipSyncFrameMs)
        message.frames.push_back({int16_t(t % 100), 60, 10, 20, 70, int16_t(Viseme::MidVowel)});
    return message;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Offset of a chunk's size field in a file written by tpsBytes.
std::size_t chunkAt(const std::string& bytes, const std::string& id)
{
    return bytes.find(id, 12) + 4;
}

void putU32At(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = char(v >> (8 * i));
}

} // namespace

TEST(TpsFile, KeepsVoiceFramesAndTextMode)
{
    struct Case {
        int rate, channels, bits;
        bool textMode;
    };
    for (const Case c : {Case{22050, 1, 16, false}, Case{44100, 2, 16, false}, Case{8000, 1, 8, false},
                         Case{22050, 1, 16, true}}) {
        TalkingMessage message = sampleMessage(c.rate, c.channels);
        message.textMode = c.textMode;
        if (c.textMode)
            message.text = "Grüße, \"hello\"";
        TalkingMessage back;
        Failure error;
        ASSERT_TRUE(succeeded(readTpsBytes(tpsBytes(message, {c.bits}), back), error)) << error.text();
        EXPECT_EQ(back.voice.sampleRate, c.rate);
        EXPECT_EQ(back.voice.channels, c.channels);
        EXPECT_EQ(back.frames, message.frames);
        EXPECT_EQ(back.textMode, c.textMode);
        EXPECT_EQ(back.text, message.text);
        ASSERT_EQ(back.voice.samples.size(), message.voice.samples.size());
        const int tolerance = c.bits == 8 ? 128 : 0;
        for (std::size_t i = 0; i < back.voice.samples.size(); ++i)
            ASSERT_LE(std::abs(back.voice.samples[i] - message.voice.samples[i]), tolerance) << i;
    }
}

TEST(TpsFile, MutedMeansUnder512BytesAndOnlyWithoutVoice)
{
    TestInstallation inst;
    // The installation's messages are valid, empty and small.
    for (const char* name : {"default_tps.tps", "MuteVoice.tps"}) {
        const std::string path = inst.folder() + name;
        EXPECT_LT(std::filesystem::file_size(path), kMutedMessageSize) << name;
        EXPECT_EQ(checkTps(path), TpsKind::Empty) << name;
        TalkingMessage message;
        EXPECT_TRUE(readTps(path, message)) << name;
        EXPECT_TRUE(message.empty());
    }
    // Even one sample of voice makes a message that is not taken for muted.
    TalkingMessage tiny;
    tiny.voice.samples = {1000};
    const std::string path = inst.root() + "tiny.tps";
    ASSERT_TRUE(writeTps(path, tiny));
    EXPECT_GE(std::filesystem::file_size(path), kMutedMessageSize);
    EXPECT_EQ(checkTps(path), TpsKind::Voice);
    TalkingMessage back;
    ASSERT_TRUE(readTps(path, back));
    EXPECT_EQ(back.voice.samples, tiny.voice.samples);

    // Around the limit, where the padding chunk's header alone may be enough.
    for (std::size_t samples = 200; samples < 230; ++samples) {
        tiny.voice.samples.assign(samples, 7);
        const std::string bytes = tpsBytes(tiny);
        EXPECT_GE(bytes.size(), kMutedMessageSize) << samples;
        EXPECT_LE(bytes.size(), std::max<std::size_t>(kMutedMessageSize + 8, 76 + 2 * samples)) << samples;
        ASSERT_TRUE(readTpsBytes(bytes, back)) << samples;
        EXPECT_EQ(back.voice.samples, tiny.voice.samples);
    }
}

TEST(TpsFile, CheckTellsTheKindsTheVoicePageNeeds)
{
    TestInstallation inst(false);
    const std::string root = inst.root();
    TalkingMessage text;
    text.textMode = true;
    text.text = "Welcome";
    ASSERT_TRUE(writeTps(root + "text.tps", text));
    ASSERT_TRUE(writeTps(root + "voice.tps", sampleMessage()));
    ASSERT_TRUE(writeWave(root + "plain.wav", test::sine(440, 100)));
    writeBytes(root + "junk.tps", "not a message at all");

    EXPECT_EQ(checkTps(root + "text.tps"), TpsKind::TextMode);
    EXPECT_EQ(int(checkTps(root + "text.tps")), 3);
    EXPECT_EQ(checkTps(root + "voice.tps"), TpsKind::Voice);
    EXPECT_EQ(checkTps(root + "plain.wav"), TpsKind::Damaged);
    EXPECT_EQ(checkTps(root + "junk.tps"), TpsKind::Damaged);
    EXPECT_EQ(checkTps(root + "none.tps"), TpsKind::Missing);

    // A message is a wave file that ordinary tools play.
    PcmAudio audio;
    EXPECT_TRUE(readWave(root + "voice.tps", audio));
    EXPECT_EQ(audio.samples, sampleMessage().voice.samples);
    if (std::system("sox --version >/dev/null 2>&1") == 0) {
        EXPECT_EQ(std::system(("sox -t wav '" + root + "voice.tps' -n 2>/dev/null").c_str()), 0);
    }

    Failure error;
    TalkingMessage message;
    EXPECT_FALSE(succeeded(readTps(root + "plain.wav", message), error));
    EXPECT_EQ(error.message, str::VoiceNotMessage);
}

TEST(TpsFile, EveryCutOfAMessageIsRefused)
{
    const std::string bytes = tpsBytes(sampleMessage(22050, 1, 60));
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        TalkingMessage message;
        Failure error;
        ASSERT_FALSE(succeeded(readTpsBytes(std::string_view(bytes).substr(0, size), message), error)) << size;
        ASSERT_TRUE(error.message == str::VoiceNotMessage || error.message == str::VoiceDamagedMessage) << size;
    }
}

TEST(TpsFile, LyingHeadersAndValuesAreRefused)
{
    const std::string good = tpsBytes(sampleMessage());
    const std::size_t header = chunkAt(good, "pvtm") + 4;
    const std::size_t lips = chunkAt(good, "lips");
    struct Case {
        const char* what;
        std::string bytes;
        int text;
    };
    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::string b = good;
        putU32At(b, at, value);
        return b;
    };
    auto frameValue = [&](std::size_t frame, std::size_t field, std::int16_t value) {
        std::string b = good;
        const std::size_t at = lips + 4 + frame * 12 + field * 2;
        b[at] = char(value & 0xff);
        b[at + 1] = char(std::uint16_t(value) >> 8);
        return b;
    };
    const Case cases[] = {
        {"frame count larger than the frames", patched(header + 12, 9), str::VoiceDamagedMessage},
        {"frame count huge", patched(header + 12, 0xffffffffu), str::VoiceDamagedMessage},
        {"frame interval other than 40 ms", patched(header + 8, 20), str::VoiceDamagedMessage},
        {"lips chunk longer than the file", patched(lips, 0x7fffffff), str::VoiceDamagedMessage},
        {"RIFF size past the end", patched(4, std::uint32_t(good.size())), str::VoiceDamagedMessage},
        {"newer major version", patched(header, 2), str::VoiceNewerMessage},
        {"version 0", patched(header, 0), str::VoiceDamagedMessage},
        {"open above 100", frameValue(2, 0, 101), str::VoiceDamagedMessage},
        {"negative width", frameValue(0, 1, -1), str::VoiceDamagedMessage},
        {"unknown mouth shape", frameValue(1, 5, 8), str::VoiceDamagedMessage},
    };
    for (const Case& c : cases) {
        TalkingMessage message;
        Failure error;
        EXPECT_FALSE(succeeded(readTpsBytes(c.bytes, message, "m.tps"), error)) << c.what;
        EXPECT_EQ(error.message, c.text) << c.what << ": " << error.text();
    }

    // Millions of empty chunks are refused before they fill the memory.
    std::string many = good;
    for (int i = 0; i < 5000; ++i)
        many += std::string("zero\0\0\0\0", 8);
    putU32At(many, 4, std::uint32_t(many.size() - 8));
    TalkingMessage ignored;
    Failure manyError;
    EXPECT_FALSE(succeeded(readTpsBytes(many, ignored), manyError));
    EXPECT_EQ(manyError.message, str::VoiceDamagedMessage);

    // A later minor version with a longer header and chunks of its own reads.
    std::string later = good;
    later[header + 2] = 7;
    later += "futr" + std::string("\x03\x00\x00\x00xyz\x00", 8);
    putU32At(later, 4, std::uint32_t(later.size() - 8));
    TalkingMessage message;
    Failure error;
    EXPECT_TRUE(succeeded(readTpsBytes(later, message), error)) << error.text();
    EXPECT_EQ(message.frames, sampleMessage().frames);
}

TEST(TpsFile, WritesReplaceTheFileWhole)
{
    TestInstallation inst(false);
    const std::string folder = inst.root() + "messages/";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "m.tps";
    ASSERT_TRUE(writeTps(path, sampleMessage()));
    ASSERT_TRUE(writeTps(path, sampleMessage(11025, 2, 120)));
    TalkingMessage back;
    ASSERT_TRUE(readTps(path, back));
    EXPECT_EQ(back.voice.channels, 2);

    // A voice the format cannot hold is refused, and the file kept.
    TalkingMessage bad = sampleMessage();
    bad.voice.sampleRate = 0;
    Failure error;
    EXPECT_FALSE(succeeded(writeTps(path, bad), error));
    EXPECT_EQ(error.message, str::VoiceUnsupportedWave);
    EXPECT_FALSE(succeeded(writeTps(folder + "no/m.tps", sampleMessage()), error));
    EXPECT_EQ(error.message, str::VoiceWriteFailed);
    ASSERT_TRUE(readTps(path, back));
    EXPECT_EQ(back.voice.sampleRate, 11025);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}
