#include "album/ContentAlbumLogic.h"
#include "platform/StringTable.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {

class FakeAlbum final : public AlbumControl {
public:
    bool selectionIsNotFile() const override { return selection.empty() || folderSelected; }
    std::string selectedPath() const override { return selection; }
    std::string currentFolder() const override { return folder; }
    void cannotOpen(const std::string& path, int) override { refused.push_back(path); }

    std::string selection;
    bool folderSelected = false;
    std::string folder;
    std::vector<std::string> refused;
};

class RecordingPreview final : public MessagePreview {
public:
    void startPreview() override { calls.push_back("start"); }
    void stopPreview() override { calls.push_back("stop"); }
    void loadTps(const std::string& path) override { calls.push_back("load " + path); }
    std::vector<std::string> calls;
};

class FakeShell final : public Shell {
public:
    bool open(const std::string& address) override
    {
        opened.push_back(address);
        return true;
    }
    std::vector<std::string> opened;
};

class ContentAlbumLogicTest : public ::testing::Test {
protected:
    ContentAlbumLogic& make(AlbumKind kind)
    {
        logic.emplace(home.folder(), kind, registry, shell, ui);
        album.folder = home.folder() + "Content";
        logic->open(&album, preview);
        preview.calls.clear();
        return *logic;
    }
    // The album selects `file` of the content folder.
    void select(const std::string& file)
    {
        album.selection = album.folder + "/" + file;
        logic->selectionChanged(album.selection);
    }

    test::TestInstallation home{false};
    test::MapRegistry registry;
    FakeShell shell;
    test::ScriptedUi ui;
    FakeAlbum album;
    RecordingPreview preview;
    std::optional<ContentAlbumLogic> logic;
};

TEST_F(ContentAlbumLogicTest, OpensWithOkDisabledPreviewCheckedAndStopped)
{
    ContentAlbumLogic dialog(home.folder(), AlbumKind::Messages, registry, shell, ui);
    dialog.open(&album, preview);
    EXPECT_FALSE(dialog.okEnabled());
    EXPECT_TRUE(dialog.name().empty());
    EXPECT_TRUE(dialog.previewShown());
    EXPECT_TRUE(dialog.previewChecked());
    EXPECT_EQ(preview.calls, std::vector<std::string>{"stop"});
    EXPECT_EQ(dialog.typeEntry(), "Talking Message File (*.tps)");
    EXPECT_EQ(dialog.caption(), "Import Talking Image/Message");
    EXPECT_FALSE(make(AlbumKind::Images).previewShown());
    EXPECT_EQ(logic->typeEntry(), "Talking Image Files (*.tjm)");
}

TEST_F(ContentAlbumLogicTest, TypedNameTakesTheKindsExtensionInTheShownFolder)
{
    home.writeFile("install/Content/face.tjm", "x");
    home.writeFile("install/Content/Hello.tps", "x");
    const struct {
        AlbumKind kind;
        std::string typed;
        std::string file;
    } cases[] = {
        {AlbumKind::Images, "face", "face.tjm"},
        {AlbumKind::Images, "face.png", "face.tjm"},
        {AlbumKind::Images, "face.tjm.bak", "face.tjm"},
        {AlbumKind::Messages, "Hello.wav", "Hello.tps"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ContentAlbumLogic& dialog = make(c.kind);
        dialog.editName(c.typed);
        EXPECT_TRUE(dialog.okEnabled());
        ASSERT_TRUE(dialog.ok());
        EXPECT_EQ(dialog.result(), album.folder + "/" + c.file);
    }
}

TEST_F(ContentAlbumLogicTest, OkStaysOpenForSeparatorsAndFilesThatCannotBeOpened)
{
    std::filesystem::create_directories(home.folder() + "Content/Folder.tjm");
    ContentAlbumLogic& dialog = make(AlbumKind::Images);
    for (const char* typed : {"Sub/face", "..\\face", "/etc/passwd"}) {
        dialog.editName(typed);
        EXPECT_FALSE(dialog.ok()) << typed;
    }
    EXPECT_TRUE(album.refused.empty()); // refused without a word
    EXPECT_TRUE(ui.shown.empty());

    for (const char* typed : {"missing", "Folder"}) {
        dialog.editName(typed);
        EXPECT_FALSE(dialog.ok()) << typed;
    }
    EXPECT_EQ(album.refused, (std::vector<std::string>{album.folder + "/missing.tjm", album.folder + "/Folder.tjm"}));
    EXPECT_FALSE(dialog.result());
}

TEST_F(ContentAlbumLogicTest, SelectionFillsTheNameAndPlaysTheMessageAsThePreviewSwitchSays)
{
    ContentAlbumLogic& dialog = make(AlbumKind::Messages);
    select("Hello.tps");
    EXPECT_EQ(dialog.name(), "Hello.tps");
    EXPECT_TRUE(dialog.okEnabled());
    EXPECT_EQ(preview.calls, (std::vector<std::string>{"start", "load " + album.selection}));

    preview.calls.clear();
    dialog.setPreviewChecked(false);
    EXPECT_EQ(preview.calls, (std::vector<std::string>{"stop", "load " + album.selection}));

    // A folder, or nothing, is no choice.
    album.folderSelected = true;
    logic->selectionChanged(album.folder + "/Greetings");
    EXPECT_TRUE(dialog.name().empty());
    EXPECT_FALSE(dialog.okEnabled());
    album.folderSelected = false;
    select("Hello.tps");
    logic->selectionChanged("");
    EXPECT_FALSE(dialog.okEnabled());
}

TEST_F(ContentAlbumLogicTest, ActivationPressesOkOnceAndAddFromWebCancelsOnce)
{
    home.writeFile("install/Content/Hello.tps", "x");
    ContentAlbumLogic& dialog = make(AlbumKind::Messages);
    album.selection = album.folder + "/Hello.tps";
    ASSERT_TRUE(dialog.itemActivated(album.selection));
    ASSERT_TRUE(dialog.ok());
    EXPECT_EQ(dialog.result(), album.selection);
    EXPECT_FALSE(dialog.itemActivated(album.selection));
    EXPECT_FALSE(dialog.addFromWeb());
    select("Other.tps"); // ignored while closing
    EXPECT_EQ(dialog.name(), "Hello.tps");

    home.writeFile("install/Quibbit_TJM.url", "[InternetShortcut]\nURL=https://example.org/faces\n");
    ContentAlbumLogic& images = make(AlbumKind::Images);
    EXPECT_TRUE(images.addFromWeb());
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://example.org/faces"});
    EXPECT_FALSE(images.addFromWeb());
    EXPECT_FALSE(images.itemActivated(album.folder + "/face.tjm"));
    EXPECT_EQ(shell.opened.size(), 1u);

    // Without its link file the user is told.
    ContentAlbumLogic& messages = make(AlbumKind::Messages);
    EXPECT_TRUE(messages.addFromWeb());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("Quibbit_TPS.url"), std::string::npos);
}

