#include "app/PreferencesLogic.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "ViewCounter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>
#include <vector>

using namespace pavonia;
using pavonia::test::readFile;
using pavonia::test::ScriptedUi;
using pavonia::test::TestInstallation;

namespace {

// An installation with a catalogue of N = 20 and the given preference file.
class PreferencesLogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string catalogue = "[Global]\nTransitionCount=20\n[Transition]\n";
        for (int i = 0; i <= 20; ++i)
            catalogue += "Trans" + std::to_string(i) + "=T" + std::to_string(i) + "\n";
        inst.writeFile("install/Template/Pavonia.ini", catalogue);
    }

    std::string prefsPath() const { return inst.folder() + Preferences::kFileName; }
    void writePrefs(const std::string& content) { inst.writeFile("install/PVPreference.ini", content); }

    TestInstallation inst{false};
    ScriptedUi ui;
};

} // namespace

TEST_F(PreferencesLogicTest, OpensWithTheStoredValues)
{
    writePrefs("[PVPreference]\nDelay=2.5\nInitDlg=0\nShowExportDlg=7\nTransition=5\n");
    Preferences prefs(inst.folder());
    TransitionList transitions(inst.folder());
    PreferencesLogic logic(prefs, transitions, ui);
    logic.open();
    EXPECT_FALSE(logic.showAtStartup());
    EXPECT_TRUE(logic.showWhenExporting()); // any non-zero value
    EXPECT_TRUE(logic.showWhenImporting()); // absent: default 1
    EXPECT_EQ(logic.transitions().size(), 21u);
    EXPECT_EQ(logic.selectedTransition(), 5);
    EXPECT_EQ(logic.delayText(), "2.5");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PreferencesLogicTest, AStoredTransitionOutsideTheListSelectsTheFirst)
{
    for (const auto& [stored, selected] : {std::pair{"40", 0}, {"21", 0}, {"20", 20}, {"-1", 0}, {"0", 0}}) {
        writePrefs(std::string("[PVPreference]\nTransition=") + stored + "\n");
        Preferences prefs(inst.folder());
        TransitionList transitions(inst.folder());
        PreferencesLogic logic(prefs, transitions, ui);
        logic.open();
        EXPECT_EQ(logic.selectedTransition(), selected) << stored;
    }
}

TEST_F(PreferencesLogicTest, TheDelayShowsItsDecimalsAndIsWrittenBackWithTwo)
{
    for (const auto& [stored, shown, written] : {std::tuple{"2.5", "2.5", "2.50"}, {"3.00", "3", "3.00"},
                                                 {"0.25", "0.25", "0.25"}, {"12", "12", "12.00"}}) {
        writePrefs(std::string("[PVPreference]\nDelay=") + stored + "\n");
        Preferences prefs(inst.folder());
        TransitionList transitions(inst.folder());
        PreferencesLogic logic(prefs, transitions, ui);
        logic.open();
        EXPECT_EQ(logic.delayText(), shown);
        logic.accept();
        EXPECT_NE(readFile(prefsPath()).find(std::string("Delay=") + written + "\n"), std::string::npos) << stored;
    }
}

TEST_F(PreferencesLogicTest, EveryEditOfTheDelayIsChecked)
{
    struct Case {
        std::string typed;
        std::string shown;
        bool message;
    };
    // The field held "3" before each edit.
    const Case cases[] = {
        {"301", "3", true},   {"300", "300", false}, {"300.5", "3", true}, {"1.2.3", "3", false},
        {"1a", "3", false},   {"-1", "3", false},    {"1,5", "3", false},  {".", "3", false},
        {"12.5", "12.5", false}, {"2.", "2.", false}, {".5", ".5", false},  {"", "", false},
        {"007", "007", false},
    };
    for (const auto& c : cases) {
        Preferences prefs(inst.folder());
        TransitionList transitions(inst.folder());
        ScriptedUi caseUi;
        PreferencesLogic logic(prefs, transitions, caseUi);
        logic.open();
        logic.editDelay(c.typed);
        EXPECT_EQ(logic.delayText(), c.shown) << c.typed;
        if (c.message) {
            ASSERT_EQ(caseUi.shown.size(), 1u) << c.typed;
            EXPECT_EQ(caseUi.shown[0].text, "The maximum delay time setting is 300 seconds.");
            EXPECT_EQ(caseUi.shown[0].caption, "Pavonia");
        } else {
            EXPECT_TRUE(caseUi.shown.empty()) << c.typed;
        }
    }
}

TEST_F(PreferencesLogicTest, AResetRestoresTheLastValueTaken)
{
    Preferences prefs(inst.folder());
    TransitionList transitions(inst.folder());
    PreferencesLogic logic(prefs, transitions, ui);
    logic.open();
    logic.editDelay("1");
    logic.editDelay("12");
    logic.editDelay("12.");
    logic.editDelay("12.5");
    logic.editDelay("12.5.");
    EXPECT_EQ(logic.delayText(), "12.5");
    logic.editDelay(""); // an empty field keeps the value taken last
    logic.editDelay("x");
    EXPECT_EQ(logic.delayText(), "12.5");
}

