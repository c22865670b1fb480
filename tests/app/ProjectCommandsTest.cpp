#include "app/ProjectCommands.h"

#include "app/ProjectSession.h"
#include "platform/StringTable.h"
#include "project/ProjectFile.h"
#include "PictureFiles.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pavonia;

namespace {

namespace fs = std::filesystem;

std::set<std::string> filesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            names.insert(entry.path().filename().string());
    return names;
}

class ProjectCommandsTest : public ::testing::Test {
protected:
    ProjectCommandsTest()
    {
        EXPECT_EQ(place.open(installation.folder()), "");
        session = std::make_unique<ProjectSession>(place, ui);
        commands = std::make_unique<ProjectCommands>(document(), session->operations(), session->library(),
                                                     session->layers());
        commands->hooks().projectReplaced = [this] { ++replaced; };
    }

    ProjectDocument& document() { return session->document(); }
    ProjectTree& tree() { return document().tree(); }
    std::string temp() { return document().workingFolder().tempFolder(); }

    // Adds a slide with a picture after the first slide: the project is
    // changed and holds a media copy.
    void addPictureSlide()
    {
        const std::string picture = installation.root() + "pictures/sunset.bmp";
        fs::create_directories(fs::path(picture).parent_path());
        test::writeBmp24(picture, 8, 6, [](int x, int y) { return test::Rgb8{std::uint8_t(x * 30), std::uint8_t(y * 40), 90}; });
        session->operations().selectionChanged(tree().allSlides().front());
        ASSERT_NE(session->operations().AddItem(picture), nullptr);
    }

    std::string projectPath(const std::string& name) { return installation.root() + name; }

    test::TestInstallation installation;
    test::ScriptedUi ui;
    Workplace place;
    std::unique_ptr<ProjectSession> session;
    std::unique_ptr<ProjectCommands> commands;
    int replaced = 0;
};

TEST_F(ProjectCommandsTest, SaveAsThenSaveWritesOnlyWhenChanged)
{
    addPictureSlide();
    const std::string path = projectPath("first.pvp");
    ui.saveAnswers.push_back(projectPath("first")); // typed without extension
    ASSERT_TRUE(commands->Save());
    EXPECT_EQ(ui.lastDialog.filter, "PVP File(*.pvp)|*.pvp||");
    EXPECT_EQ(ui.lastDialog.defaultExtension, "pvp");
    EXPECT_TRUE(ui.lastDialog.overwritePrompt);
    EXPECT_EQ(document().documentPath, path);
    EXPECT_EQ(document().windowTitle(), "Pavonia - first.pvp");
    EXPECT_FALSE(document().dirty());
    EXPECT_EQ(document().folderMemory().get(slot::Project), installation.root());

    // Unchanged: nothing is written.
    fs::remove(path);
    EXPECT_TRUE(commands->Save());
    EXPECT_FALSE(fs::exists(path));

    // Save As always writes, under the new name.
    ui.saveAnswers.push_back(projectPath("second.pvp"));
    EXPECT_TRUE(commands->SaveAs());
    EXPECT_TRUE(fs::exists(projectPath("second.pvp")));
    EXPECT_EQ(document().windowTitle(), "Pavonia - second.pvp");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ProjectCommandsTest, SaveAsCancelledOrRefusedKeepsNameAndTitle)
{
    ui.saveAnswers.push_back(projectPath("kept.pvp"));
    ASSERT_TRUE(commands->SaveCommand(true));
    ASSERT_EQ(document().windowTitle(), "Pavonia - kept.pvp");

    ui.saveAnswers.push_back(std::nullopt); // Cancel
    EXPECT_FALSE(commands->SaveAs());
    EXPECT_EQ(document().documentPath, projectPath("kept.pvp"));
    EXPECT_EQ(document().windowTitle(), "Pavonia - kept.pvp");

    ui.saveAnswers.push_back(projectPath("other.txt"));
    EXPECT_FALSE(commands->SaveAs());
    EXPECT_EQ(ui.texts().back(), StringTable::format(str::UnsupportedFileFormat, {projectPath("other.txt")}));
    EXPECT_FALSE(fs::exists(projectPath("other.txt")));
    EXPECT_EQ(document().documentPath, projectPath("kept.pvp"));
    EXPECT_EQ(document().windowTitle(), "Pavonia - kept.pvp");
}

TEST_F(ProjectCommandsTest, NewAfterWorkLeavesNoOldFilesInTemp)
{
    const std::set<std::string> fresh = filesIn(temp());
    addPictureSlide();
    ui.saveAnswers.push_back(projectPath("work.pvp"));
    ASSERT_TRUE(commands->Save());
    ASSERT_TRUE(commands->OpenProjectFile(projectPath("work.pvp")));
    document().setDirty(true);

    ui.answers = {Answer::No}; // do not save
    ASSERT_TRUE(commands->NewProject());
    document().workingFolder().finishDeletions();
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::SaveBeforeNew)});
    // A new project's own copies only: the default talking image and message.
    EXPECT_EQ(filesIn(temp()).size(), fresh.size());
    for (const std::string& name : filesIn(temp()))
        EXPECT_TRUE(name.ends_with(".tjm") || name.ends_with(".tps")) << name;
    EXPECT_EQ(tree().sessions().size(), 1u);
    ASSERT_EQ(tree().allSlides().size(), 1u);
    EXPECT_EQ(tree().slideCount(), 1);
    EXPECT_EQ(tree().selected(), &tree().root());
    EXPECT_EQ(document().windowTitle(), "Pavonia");
    EXPECT_TRUE(document().documentPath.empty());
    EXPECT_FALSE(document().dirty());
    EXPECT_GE(replaced, 2);
}

