#include "project/SessionFileCopies.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia::test {
namespace {

namespace fs = std::filesystem;

TEST(SessionFileCopies, MuteAndUnmuteNeverWriteThroughALinkPlantedInTemp)
{
    TestInstallation inst(false);
    ScriptedUi ui;
    FixedClock clock;
    MapRegistry registry;
    ProjectDocument document(DocumentEnvironment{inst.folder(), inst.tempFolder(), ui, clock, registry});
    SessionFileCopies copies(document);
    const std::string temp = document.workingFolder().tempFolder();
    const std::string message = inst.writeFile("install/Temp/Session1.tps", "voice");
    const std::string silent = inst.writeFile("install/MuteVoice.tps", "silence");
    const std::string outside = inst.writeFile("outside.tps", "keep");

    // Where the voice is kept aside while muted.
    fs::create_symlink(outside, temp + "NoMute_Session1.tps");
    ASSERT_TRUE(copies.muteMessage(message, silent));
    EXPECT_EQ(readFile(outside), "keep");
    EXPECT_EQ(readFile(message), "silence");

    // Over the message itself while it is muted.
    fs::remove(message);
    fs::create_symlink(outside, message);
    copies.unmuteMessage(message);
    EXPECT_EQ(readFile(outside), "keep");
    EXPECT_FALSE(fs::is_symlink(message));
    EXPECT_EQ(readFile(message), "voice");
    EXPECT_FALSE(exists(temp + "NoMute_Session1.tps"));
}

} // namespace
} // namespace pavonia::test
