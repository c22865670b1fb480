// The start-up dialog flow: how a new project takes its style and layout.
#include "app/StartupDialogFlow.h"
#include "project/Preferences.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
using test::ScriptedUi;
using test::TestInstallation;

class ScriptedHost final : public StartupDialogHost {
public:
    std::optional<StartupDialogAnswer> showStartupDialog(const StartupDialogState& state) override
    {
        shownStates.push_back(state);
        return dialogAnswer;
    }
    std::optional<StylePick> pickStyleFromList(bool custom) override
    {
        listModes.push_back(custom);
        return stylePick;
    }
    std::optional<int> styleLayoutChoice() override { return layoutChoice; }
    void customStyleChosen() override { ++customStyles; }
    void refreshStylePage(int layout) override { refreshedWith.push_back(layout); }
    bool openProject() override
    {
        ++opens;
        return openSucceeds;
    }

    std::optional<StartupDialogAnswer> dialogAnswer;
    std::optional<StylePick> stylePick;
    std::optional<int> layoutChoice;
    bool openSucceeds = false;
    std::vector<StartupDialogState> shownStates;
    std::vector<bool> listModes;
    std::vector<int> refreshedWith;
    int customStyles = 0;
    int opens = 0;
};

class StartupDialogFlowTest : public ::testing::Test {
protected:
    StartupDialogFlowTest()
    {
        project.resolutionKey = "1_1024";
        project.styleNumber = 1003;
        project.layoutNumber = 3;
    }
    bool run(bool atStartup)
    {
        StartupDialogFlow flow(project, preferences, library, host);
        const bool ready = flow.run(atStartup);
        lost = flow.layoutSettingsLost();
        return ready;
    }

    TestInstallation install;
    ScriptedUi ui;
    Preferences preferences{install.folder()};
    TemplateLibrary library{install.folder(), ui};
    ScriptedHost host;
    ProjectSettings project;
    bool lost = false;
};

TEST_F(StartupDialogFlowTest, NotShownWhenSwitchedOff)
{
    preferences.setInitDlg(0);
    project.autoLoop = 7;
    EXPECT_TRUE(run(true));
    EXPECT_TRUE(host.shownStates.empty());
    EXPECT_EQ(project.resolutionKey, "0_800");
    EXPECT_EQ(project.styleNumber, 0);
    EXPECT_EQ(project.layoutNumber, 0);
    EXPECT_EQ(project.autoPlay, 1);
    EXPECT_EQ(project.autoLoop, 0);
    EXPECT_EQ(project.autoJump, 1);

    // New Project shows it whatever the key says, with the start-up parts off.
    run(false);
    ASSERT_EQ(host.shownStates.size(), 1u);
    EXPECT_FALSE(host.shownStates[0].atStartup);
    EXPECT_FALSE(host.shownStates[0].showAtStartup);
}

TEST_F(StartupDialogFlowTest, CancelKeepsTheDefaultsAndOkStoresShowAtStartup)
{
    EXPECT_TRUE(run(true));
    ASSERT_EQ(host.shownStates.size(), 1u);
    EXPECT_TRUE(host.shownStates[0].atStartup);
    EXPECT_TRUE(host.shownStates[0].showAtStartup);
    EXPECT_EQ(host.refreshedWith, std::vector<int>{0});
    EXPECT_EQ(project.resolutionKey, "0_800");
    EXPECT_EQ(project.styleNumber, 0);
    EXPECT_EQ(preferences.initDlg(), 1);

    host.dialogAnswer = StartupDialogAnswer{StartupChoice::Template, false};
    EXPECT_TRUE(run(true));
    EXPECT_EQ(preferences.initDlg(), 0);
}

TEST_F(StartupDialogFlowTest, TemplateAndCustomPicks)
{
    const struct {
        StartupChoice choice;
        std::optional<StylePick> pick;
        std::optional<int> layoutChoice;
        std::string key;
        int style;
        int layout;
        int customStyles;
    } cases[] = {
        // A standard style: the style page's layout choice.
        {StartupChoice::Template, StylePick{2, "0_1024"}, 3, "0_1024", 2, 3, 0},
        {StartupChoice::Template, StylePick{2, "0_1024"}, std::nullopt, "0_1024", 2, 0, 0},
        // The list cancelled: style 0 (1000 for custom), layout 0, the key of the choice.
        {StartupChoice::Template, std::nullopt, 3, "0_800", 0, 0, 0},
        {StartupChoice::Custom, std::nullopt, 3, "1_800", 1000, 0, 1},
        // A key that does not split goes back to the choice's key.
        {StartupChoice::Custom, StylePick{1001, "broken"}, 2, "1_800", 1001, 2, 1},
        // A special style takes the layout of its first "L" folder.
        {StartupChoice::Template, StylePick{0, "-1_800"}, 3, "-1_800", 0, 0, 0},
        {StartupChoice::Custom, StylePick{1001, "-1_800"}, 3, "-1_800", 1001, 0, 1},
    };
    for (const auto& c : cases) {
        host = ScriptedHost();
        host.dialogAnswer = StartupDialogAnswer{c.choice, true};
        host.stylePick = c.pick;
        host.layoutChoice = c.layoutChoice;
        project.layoutNumber = 3;
        EXPECT_TRUE(run(true)) << c.key;
        EXPECT_EQ(host.listModes, std::vector<bool>{c.choice == StartupChoice::Custom});
        EXPECT_EQ(project.resolutionKey, c.key);
        EXPECT_EQ(project.styleNumber, c.style) << c.key;
        EXPECT_EQ(project.layoutNumber, c.layout) << c.key;
        EXPECT_EQ(host.customStyles, c.customStyles);
        EXPECT_EQ(host.refreshedWith, std::vector<int>{c.layout});
    }
    // Layout 3 loops.
    host = ScriptedHost();
    host.dialogAnswer = StartupDialogAnswer{StartupChoice::Template, true};
    host.stylePick = StylePick{1, "0_800"};
    host.layoutChoice = 3;
    EXPECT_TRUE(run(true));
    EXPECT_EQ(project.autoLoop, 1);
}

TEST_F(StartupDialogFlowTest, LoadProject)
{
    host.dialogAnswer = StartupDialogAnswer{StartupChoice::LoadProject, true};
    host.openSucceeds = true;
    EXPECT_TRUE(run(true));
    EXPECT_EQ(host.opens, 1);
    EXPECT_TRUE(host.refreshedWith.empty());

    host.openSucceeds = false;
    EXPECT_FALSE(run(true));
    EXPECT_FALSE(lost);
    // The default project is still there for start-up to go on with.
    EXPECT_EQ(project.resolutionKey, "0_800");
    EXPECT_EQ(project.layoutNumber, 0);
}

TEST_F(StartupDialogFlowTest, MissingLayoutSettings)
{
    fs::remove(install.folder() + "Template/Layout/L0.ini");
    EXPECT_FALSE(run(true));
    EXPECT_TRUE(lost);
    EXPECT_EQ(ui.texts(),
              std::vector<std::string>{"Ini file lost. (" + install.folder() + "Template/Layout/L0.ini)"});
}

} // namespace
} // namespace pavonia
