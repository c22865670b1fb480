// The data scripts published beside talking messages and images: what they
// hand the page, read back as the page reads them.
#include "PublishFixture.h"

#include "publish/FaceDataScript.h"
#include "publish/MessageDataScript.h"
#include "voice/TjmFile.h"
#include "voice/TpsFile.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

namespace pavonia::test {
namespace {

// The object a data script pushes, parsed as JSON.
nlohmann::json pushedObject(const std::string& script)
{
    const std::string open = "(window.PavoniaData = window.PavoniaData || []).push(";
    EXPECT_EQ(script.rfind(open, 0), 0u) << script;
    const std::string close = ");\n";
    EXPECT_GE(script.size(), open.size() + close.size());
    EXPECT_EQ(script.substr(script.size() - close.size()), close);
    return nlohmann::json::parse(script.substr(open.size(), script.size() - open.size() - close.size()));
}

std::string decodeBase64(const std::string& text)
{
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=')
            break;
        bits = (bits << 6) | static_cast<unsigned>(alphabet.find(c));
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<char>((bits >> count) & 0xff));
        }
    }
    return out;
}

TalkingMessage spokenMessage()
{
    TalkingMessage message;
    message.voice.sampleRate = 8000;
    message.voice.samples.assign(8000 * 2 / 10 * 5, 1000); // one second
    message.frames = {LipSyncFrame{0, 50, 0, 0, 0, 0}, LipSyncFrame{80, 60, 10, 40, 70, 1},
                      LipSyncFrame{20, 30, 90, 0, 30, 4}};
    return message;
}

TEST(PageDataScriptTest, MessageScriptsCarryLengthAndFramesOrSayWhyThereAreNone)
{
    TestInstallation installation(false);
    const std::string spoken = installation.root() + "spoken.tps";
    ASSERT_TRUE(writeTps(spoken, spokenMessage()));
    const nlohmann::json data = pushedObject(MessageDataScript::make(spoken, "spoken.tps"));
    EXPECT_EQ(data["kind"], "message");
    EXPECT_EQ(data["file"], "spoken.tps");
    EXPECT_EQ(data["durationMs"], 1000);
    EXPECT_EQ(data["frameMs"], 40);
    EXPECT_EQ(data["muted"], false);
    EXPECT_EQ(data["frames"], nlohmann::json({0, 50, 0, 0, 0, 0, 80, 60, 10, 40, 70, 1, 20, 30, 90, 0, 30, 4}));

    const std::string muted = installation.writeFile("muted.tps", std::string(100, 'x'));
    const std::string damaged = installation.writeFile("damaged.tps", "RIFF" + std::string(600, '\0'));
    struct Case {
        std::string path;
        const char* key;
        nlohmann::json value;
    };
    for (const Case& c : {Case{muted, "muted", true}, Case{damaged, "error", "damaged"},
                          Case{installation.root() + "gone.tps", "error", "missing"}}) {
        const nlohmann::json other = pushedObject(MessageDataScript::make(c.path, "x.tps"));
        EXPECT_EQ(other[c.key], c.value) << c.path;
        EXPECT_FALSE(other.contains("frames")) << c.path;
    }
}

TEST(PageDataScriptTest, FaceScriptsCarryTheLayoutAndThePicturesAsDataUrls)
{
    TestInstallation installation(false);
    TjmFile file;
    file.rig.mouthX = 240;
    file.rig.lashColor = 0x123456;
    file.picture = std::string("\x89PNG\r\n\x1a\n", 8) + std::string("face\0\xff bytes", 12);
    file.overlays = {{3, std::string("\xff\xd8\xff\xe0", 4) + "mouth-three"}};
    const std::string path = installation.root() + "face.tjm";
    ASSERT_TRUE(writeTjmFile(path, file));

    const nlohmann::json data = pushedObject(FaceDataScript::make(path, "face.tjm"));
    EXPECT_EQ(data["kind"], "face");
    EXPECT_EQ(data["rig"]["mouthX"], 240);
    EXPECT_EQ(data["rig"]["lashColor"], 0x123456);
    EXPECT_EQ(data["rig"]["faceWidth"], file.rig.faceWidth);
    const std::string picture = data["picture"];
    const std::string pngPrefix = "data:image/png;base64,";
    ASSERT_EQ(picture.rfind(pngPrefix, 0), 0u);
    EXPECT_EQ(decodeBase64(picture.substr(pngPrefix.size())), file.picture);
    const std::string mouth = data["mouths"]["3"];
    const std::string jpegPrefix = "data:image/jpeg;base64,";
    ASSERT_EQ(mouth.rfind(jpegPrefix, 0), 0u);
    EXPECT_EQ(decodeBase64(mouth.substr(jpegPrefix.size())), file.overlays[0].picture);

    const std::string damaged = installation.writeFile("bad.tjm", "not a face");
    EXPECT_EQ(pushedObject(FaceDataScript::make(damaged, "bad.tjm"))["error"], "damaged");
    EXPECT_EQ(pushedObject(FaceDataScript::make(installation.root() + "gone.tjm", "gone.tjm"))["error"], "missing");
}

TEST(PageDataScriptTest, NamesWithQuotesTagsAndAccentsStayOneValidString)
{
    TestInstallation installation(false);
    const std::string name = "Caf\xc3\xa9 \"quoted\" semi;colon <b>.tps";
    const std::string path = installation.writeFile(name, std::string(10, 'x'));
    ASSERT_TRUE(MessageDataScript::writeBeside(path));
    const std::string written = readFile(installation.root() + name + ".js");
    EXPECT_EQ(pushedObject(written)["file"], name);
}

} // namespace
} // namespace pavonia::test
