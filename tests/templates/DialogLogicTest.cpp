#include "TemplateFixture.h"
#include "ViewCounter.h"

#include "templates/FontSettingLogic.h"
#include "templates/ProjectSettingsLogic.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::TemplateFixture;

// A library whose layout 2 plays once without looping and whose page
// template styles the sub-topic.
struct SettingsFixture : TemplateFixture {
    SettingsFixture()
    {
        add("Layout/L2.ini", "[Template]\nAutoPlay=0\nAutoLoop=1\nAutoJump=1\n");
        add("Style0/L2/800/Template.htm", ".subtopic { font-family: Tahoma; font-size: 18px; }");
        project.layoutNumber = 2;
        project.autoPlay = 1;
        project.autoLoop = 0;
        project.autoJump = 0;
        project.subTopicFont.setFaceName("Courier");
        project.headingFontSet = 1;
    }
    ProjectSettings project;
    int dirty = 0;
    bool pending = false;
    std::function<void()> markModified()
    {
        return [this] { dirty = 1; };
    }
};

TEST(ProjectSettingsLogic, StartsFromTheProjectWhenNoPickIsPending)
{
    SettingsFixture f;
    ProjectSettingsLogic logic(f.project, f.markModified(), f.pending, f.library, f.ui);
    logic.open();
    EXPECT_EQ(logic.font(TextKind::SubTopic).faceName(), "Courier");
    EXPECT_TRUE(logic.fontSet(TextKind::Heading));
    EXPECT_TRUE(logic.autoPlay());
    EXPECT_FALSE(logic.autoLoopEnabled());

    // OK without touching anything keeps the unsaved mark as it was.
    for (int dirty : {0, 1}) {
        f.dirty = dirty;
        logic.accept();
        EXPECT_EQ(f.dirty, dirty);
    }
    EXPECT_TRUE(f.ui.shown.empty());
}

TEST(ProjectSettingsLogic, PendingPickLoadsTheTemplateDefaultsAtOnce)
{
    SettingsFixture f;
    f.pending = true;
    ProjectSettingsLogic logic(f.project, f.markModified(), f.pending, f.library, f.ui);
    logic.open();
    EXPECT_EQ(logic.font(TextKind::SubTopic).faceName(), "tahoma");
    EXPECT_EQ(logic.font(TextKind::SubTopic).size, 18);
    EXPECT_TRUE(logic.autoLoopEnabled());
    // The layout's switches are in the project although the dialog is then
    // cancelled (no accept), and nothing is marked unsaved.
    EXPECT_EQ(f.project.autoPlay, 0);
    EXPECT_EQ(f.project.autoLoop, 1);
    EXPECT_EQ(f.project.autoJump, 1);
    EXPECT_EQ(f.project.subTopicFont.faceName(), "Courier");
    EXPECT_EQ(f.dirty, 0);
    EXPECT_TRUE(f.pending);
}

TEST(ProjectSettingsLogic, EditsSetTheOverrideAndClearThePendingDefaults)
{
    SettingsFixture f;
    f.pending = true;
    ProjectSettingsLogic logic(f.project, f.markModified(), f.pending, f.library, f.ui);
    logic.open();
    FontSpec description;
    description.setFaceName("Georgia");
    logic.fontConfirmed(TextKind::Description, description);
    logic.setCheckBoxes(true, true, false);
    EXPECT_FALSE(logic.autoLoopEnabled());
    logic.accept();
    EXPECT_EQ(f.project.descriptionFontSet, 1);
    EXPECT_EQ(f.project.descriptionFont.faceName(), "Georgia");
    EXPECT_EQ(f.project.subTopicFont.faceName(), "tahoma");
    EXPECT_EQ(f.project.subTopicFontSet, 0);
    EXPECT_EQ(f.project.autoLoop, 1); // kept while disabled
    EXPECT_EQ(f.project.autoJump, 0);
    EXPECT_EQ(f.dirty, 1);
    EXPECT_FALSE(f.pending);
}

