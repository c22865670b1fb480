#include "app/CommandTable.h"

#include "app/ProjectSession.h"
#include "platform/StringTable.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <set>

using namespace pavonia;

namespace {

using C = Command;

TEST(CommandTable, EveryIdBelongsToOneCommandAndTheBarsListTheTableInOrder)
{
    std::set<int> ids;
    for (const CommandEntry& entry : commandTable())
        for (int id : entry.ids)
            if (id != 0) {
                EXPECT_TRUE(ids.insert(id).second) << id;
                EXPECT_EQ(commandForId(id), entry.command) << id;
            }
    EXPECT_EQ(commandForId(12345), std::nullopt);
    // The menu, tool bar and tree context menu ids of one command.
    EXPECT_EQ(commandForId(32796), C::Add);
    EXPECT_EQ(commandForId(32778), C::Add);
    EXPECT_EQ(commandForId(32774), C::Add);
    EXPECT_EQ(commandForId(32785), C::SaveProject);

    std::vector<std::string> labels;
    for (Command command : toolBarCommands())
        labels.push_back(StringTable::text(commandEntry(command).toolText));
    EXPECT_EQ(labels, (std::vector<std::string>{"New", "Open", "Save", "Import", "Up", "Down", "Add", "Del",
                                                "Preview", "Export", "Project", "Info"}));
    std::vector<std::string> context;
    for (const std::optional<Command>& command : contextMenuCommands())
        context.push_back(command ? StringTable::text(commandEntry(*command).menuText) : "-");
    EXPECT_EQ(context, (std::vector<std::string>{"&Add", "De&lete", "-", "Move &Up", "Move &Down", "-", "Rena&me"}));
    EXPECT_STREQ(commandEntry(C::Delete).keys, "Ctrl+Del");
    EXPECT_STREQ(commandEntry(C::SlidePreview).keys, "F12");
}

// The enabling rules over the selection states of a real tree:
// root, first session, middle slide, the last slide of the last session.
class CommandStates : public ::testing::Test {
protected:
    CommandStates()
    {
        EXPECT_EQ(place.open(installation.folder()), "");
        session = std::make_unique<ProjectSession>(place, ui);
        TreeOperations& ops = session->operations();
        ProjectTree& tree = session->document().tree();
        // Session 1 with slides a, b; Session 2 with slide c.
        ops.selectionChanged(tree.allSlides().front());
        ops.AddItem();
        ops.selectionChanged(tree.sessions().front());
        ops.AddItem();
    }

    std::set<Command> enabledFor(TreeItem* item)
    {
        session->operations().selectionChanged(item);
        std::set<Command> on;
        const CommandInputs in =
            gatherCommandInputs(session->document(), session->operations(), session->layers());
        for (const CommandEntry& entry : commandTable())
            if (isEnabled(entry.command, in))
                on.insert(entry.command);
        return on;
    }

    test::TestInstallation installation;
    test::ScriptedUi ui;
    Workplace place;
    std::unique_ptr<ProjectSession> session;
};

TEST_F(CommandStates, FollowTheSelection)
{
    ProjectTree& tree = session->document().tree();
    ASSERT_EQ(tree.sessions().size(), 2u);
    ASSERT_EQ(tree.allSlides().size(), 3u);
    const std::set<Command> tracked = {C::ImportMedia, C::ImportWave, C::ImportTalkingImage, C::MoveUp, C::MoveDown,
                                       C::Add,         C::Delete,     C::Rename};
    struct Case {
        const char* name;
        TreeItem* item;
        std::set<Command> enabled;
    };
    const Case cases[] = {
        {"root", &tree.root(), {}},
        {"first session", tree.sessions()[0],
         {C::ImportMedia, C::ImportWave, C::ImportTalkingImage, C::MoveDown, C::Add, C::Delete}},
        {"last session", tree.sessions()[1],
         {C::ImportMedia, C::ImportWave, C::ImportTalkingImage, C::MoveUp, C::Add, C::Delete}},
        {"first slide", tree.allSlides()[0], {C::ImportMedia, C::MoveDown, C::Add, C::Delete, C::Rename}},
        {"middle slide", tree.allSlides()[1], {C::ImportMedia, C::MoveUp, C::MoveDown, C::Add, C::Delete, C::Rename}},
        {"last slide", tree.allSlides()[2], {C::ImportMedia, C::MoveUp, C::Add, C::Delete, C::Rename}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::set<Command> on;
        for (Command command : enabledFor(c.item))
            if (tracked.count(command))
                on.insert(command);
        EXPECT_EQ(on, c.enabled);
    }
}

TEST_F(CommandStates, EditingLayoutAndStyleRules)
{
    ProjectDocument& document = session->document();
    TreeItem* slide = document.tree().allSlides()[1];
    // No media area in the layout: no media import.
    session->layers().effect = 0;
    EXPECT_FALSE(enabledFor(slide).count(C::ImportMedia));
    session->layers().effect = 1;

    // Custom settings need a custom style; Select Layout refuses special styles.
    EXPECT_FALSE(enabledFor(slide).count(C::CustomSettings));
    document.settings().styleNumber = 1000;
    EXPECT_TRUE(enabledFor(slide).count(C::CustomSettings));
    EXPECT_TRUE(enabledFor(slide).count(C::SelectLayout));
    document.settings().resolutionKey = "-1_800";
    EXPECT_FALSE(enabledFor(slide).count(C::SelectLayout));

    // While the voice page records, only what needs no editing stays.
    document.setEditingAllowed(false);
    const std::set<Command> on = enabledFor(slide);
    EXPECT_EQ(on, (std::set<Command>{C::Exit, C::HelpContent, C::GettingStarted, C::CheckForUpdates,
                                     C::MakerWebLink, C::ProductWebLink, C::About, C::SelectAll}));
}

TEST_F(CommandStates, ThePendingItemOfAContextMenuDecidesRename)
{
    ProjectTree& tree = session->document().tree();
    session->operations().selectionChanged(&tree.root());
    tree.setPendingItem(tree.allSlides()[0]);
    EXPECT_TRUE(gatherCommandInputs(session->document(), session->operations(), session->layers()).canRename);
    tree.setPendingItem(tree.sessions()[0]); // has slides
    EXPECT_FALSE(gatherCommandInputs(session->document(), session->operations(), session->layers()).canRename);
}

} // namespace
