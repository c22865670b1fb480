// The export dialog's logic: what each kind enables, the values it opens
// with, and the preferences and choice OK gives.
#include "PublishFixture.h"

#include "export/ExportDlgLogic.h"

#include <gtest/gtest.h>

namespace pavonia::test {
namespace {

ExportChoice stored(ExportKind kind, int image = 80)
{
    ExportChoice choice;
    choice.kind = kind;
    choice.qualities.image = image;
    choice.qualities.sound = 3;
    return choice;
}

TEST(ExportDlgLogicTest, EachKindEnablesItsOwnControls)
{
    PublishFixture fixture;
    const struct {
        ExportKind kind;
        bool autoRun;
        bool qualities;
    } cases[] = {{ExportKind::Web, false, true},
                 {ExportKind::Cd, true, false},
                 {ExportKind::Exe, false, true},
                 {ExportKind::Video, false, false}};
    // The dialog opens with the stored kind and its enabling.
    for (const auto& c : cases) {
        ExportDlgLogic logic(fixture.document.preferences(), stored(c.kind));
        EXPECT_EQ(logic.kind(), c.kind);
        EXPECT_EQ(logic.autoRunEnabled(), c.autoRun) << int(c.kind);
        EXPECT_EQ(logic.qualitiesEnabled(), c.qualities) << int(c.kind);
    }
    // Choosing another kind moves the enabling with it, once per change.
    ExportDlgLogic logic(fixture.document.preferences(), stored(ExportKind::Web));
    int changes = 0;
    logic.setViewChanged([&] { ++changes; });
    for (const auto& c : cases) {
        logic.chooseKind(int(&c - cases));
        EXPECT_EQ(logic.autoRunEnabled(), c.autoRun);
        EXPECT_EQ(logic.qualitiesEnabled(), c.qualities);
    }
    EXPECT_EQ(changes, 3);
    logic.chooseKind(int(exportKinds().size()));
    EXPECT_EQ(logic.kind(), ExportKind::Video);
}

TEST(ExportDlgLogicTest, OpensWithMiddleSoundAndTheGivenImageQualityClampedToAPercentage)
{
    PublishFixture fixture;
    ExportDlgLogic logic(fixture.document.preferences(), stored(ExportKind::Cd));
    EXPECT_EQ(logic.soundIndex(), ExportDlgLogic::kMiddleSound); // whatever the last export used
    EXPECT_EQ(logic.imageQuality(), 80);
    EXPECT_EQ(logic.imageQualityText(), "80 %");
    EXPECT_FALSE(logic.dontShowNextTime());
    for (const auto& [set, kept] : {std::pair{-5, 0}, {0, 0}, {100, 100}, {130, 100}, {57, 57}}) {
        logic.setImageQuality(set);
        EXPECT_EQ(logic.imageQuality(), kept) << set;
    }
    // A stored kind the dialog does not offer opens the first one.
    ExportDlgLogic unknown(fixture.document.preferences(), stored(static_cast<ExportKind>(9), 250));
    EXPECT_EQ(unknown.kindIndex(), 0);
    EXPECT_EQ(unknown.imageQuality(), 100);
}

TEST(ExportDlgLogicTest, OkWritesThePreferencesAndGivesTheChoice)
{
    PublishFixture fixture;
    Preferences& preferences = fixture.document.preferences();
    ExportDlgLogic logic(preferences, stored(ExportKind::Web));
    logic.chooseKind(1);
    logic.setIncludeAutoRun(false);
    logic.setSoundIndex(0);
    logic.setImageQuality(35);
    logic.setDontShowNextTime(true);
    const ExportChoice choice = logic.accept();
    EXPECT_EQ(choice.kind, ExportKind::Cd);
    EXPECT_FALSE(choice.includeAutoRun);
    EXPECT_EQ(choice.qualities.sound, 1); // "High" is index 0
    EXPECT_EQ(choice.qualities.image, 35);
    EXPECT_EQ(preferences.showExportDlg(), 0);
    EXPECT_EQ(preferences.exportType(), 1);
    EXPECT_EQ(preferences.includeAutoRun(), 0);

    ExportDlgLogic again(preferences, stored(ExportKind::Exe));
    again.setSoundIndex(7);
    const ExportChoice second = again.accept();
    EXPECT_EQ(second.qualities.sound, 3);
    EXPECT_EQ(preferences.showExportDlg(), 1);
    EXPECT_EQ(preferences.exportType(), 2);
}

} // namespace
} // namespace pavonia::test
