#include "CliRunner.h"
#include "TestProject.h"
#include "project/ProjectFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;
using namespace pavonia::test;

namespace {

std::string le16(unsigned v) { return {char(v & 0xff), char(v >> 8 & 0xff)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xffff) + le16(v >> 16); }

// A 16-bit mono wave: `ms` of a 150 Hz buzz with harmonics in 300 ms bursts.
std::string buzzWave(int ms, int rate = 16000)
{
    std::string data;
    for (int i = 0; i < ms * rate / 1000; ++i) {
        const double t = double(i) / rate;
        double v = 0;
        if (std::fmod(t, 0.6) < 0.3)
            for (int h = 1; h < 12; ++h)
                v += std::sin(2 * M_PI * 150 * h * t) / h;
        data += le16(std::uint16_t(std::int16_t(v * 5000)));
    }
    const std::string fmt = le16(1) + le16(1) + le32(rate) + le32(rate * 2) + le16(2) + le16(16);
    const std::string chunks = "fmt " + le32(16) + fmt + "data" + le32(std::uint32_t(data.size())) + data;
    return "RIFF" + le32(std::uint32_t(chunks.size() + 4)) + "WAVE" + chunks;
}

// Twenty silent MPEG-1 layer III frames at 44100 Hz, stereo (128 kbit/s).
std::string silentMp3()
{
    std::string frame(417, '\0');
    frame[0] = char(0xff);
    frame[1] = char(0xfb);
    frame[2] = char(0x90);
    frame[3] = char(0x00);
    std::string out;
    for (int i = 0; i < 20; ++i)
        out += frame;
    return out;
}

class VoiceCli : public ::testing::Test {
protected:
    std::string home() const { return "--home " + quoted(inst.folder()) + " "; }
    // The talking message paths of the project's sessions, as working copies
    // of a load here, each load in a working folder of its own.
    std::vector<std::string> messages(const std::string& project)
    {
        const std::string own = inst.root() + "load" + std::to_string(loads.size()) + "/";
        loads.push_back(std::make_unique<ScriptedProject>(pavonia::ProjectFolders{inst.folder(), inst.tempFolder(), own}));
        ScriptedProject& loaded = *loads.back();
        EXPECT_TRUE(LoadProject(loaded.document, loaded.operations, project)) << project;
        std::vector<std::string> out;
        for (const pavonia::TreeItem* session : loaded.document.tree().sessions())
            out.push_back(session->session()->talkingMessagePath);
        return out;
    }
    nlohmann::json tpsInfo(const std::string& path)
    {
        const CommandRun r = runCli("tps-info " + quoted(path));
        EXPECT_EQ(r.status, 0) << path;
        return r.status == 0 ? nlohmann::json::parse(r.out) : nlohmann::json();
    }
    TestInstallation inst;
    std::vector<std::unique_ptr<ScriptedProject>> loads;
};

} // namespace

TEST_F(VoiceCli, ImportsAWaveAsTheSessionsAnalysedMessage)
{
    const std::string project = inst.root() + "p.pvp";
    const std::string out = inst.root() + "out.pvp";
    const std::string wave = inst.writeFile("voice.wav", buzzWave(3000));
    ASSERT_EQ(runCli(home() + "new " + quoted(project)).status, 0);
    const std::string before = readFile(project);

    ASSERT_EQ(runCli(home() + "voice import " + quoted(project) + " 1 " + quoted(wave) + " --out " + quoted(out)).status,
              0);
    EXPECT_EQ(readFile(project), before) << "--out leaves the project alone";
    const auto paths = messages(out);
    ASSERT_EQ(paths.size(), 1u);
    const auto json = tpsInfo(paths[0]);
    EXPECT_EQ(json["lengthMs"], 3000);
    EXPECT_EQ(json["sampleRate"], 16000);
    EXPECT_EQ(json["channels"], 1);
    EXPECT_EQ(json["textMode"], false);
    EXPECT_EQ(json["frames"], 75);
    // Half of the time is sound: about half the frames open.
    EXPECT_GT(json["openFrames"].get<int>(), 30);
    EXPECT_LT(json["openFrames"].get<int>(), 45);
    EXPECT_GE(fs::file_size(paths[0]), 512u);

    // Without --out the project itself is saved; an MP3 is taken too.
    const std::string mp3 = inst.writeFile("voice.MP3", silentMp3());
    ASSERT_EQ(runCli(home() + "voice import " + quoted(project) + " 1 " + quoted(mp3)).status, 0);
    const auto json2 = tpsInfo(messages(project)[0]);
    EXPECT_EQ(json2["sampleRate"], 44100);
    EXPECT_EQ(json2["channels"], 2);
    EXPECT_EQ(json2["lengthMs"], 20 * 1152 * 1000 / 44100);
    EXPECT_EQ(json2["openFrames"], 0);
}