TEST(ProjectSettingsLogic, TellsItsViewOfEachChangeAndOfNoOther)
{
    SettingsFixture f;
    f.pending = true;
    ProjectSettingsLogic logic(f.project, f.markModified(), f.pending, f.library, f.ui);
    test::ViewCounter view(logic);
    logic.open(); // the template's defaults replace the project's values
    EXPECT_EQ(view.take(), 1);
    logic.open();
    logic.setCheckBoxes(logic.autoPlay(), logic.autoLoop(), logic.autoJump());
    logic.fontConfirmed(TextKind::Heading, logic.font(TextKind::Heading)); // already set
    logic.accept();
    EXPECT_EQ(view.take(), 0);
    logic.setCheckBoxes(!logic.autoPlay(), logic.autoLoop(), logic.autoJump());
    EXPECT_EQ(view.take(), 1);
    FontSpec description;
    description.setFaceName("Georgia");
    logic.fontConfirmed(TextKind::Description, description);
    EXPECT_EQ(view.take(), 1);
}

TEST(ProjectSettingsLogic, UnreadableDefaultsKeepTheProjectFonts)
{
    SettingsFixture f;
    f.pending = true;
    f.project.resolutionKey = "0_1280"; // no such page template
    ProjectSettingsLogic logic(f.project, f.markModified(), f.pending, f.library, f.ui);
    logic.open();
    logic.accept();
    EXPECT_EQ(f.project.subTopicFont.faceName(), "Courier");
    EXPECT_EQ(f.project.autoLoop, 1); // the layout's switches still apply
    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_EQ(f.ui.shown[0].text.rfind("Template html file not found.", 0), 0u);
}

TEST(FontSettingLogic, SelectsTheRecordAndWritesTheChoice)
{
    FontSpec record;
    record.setFaceName("verdana");
    record.size = 14;
    record.bold = 1;
    record.colour = 0x0000FF;
    FontSettingLogic logic(record, {"Verdana", "arial", "Courier New"}, 120);
    EXPECT_EQ(logic.faces(), (std::vector<std::string>{"arial", "Courier New", "Verdana"}));
    EXPECT_EQ(logic.selectedFace(), 2);
    EXPECT_EQ(FontSettingLogic::sizes()[static_cast<std::size_t>(logic.selectedSize())], 14);

    FontPreview preview = logic.preview();
    EXPECT_EQ(preview.text, "AaBbYyZz");
    EXPECT_EQ(preview.face, "Verdana");
    EXPECT_EQ(preview.pixelHeight, 23); // 14 * 120 / 72
    EXPECT_EQ(preview.weight, 700);

    logic.selectFace(0);
    logic.selectSize(15);
    logic.setBold(false);
    logic.setItalic(true);
    logic.setColour(0x00FF00);
    logic.accept(record);
    EXPECT_EQ(record.faceName(), "arial");
    EXPECT_EQ(record.size, 72);
    EXPECT_EQ(record.bold, 0);
    EXPECT_EQ(record.italic, 1);
    EXPECT_EQ(record.colour, 0x00FF00u);

    // A face the machine lacks is listed and kept; an unknown size selects
    // the first entry.
    record.setFaceName("Nope");
    record.size = 13;
    FontSettingLogic fallback(record, {"b", "a"}, 96);
    EXPECT_EQ(fallback.faces(), (std::vector<std::string>{"a", "b", "Nope"}));
    EXPECT_EQ(fallback.selectedFace(), 2);
    EXPECT_EQ(fallback.selectedSize(), 0);
    EXPECT_EQ(fallback.preview().pixelHeight, 10); // 8 points
    fallback.accept(record);
    EXPECT_EQ(record.faceName(), "Nope");

    // Without a face the first entry is selected.
    record.setFaceName("");
    EXPECT_EQ(FontSettingLogic(record, {"b", "a"}, 96).selectedFace(), 0);
}

TEST(FontSettingLogic, TellsItsViewOfEachChangeAndOfNoOther)
{
    FontSpec record;
    record.setFaceName("arial");
    record.size = 14;
    FontSettingLogic logic(record, {"Verdana", "arial"}, 96);
    test::ViewCounter view(logic);
    logic.selectFace(logic.selectedFace());
    logic.selectFace(5); // beyond the list
    logic.selectSize(-1);
    logic.setBold(false);
    logic.setColour(record.colour);
    EXPECT_EQ(view.take(), 0);
    logic.selectFace(1);
    EXPECT_EQ(view.take(), 1);
    logic.selectSize(0);
    logic.setItalic(true);
    logic.setUnderline(true);
    logic.setColour(0x00FF00);
    EXPECT_EQ(view.take(), 4);
}

} // namespace
} // namespace pavonia
