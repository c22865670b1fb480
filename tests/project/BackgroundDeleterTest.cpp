#include "project/BackgroundDeleter.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pavonia;
namespace fs = std::filesystem;

TEST(BackgroundDeleter, DeletesOnlyOnceTheHoldEnds)
{
    test::TestInstallation inst(false);
    inst.writeFile("a/x/1.bin", "1");
    inst.writeFile("b/2.bin", "2");
    BackgroundDeleter deleter;
    deleter.hold();
    deleter.deleteFolder(inst.root() + "a");
    EXPECT_TRUE(fs::exists(inst.root() + "a/x/1.bin"));
    deleter.release();
    deleter.deleteFolder(inst.root() + "b");
    deleter.finish();
    EXPECT_FALSE(fs::exists(inst.root() + "a"));
    EXPECT_FALSE(fs::exists(inst.root() + "b"));
}

TEST(BackgroundDeleter, DestructionWaitsForTheDeletion)
{
    test::TestInstallation inst(false);
    for (int i = 0; i < 50; ++i)
        inst.writeFile("c/" + std::to_string(i), std::string(1000, 'c'));
    {
        BackgroundDeleter deleter;
        deleter.deleteFolder(inst.root() + "c");
    }
    EXPECT_FALSE(fs::exists(inst.root() + "c"));
}
