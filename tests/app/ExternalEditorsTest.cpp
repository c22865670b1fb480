#include "app/ExternalEditors.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

using namespace pavonia;
using pavonia::test::MapRegistry;
using pavonia::test::TestInstallation;

TEST(ExternalEditors, AvailableOnlyWithBothEditorsInTheRegisteredFolder)
{
    TestInstallation inst(false);
    MapRegistry registry;
    EXPECT_FALSE(ExternalEditors(registry).available()); // nothing registered

    const std::string sibling = inst.root() + "quibbit";
    inst.writeFile("quibbit/Editor/fitting.exe", "x");
    for (const std::string& registered : {sibling, sibling + "/"}) {
        registry.set(RegistryRoot::LocalMachine, ExternalEditors::kRegistryKey, ExternalEditors::kInstallPathValue,
                     registered);
        const ExternalEditors onlyOne(registry);
        EXPECT_FALSE(onlyOne.available());
        EXPECT_EQ(onlyOne.installFolder(), sibling + "/");
    }
    inst.writeFile("quibbit/Editor/scripteditor.exe", "x");
    EXPECT_TRUE(ExternalEditors(registry).available());
}