TEST_F(PreferencesLogicTest, LeavingTheDelayField)
{
    writePrefs("[PVPreference]\nDelay=2.5\n");
    Preferences prefs(inst.folder());
    TransitionList transitions(inst.folder());
    PreferencesLogic logic(prefs, transitions, ui);
    logic.open();
    logic.editDelay("007.50");
    logic.leaveDelay();
    EXPECT_EQ(logic.delayText(), "7.5"); // in the dialog's number format
    logic.editDelay("");
    logic.leaveDelay();
    EXPECT_EQ(logic.delayText(), "2.5"); // empty: the stored delay
}

TEST_F(PreferencesLogicTest, TellsItsViewOfEachChangeAndOfNoOther)
{
    writePrefs("[PVPreference]\nDelay=2.5\nTransition=5\n");
    Preferences prefs(inst.folder());
    TransitionList transitions(inst.folder());
    PreferencesLogic logic(prefs, transitions, ui);
    pavonia::test::ViewCounter view(logic);
    logic.open();
    EXPECT_EQ(view.take(), 1);
    logic.open();
    logic.selectTransition(5);
    logic.setShowAtStartup(logic.showAtStartup());
    logic.editDelay("2.5");
    logic.leaveDelay();
    logic.accept();
    EXPECT_EQ(view.take(), 0);
    for (const auto& action : std::vector<std::function<void()>>{
             [&] { logic.selectTransition(6); }, [&] { logic.setShowAtStartup(!logic.showAtStartup()); },
             [&] { logic.setShowWhenExporting(!logic.showWhenExporting()); },
             [&] { logic.setShowWhenImporting(!logic.showWhenImporting()); }, [&] { logic.editDelay("3"); },
             [&] { logic.editDelay(""); }, [&] { logic.leaveDelay(); }}) {
        action();
        EXPECT_EQ(view.take(), 1);
    }
}

TEST_F(PreferencesLogicTest, OkWritesTheKeysAndCancelWritesNothing)
{
    Preferences prefs(inst.folder());
    const std::string before = readFile(prefsPath());
    TransitionList transitions(inst.folder());
    {
        PreferencesLogic cancelled(prefs, transitions, ui);
        cancelled.open();
        cancelled.setShowAtStartup(false);
        cancelled.selectTransition(3);
        cancelled.editDelay("9");
    }
    EXPECT_EQ(readFile(prefsPath()), before);

    PreferencesLogic logic(prefs, transitions, ui);
    logic.open();
    logic.setShowAtStartup(false);
    logic.setShowWhenImporting(false);
    logic.selectTransition(3);
    logic.selectTransition(99); // not in the list: ignored
    logic.editDelay("4.125");
    logic.accept();
    EXPECT_EQ(readFile(prefsPath()), "[PVPreference]\nDelay=4.12\nExportType=0\nImportType=0\nIncludeAutoRun=1\n"
                                     "InitDlg=0\nShowExportDlg=1\nShowImportDlg=0\nTransition=3\n");
}

TEST_F(PreferencesLogicTest, OkWithAnEmptyDelayKeepsTheStoredDelay)
{
    writePrefs("[PVPreference]\nDelay=2.5\n");
    Preferences prefs(inst.folder());
    TransitionList transitions(inst.folder());
    PreferencesLogic logic(prefs, transitions, ui);
    logic.open();
    logic.editDelay("8");
    logic.editDelay("");
    logic.accept();
    EXPECT_DOUBLE_EQ(prefs.delay(), 2.5);
}

TEST_F(PreferencesLogicTest, AMissingCatalogueIsReportedAndLeavesTheFieldsUnfilled)
{
    writePrefs("[PVPreference]\nDelay=2.5\nInitDlg=0\nTransition=7\n");
    std::filesystem::remove(inst.folder() + "Template/Pavonia.ini");
    Preferences prefs(inst.folder());
    TransitionList transitions(inst.folder());
    PreferencesLogic logic(prefs, transitions, ui);
    logic.open();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Ini file lost. (" + inst.folder() + "Template/Pavonia.ini)");
    EXPECT_EQ(ui.shown[0].caption, "Pavonia");
    EXPECT_FALSE(logic.showAtStartup()); // set before the list
    EXPECT_TRUE(logic.transitions().empty());
    EXPECT_EQ(logic.selectedTransition(), -1);
    EXPECT_EQ(logic.delayText(), "");

    // OK then keeps the stored transition and delay.
    logic.setShowAtStartup(true);
    logic.accept();
    EXPECT_EQ(prefs.initDlg(), 1);
    EXPECT_EQ(prefs.transition(), 7);
    EXPECT_DOUBLE_EQ(prefs.delay(), 2.5);
}
