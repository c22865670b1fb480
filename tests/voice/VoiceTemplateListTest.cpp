#include "voice/VoiceTemplateList.h"

#include "platform/IniFile.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavonia {
namespace {

using test::TestInstallation;

std::string common(int total, int flag, int index)
{
    return "[Common]\nTotal=" + std::to_string(total) + "\nCustomFlag=" + std::to_string(flag) +
           "\nCustomIndex=" + std::to_string(index) + "\n";
}

std::string filter(int i, const std::string& name, int effect = 1, int pitch = 60)
{
    return "[Filter-" + std::to_string(i) + "]\nName=" + name + "\nEffect=" + std::to_string(effect) +
           "\nPitchscale=" + std::to_string(pitch) + "\nHeadsize=40\nRobot=10\nEcho=20\n";
}

std::vector<std::string> names(const VoiceTemplateList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.count(); ++i)
        out.push_back(list.at(i).name);
    return out;
}

TEST(VoiceTemplateListTest, ReadsTheCustomTemplateOnlyWhenItsIndexIsTheTotal)
{
    const std::string sections = filter(0, "Low") + filter(1, "High") + filter(2, "Robot") + filter(3, "Custom-1");
    struct Case {
        int total, flag, index;
        std::vector<std::string> expected;
        bool custom;
    } cases[] = {
        {3, 1, 3, {"Low", "High", "Robot", "Custom-1"}, true},
        {3, 1, 2, {"Low", "High", "Robot"}, false},
        {3, 1, -1, {"Low", "High", "Robot"}, false},
        {3, 0, 3, {"Low", "High", "Robot"}, false},
        {0, 1, 0, {"Low"}, true},
        {-5, 0, 0, {}, false},
    };
    for (const Case& c : cases) {
        TestInstallation install(false);
        install.writeFile("install/voicefilter.ini", common(c.total, c.flag, c.index) + sections);
        VoiceTemplateList list(install.folder());
        list.read();
        EXPECT_EQ(names(list), c.expected) << c.total << "/" << c.flag << "/" << c.index;
        EXPECT_EQ(list.hasCustom(), c.custom) << c.total << "/" << c.flag << "/" << c.index;
        if (c.custom) {
            EXPECT_TRUE(list.isCustom(list.count() - 1));
        }
    }
}

TEST(VoiceTemplateListTest, MissingValuesTakeTheirDefaultsAndMissingNamesAFreeCustomName)
{
    TestInstallation install(false);
    install.writeFile("install/voicefilter.ini", common(4, 0, 0) + filter(0, "custom-1") + "[Filter-1]\n" +
                                             filter(2, "Custom-3") + "[Filter-3]\nName=" +
                                             std::string(40, 'x') + "\n");
    VoiceTemplateList list(install.folder());
    list.read();
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.at(1), (VoiceTemplate{"Custom-2", 0, 0, 50, 0, 0}));
    EXPECT_EQ(list.at(3).name, std::string(31, 'x'));

    TestInstallation empty(false);
    VoiceTemplateList none(empty.folder());
    none.read();
    EXPECT_EQ(none.count(), 0);
    EXPECT_FALSE(none.hasCustom());
}

TEST(VoiceTemplateListTest, ReadsNoMoreThan256Templates)
{
    TestInstallation install(false);
    std::string file = common(300, 1, 300);
    for (int i = 0; i <= 300; ++i)
        file += filter(i, "T" + std::to_string(i));
    install.writeFile("install/voicefilter.ini", file);
    VoiceTemplateList list(install.folder());
    list.read();
    EXPECT_EQ(list.count(), 256);
    EXPECT_FALSE(list.hasCustom());
    EXPECT_EQ(list.at(255).name, "T255");
    EXPECT_TRUE(list.full());
    EXPECT_FALSE(list.addSaved({"one more"}));
    EXPECT_FALSE(list.createCustom({}));
}

TEST(VoiceTemplateListTest, WritingSortsTheSavedTemplatesByNameAndKeepsTheCustomLast)
{
    TestInstallation install(false);
    VoiceTemplateList list(install.folder());
    list.read(); // no file yet: the write creates it
    for (const char* name : {"beta", "Alpha", "Gamma", "alpha", "BETA"})
        ASSERT_TRUE(list.addSaved({name, 3, 70, 30, 0, 5}));
    ASSERT_TRUE(list.createCustom({"ignored", 8, 50, 50, 0, 90}));
    EXPECT_EQ(list.at(5).name, "Custom-1");
    ASSERT_TRUE(list.write());

    const std::vector<std::string> sorted{"Alpha", "alpha", "beta", "BETA", "Gamma", "Custom-1"};
    EXPECT_EQ(names(list), sorted);
    IniFile ini(list.path());
    EXPECT_EQ(ini.readInt("Common", "Total", -1), 5);
    EXPECT_EQ(ini.readInt("Common", "CustomFlag", -1), 1);
    EXPECT_EQ(ini.readInt("Common", "CustomIndex", -1), 5);
    EXPECT_EQ(ini.readText("Filter-4", "Name", ""), "Gamma");
    EXPECT_EQ(ini.readInt("Filter-5", "Echo", -1), 90);

    VoiceTemplateList back(install.folder());
    back.read();
    EXPECT_EQ(names(back), sorted);
    EXPECT_TRUE(back.hasCustom());
    EXPECT_EQ(back.at(0), (VoiceTemplate{"Alpha", 3, 70, 30, 0, 5}));
}

TEST(VoiceTemplateListTest, AFreeCustomNameTakesTheSmallestUnusedNumber)
{
    TestInstallation install(false);
    VoiceTemplateList list(install.folder());
    EXPECT_EQ(list.freeCustomName(), "Custom-1");
    list.addSaved({"CUSTOM-1"});
    list.addSaved({"Custom-3"});
    EXPECT_EQ(list.freeCustomName(), "Custom-2");
    list.createCustom({});
    EXPECT_EQ(list.at(2).name, "Custom-2");
    EXPECT_EQ(list.freeCustomName(), "Custom-4");
}

TEST(VoiceTemplateListTest, NamesAreFittedTo31BytesWithoutSplittingACharacter)
{
    EXPECT_EQ(VoiceTemplateList::fitName("short"), "short");
    EXPECT_EQ(VoiceTemplateList::fitName(std::string(31, 'a')), std::string(31, 'a'));
    // 30 ASCII bytes then a two-byte character: the character does not fit.
    EXPECT_EQ(VoiceTemplateList::fitName(std::string(30, 'a') + "\xC3\xA9z"), std::string(30, 'a'));
}

} // namespace
} // namespace pavonia