TEST_F(VoiceCli, AProjectReadFromADamagedFileIsNotSavedOverIt)
{
    const std::string whole = inst.root() + "whole.pvp";
    ASSERT_EQ(runCli(home() + "new " + quoted(whole)).status, 0);
    const std::string bytes = readFile(whole);
    // Cut inside the pack: the talking message's bytes are lost.
    const std::string project = inst.writeFile("cut.pvp", bytes.substr(0, bytes.size() - 200));
    const std::string before = readFile(project);
    const std::string wave = inst.writeFile("voice.wav", buzzWave(500));

    // Over the file itself, named or not: refused, with the damage named.
    for (const std::string& out : {std::string(), " --out " + quoted(inst.root() + "./cut.pvp")}) {
        SCOPED_TRACE(out);
        const CommandRun r = runCli(home() + "voice import " + quoted(project) + " 1 " + quoted(wave) + out, true);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("damaged or cut short. (" + project + ")"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("--out"), std::string::npos) << r.out;
        EXPECT_EQ(readFile(project), before);
    }

    // Another file is written, and keeps what could be read.
    const std::string saved = inst.root() + "saved.pvp";
    ASSERT_EQ(runCli(home() + "voice import " + quoted(project) + " 1 " + quoted(wave) + " --out " + quoted(saved)).status,
              0);
    EXPECT_EQ(readFile(project), before);
    EXPECT_EQ(tpsInfo(messages(saved)[0])["lengthMs"], 500);
}

TEST_F(VoiceCli, OtherSessionsKeepTheirMessages)
{
    const fs::path sample = fs::path(PAVONIA_CLI).parent_path() / "Samples" / "Sample.pvp";
    if (!fs::exists(sample))
        GTEST_SKIP() << "no sample project built";
    const std::string project = inst.root() + "sample.pvp";
    fs::copy_file(sample, project);
    const auto before = messages(project);
    ASSERT_EQ(before.size(), 2u);
    const std::string firstMessage = readFile(before[0]);
    const auto firstLength = tpsInfo(before[0])["lengthMs"];

    const std::string wave = inst.writeFile("voice.wav", buzzWave(1000));
    ASSERT_EQ(runCli(home() + "voice import " + quoted(project) + " 2 " + quoted(wave)).status, 0);
    const auto after = messages(project);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(readFile(after[0]), firstMessage);
    EXPECT_EQ(tpsInfo(after[0])["lengthMs"], firstLength);
    EXPECT_EQ(tpsInfo(after[1])["lengthMs"], 1000);
}

TEST_F(VoiceCli, FailuresSayWhyAndChangeNothing)
{
    const std::string project = inst.root() + "p.pvp";
    ASSERT_EQ(runCli(home() + "new " + quoted(project)).status, 0);
    const std::string before = readFile(project);
    const std::string wave = inst.writeFile("voice.wav", buzzWave(500));
    const std::string lying = inst.writeFile("lying.wav", buzzWave(500).substr(0, 600));
    const std::string text = inst.writeFile("notes.txt", "hello");
    const std::string badMp3 = inst.writeFile("bad.mp3", std::string(3000, 'x'));
    struct Case {
        std::string args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"voice import " + quoted(project) + " 2 " + quoted(wave), 1, "no session 2"},
        {"voice import " + quoted(project) + " 0 " + quoted(wave), 1, "no session 0"},
        {"voice import " + quoted(project) + " 1x " + quoted(wave), 1, "no session 1x"},
        {"voice import " + quoted(project) + " 1 " + quoted(lying), 1, "damaged"},
        {"voice import " + quoted(project) + " 1 " + quoted(text), 1, "not supported"},
        {"voice import " + quoted(project) + " 1 " + quoted(badMp3), 1, "MP3"},
        {"voice import " + quoted(project) + " 1 " + quoted(inst.root() + "none.wav"), 1, "Cannot open"},
        {"voice import " + quoted(project) + " 1", 2, "usage"},
        {"voice export " + quoted(project) + " 1 " + quoted(wave), 2, "usage"},
        {"tps-info " + quoted(wave), 1, "Not a talking message"},
        {"tps-info " + quoted(lying), 1, "damaged"},
        {"tps-info", 2, "usage"},
    };
    for (const Case& c : cases) {
        const CommandRun r = runCli(home() + c.args, true);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.args << "\n" << r.out;
    }
    EXPECT_EQ(readFile(project), before);

    // A message cut short is damaged, not read in part.
    const auto paths = messages(project);
    ASSERT_EQ(runCli(home() + "voice import " + quoted(project) + " 1 " + quoted(wave)).status, 0);
    const std::string message = readFile(messages(project)[0]);
    const std::string cut = inst.writeFile("cut.tps", message.substr(0, message.size() - 7));
    const CommandRun r = runCli("tps-info " + quoted(cut), true);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("damaged"), std::string::npos) << r.out;
}