TEST_F(ProjectCommandsTest, UnsavedChangesAreAskedAboutFirst)
{
    ui.saveAnswers.push_back(projectPath("a.pvp"));
    ASSERT_TRUE(commands->SaveCommand(true));
    addPictureSlide();
    const std::size_t slides = tree().allSlides().size();

    // Cancel stops every command before anything changes.
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(commands->NewProject());
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(commands->OpenProjectFile(projectPath("a.pvp")));
    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(commands->canClose());
    EXPECT_EQ(tree().allSlides().size(), slides);
    EXPECT_TRUE(document().dirty());

    // Open: declining the first question asks the second before reading.
    ui.shown.clear();
    ui.answers = {Answer::No, Answer::Cancel};
    ui.openAnswers.push_back(std::vector<std::string>{projectPath("a.pvp")});
    EXPECT_FALSE(commands->OpenProject());
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{StringTable::text(str::SaveBeforeOpening),
                                                    StringTable::text(str::SaveBeforeNew)}));
    EXPECT_EQ(tree().allSlides().size(), slides);

    // Yes saves first; closing is then allowed.
    ui.answers = {Answer::Yes};
    EXPECT_TRUE(commands->canClose());
    EXPECT_FALSE(document().dirty());
    ASSERT_TRUE(commands->OpenProjectFile(projectPath("a.pvp")));
    EXPECT_EQ(tree().allSlides().size(), slides);
}

TEST_F(ProjectCommandsTest, DamagedOrForeignFilesLeaveAWorkingProject)
{
    addPictureSlide();
    ui.saveAnswers.push_back(projectPath("good.pvp"));
    ASSERT_TRUE(commands->Save());
    const std::size_t slides = tree().allSlides().size();

    // A foreign file is refused before anything changes.
    const std::string foreign = installation.writeFile("foreign.pvp", "this is no project file at all");
    EXPECT_FALSE(commands->OpenProjectFile(foreign));
    EXPECT_EQ(ui.texts().back(), StringTable::format(str::NotAProjectFile, {foreign}));
    EXPECT_EQ(tree().allSlides().size(), slides);
    EXPECT_EQ(document().windowTitle(), "Pavonia - good.pvp");

    // A wrong extension from the Open dialog is refused with its message.
    ui.openAnswers.push_back(std::vector<std::string>{projectPath("deck.ppt")});
    EXPECT_FALSE(commands->OpenProject());
    EXPECT_EQ(ui.texts().back(), StringTable::format(str::UnsupportedFileFormat, {projectPath("deck.ppt")}));

    // A file cut short inside its records: whatever it held, the window
    // goes on with a project that has a session and no file name.
    std::ifstream in(projectPath("good.pvp"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    for (std::size_t cut : {std::size_t{16}, std::size_t{40}, bytes.size() / 2}) {
        SCOPED_TRACE(cut);
        const std::string damaged = installation.writeFile("damaged.pvp", bytes.substr(0, cut));
        ui.shown.clear();
        const bool opened = commands->OpenProjectFile(damaged);
        EXPECT_FALSE(tree().sessions().empty());
        EXPECT_FALSE(tree().allSlides().empty());
        if (!opened) {
            EXPECT_FALSE(ui.shown.empty());
            EXPECT_TRUE(document().documentPath.empty());
            EXPECT_EQ(document().windowTitle(), "Pavonia");
        } else if (document().loadedDamaged) {
            // Save does not write over the damaged file unasked: it asks
            // for a name (here: cancelled).
            document().setDirty(true);
            ui.lastDialog = {};
            EXPECT_FALSE(commands->Save());
            EXPECT_EQ(ui.lastDialog.filter, "PVP File(*.pvp)|*.pvp||");
            EXPECT_EQ(test::readFile(damaged), bytes.substr(0, cut));
            document().setDirty(false);
        }
    }
}

TEST_F(ProjectCommandsTest, DocumentTellsItsObserversOfEachChange)
{
    struct Recorder : DocumentObserver {
        std::vector<std::string> seen;
        void dirtyChanged(bool dirty) override { seen.push_back(dirty ? "dirty" : "clean"); }
        void busyChanged(bool busy) override { seen.push_back(busy ? "busy" : "idle"); }
        void commandFlagsChanged() override { seen.push_back("flags"); }
        void titleChanged(const std::string& title) override { seen.push_back(title); }
    } recorder;
    document().addObserver(&recorder);
    document().setDirty(true);
    document().setDirty(true); // no change, no call
    ui.saveAnswers.push_back(projectPath("seen.pvp"));
    ASSERT_TRUE(commands->Save());
    document().setEditingAllowed(false);
    ui.answers = {Answer::Yes};
    ASSERT_TRUE(commands->OpenProjectFile(projectPath("seen.pvp")));
    document().removeObserver(&recorder);
    document().setDirty(true);
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"dirty", "clean", "Pavonia - seen.pvp", "flags", "busy",
                                                        "dirty", "idle", "clean", "flags"}));
}

} // namespace