TEST_F(ContentAlbumLogicTest, AnActivatedFileThatCannotBeOpenedLeavesTheDialogUsable)
{
    home.writeFile("install/Content/Hello.tps", "x");
    ContentAlbumLogic& dialog = make(AlbumKind::Messages);
    album.selection = album.folder + "/Gone.tps";
    ASSERT_TRUE(dialog.itemActivated(album.selection));
    EXPECT_EQ(dialog.name(), "Gone.tps");
    EXPECT_FALSE(dialog.ok());
    ASSERT_EQ(album.refused.size(), 1u);
    select("Hello.tps");
    EXPECT_EQ(dialog.name(), "Hello.tps");
    EXPECT_TRUE(dialog.itemActivated(album.selection));
    EXPECT_TRUE(dialog.ok());
}

TEST_F(ContentAlbumLogicTest, WithoutAnAlbumOkClosesWithNoFile)
{
    ContentAlbumLogic dialog(home.folder(), AlbumKind::Images, registry, shell, ui);
    dialog.open(nullptr, preview);
    dialog.editName("face");
    EXPECT_TRUE(dialog.ok());
    EXPECT_FALSE(dialog.result());
}

TEST_F(ContentAlbumLogicTest, SetupNamesTheLibraryFilesAndTheRootIndex)
{
    const std::string key = "Software\\Nimbari\\Pavonia\\1.0";
    EXPECT_EQ(ContentAlbumLogic::rootIndexPath(registry, AlbumKind::Messages), "/tps/root.ini");
    registry.set(RegistryRoot::LocalMachine, key, "QB_Path", "/opt/library");
    EXPECT_EQ(ContentAlbumLogic::rootIndexPath(registry, AlbumKind::Images), "/opt/library/tjm/root.ini");
    registry.set(RegistryRoot::LocalMachine, key, "QB_Path", "/opt/library/");
    EXPECT_EQ(ContentAlbumLogic::rootIndexPath(registry, AlbumKind::Messages), "/opt/library/tps/root.ini");

    ContentAlbumLogic onlyFolder(home.folder(), AlbumKind::Messages, registry, shell, ui, "/start", "");
    const AlbumSetup setup = onlyFolder.setup();
    EXPECT_EQ(setup.contentFolder, home.folder() + "Content/");
    EXPECT_EQ(setup.descriptionName, "album-3.cnt");
    EXPECT_EQ(setup.thumbnailExtension, ".bmp");
    EXPECT_EQ(setup.background, home.folder() + "Content/album-bg-r.bmp");
    EXPECT_FALSE(setup.start);
    ContentAlbumLogic both(home.folder(), AlbumKind::Messages, registry, shell, ui, "/start", "two");
    EXPECT_EQ(both.setup().start, std::pair(std::string("/start"), std::string("two")));
}

} // namespace
} // namespace pavonia
