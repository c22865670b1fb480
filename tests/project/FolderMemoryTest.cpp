#include "project/FolderMemory.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pavonia;
using pavonia::test::MapRegistry;
using pavonia::test::TestInstallation;

namespace fs = std::filesystem;

namespace {
FolderMemory::DocumentsQuery answers(std::optional<std::string> folder)
{
    return [folder] { return folder; };
}

const FolderMemory::DocumentsQuery kSystemCannotTell = answers(std::nullopt);
} // namespace

TEST(FolderMemory, DefaultsToTheDocumentsFolderCreatedWhenMissing)
{
    TestInstallation inst(false);
    MapRegistry registry;
    const std::string documents = inst.root() + "home/Documents";
    FolderMemory memory(inst.folder(), registry, answers(documents));
    EXPECT_EQ(memory.get(slot::Project), documents + "/");
    EXPECT_TRUE(fs::is_directory(documents));
    EXPECT_EQ(memory.get(slot::Wave, "voice.wav"), documents + "/voice.wav");
    EXPECT_EQ(memory.get(42), documents + "/"); // no such slot: nothing remembered
}

TEST(FolderMemory, DocumentsFallBackToTheShellFolderValueThenToSamples)
{
    TestInstallation inst(false);
    MapRegistry registry;
    const std::string personal = inst.root() + "personal";
    registry.set(RegistryRoot::CurrentUser, FolderMemory::kShellFoldersKey, FolderMemory::kPersonalValue,
                 personal + "/");
    {
        // The shell folder value is taken only when that folder exists.
        FolderMemory memory(inst.folder(), registry, kSystemCannotTell);
        EXPECT_EQ(memory.get(slot::Html), inst.root() + "samples/");
        EXPECT_TRUE(fs::is_directory(inst.root() + "samples"));
    }
    fs::create_directories(personal);
    FolderMemory memory(inst.folder(), registry, kSystemCannotTell);
    EXPECT_EQ(memory.get(slot::Html), personal + "/");
}

TEST(FolderMemory, BackgroundPicturesLiveInTheRegisteredInstallation)
{
    TestInstallation inst(false);
    MapRegistry registry;
    const std::string documents = inst.root() + "docs";
    const std::string product = inst.root() + "product";
    registry.set(RegistryRoot::LocalMachine, "Software\\Nimbari\\Pavonia\\1.0", FolderMemory::kInstallPathValue,
                 product + "/");
    {
        // Registered, but not there: the documents folder holds "bg".
        FolderMemory memory(inst.folder(), registry, answers(documents));
        EXPECT_EQ(memory.get(slot::Background), documents + "/bg/");
    }
    fs::create_directories(product + "/bg");
    FolderMemory memory(inst.folder(), registry, answers(documents));
    EXPECT_EQ(memory.get(slot::Background, "sky.jpg"), product + "/bg/sky.jpg");
}

TEST(FolderMemory, ARememberedFolderThatWasDeletedGivesWayToTheDefault)
{
    TestInstallation inst(false);
    MapRegistry registry;
    const std::string documents = inst.root() + "docs";
    const std::string chosen = inst.root() + "chosen";
    fs::create_directories(chosen);
    FolderMemory memory(inst.folder(), registry, answers(documents));
    memory.set(slot::MediaPicture, chosen);
    EXPECT_EQ(memory.get(slot::MediaPicture, "a.jpg"), chosen + "/a.jpg");
    EXPECT_EQ(memory.get(slot::MediaClip), documents + "/"); // slots are separate
    fs::remove_all(chosen);
    EXPECT_EQ(memory.get(slot::MediaPicture), documents + "/");
}
