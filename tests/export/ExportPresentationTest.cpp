// The three kinds of export of a small project: what lands in the output
// folder, the sizes reported, the messages, and what is cleaned up.
#include "CabinetTools.h"
#include "PublishFixture.h"

#include "export/ExportPresentation.h"
#include "export/PackLayout.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

std::uint64_t sizeOfTree(const std::string& folder)
{
    std::uint64_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            total += entry.file_size();
    return total;
}

class ExportPresentationTest : public ::testing::Test {
protected:
    ExportPresentationTest()
    {
        fs::create_directories(out);
        fixture.installation.writeFile("install/AutoRun/autorun.inf", "[autorun]\r\n");
        fixture.installation.writeFile("install/AutoRun/b.inf", "second");
        fixture.installation.writeFile("install/AutoRun/readme.txt", "read me");
        fixture.installation.writeFile("install/AutoRun/sub/skipped.txt", "in a subfolder");
        fs::copy_file(PAVONIA_PKSEED, fixture.installation.folder() + "pkseed.exe");
        fixture.installation.writeFile("install/pvplayer.exe", "#!/bin/sh\nexit 0\n");
    }

    ExportPresentation makeExport()
    {
        PublishContext publish{fixture.document, fixture.library, fixture.layers, fixture.exporter};
        ExportContext context(publish);
        context.showSize = [this](const std::string& text) { sizeMessages.push_back(text); };
        return ExportPresentation(context);
    }

    bool exportAs(ExportKind kind, const std::string& path, bool includeAutoRun = true)
    {
        fixture.document.preferences().setExportType(static_cast<int>(kind));
        ExportChoice choice;
        choice.kind = kind;
        choice.includeAutoRun = includeAutoRun;
        return makeExport().exportTo(choice, path);
    }

    // Nothing of an export (publish folder, work pack) is left in the
    // system temporary folder.
    void expectNoLeftovers() const
    {
        for (const auto& entry : fs::directory_iterator(fixture.installation.tempFolder())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.rfind("_ppt", 0) != 0 && name.find("__pvpack") == std::string::npos) << name;
        }
    }

    PublishFixture fixture;
    std::string out = fixture.installation.root() + "out/";
    std::vector<std::string> sizeMessages;
};

TEST_F(ExportPresentationTest, AWebExportIsThePageBesideAFolderOfItsFilesWithTheirSizeReported)
{
    // The output folder is made where it is missing.
    out += "new/";
    ASSERT_TRUE(exportAs(ExportKind::Web, out + "Show.HTM"));
    // The extension test ignores case; the page is T.htm, its files in T/.
    const std::string page = readFile(out + "Show.htm");
    EXPECT_NE(page.find("\"Show\\\");"), std::string::npos);
    EXPECT_TRUE(fs::exists(out + "Show/function.js"));
    EXPECT_TRUE(fs::exists(out + "Show/images/frame.gif"));
    EXPECT_FALSE(fs::exists(out + "Show/Template.htm"));
    const std::uint64_t total = sizeOfTree(out);
    ASSERT_EQ(sizeMessages.size(), 1u);
    EXPECT_EQ(sizeMessages[0], "Total exported file size is " + std::to_string(total >> 10) + " KB ( " +
                                   std::to_string(total) + " bytes).");
    EXPECT_TRUE(fixture.ui.shown.empty());
    EXPECT_EQ(fixture.document.folderMemory().get(slot::Html), out);
    expectNoLeftovers();
}

TEST_F(ExportPresentationTest, AnExtensionOtherThanTheKindsIsRefusedBeforeAnythingIsWritten)
{
    EXPECT_FALSE(exportAs(ExportKind::Web, out + "Show.txt"));
    EXPECT_FALSE(exportAs(ExportKind::Exe, out + "Show.htm"));
    EXPECT_EQ(fixture.ui.texts(), (std::vector<std::string>{
                                      "This file format is unsupport. \n ( File: " + out + "Show.txt )",
                                      "This file format is unsupport. \n ( File: " + out + "Show.htm )"}));
    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_TRUE(sizeMessages.empty());
    expectNoLeftovers();
}

TEST_F(ExportPresentationTest, ACdExportAddsTheAutoRunFilesAndAutorunIni)
{
    ASSERT_TRUE(exportAs(ExportKind::Cd, out + "Show.htm"));
    EXPECT_EQ(readFile(out + "autorun.ini"), "[Export]\r\n\r\nFile = Show.htm\r\n");
    EXPECT_EQ(readFile(out + "b.inf"), "second");
    EXPECT_TRUE(fs::exists(out + "autorun.inf"));
    EXPECT_TRUE(fs::exists(out + "readme.txt"));
    EXPECT_FALSE(fs::exists(out + "sub"));
    // The AutoRun folder counts whole, its subfolder included.
    const std::uint64_t published = sizeOfTree(out + "Show") + fs::file_size(out + "Show.htm");
    const std::uint64_t total = published + 29 + sizeOfTree(fixture.installation.folder() + "AutoRun");
    ASSERT_EQ(sizeMessages.size(), 1u);
    EXPECT_NE(sizeMessages[0].find("( " + std::to_string(total) + " bytes)"), std::string::npos)
        << sizeMessages[0];
}

TEST_F(ExportPresentationTest, WithoutAutoRunInformationOnlyTheFirstInfFileOfTheFolderGoes)
{
    // A file of the user's in the output folder is not the export's to delete.
    fixture.installation.writeFile("out/a.inf", "mine");
    ASSERT_TRUE(exportAs(ExportKind::Cd, out + "Show.htm", false));
    EXPECT_FALSE(fs::exists(out + "autorun.inf"));
    EXPECT_TRUE(fs::exists(out + "b.inf"));
    EXPECT_EQ(readFile(out + "a.inf"), "mine");
    EXPECT_TRUE(fs::exists(out + "autorun.ini"));
    const std::uint64_t published = sizeOfTree(out + "Show") + fs::file_size(out + "Show.htm");
    const std::uint64_t total = published + 29 + sizeOfTree(fixture.installation.folder() + "AutoRun") - 11;
    ASSERT_EQ(sizeMessages.size(), 1u);
    EXPECT_NE(sizeMessages[0].find("( " + std::to_string(total) + " bytes)"), std::string::npos) << sizeMessages[0];
}

TEST_F(ExportPresentationTest, ACdExportWithoutAutoRunFolderStillLeavesTheWebExport)
{
    fs::remove_all(fixture.installation.folder() + "AutoRun");
    ASSERT_TRUE(exportAs(ExportKind::Cd, out + "Show.htm"));
    EXPECT_EQ(fixture.ui.texts(), std::vector<std::string>{"AutoRun Folder not exist.\nUnable to export for CD."});
    EXPECT_TRUE(fs::exists(out + "Show.htm"));
    EXPECT_TRUE(fs::exists(out + "Show/function.js"));
    EXPECT_FALSE(fs::exists(out + "autorun.ini"));
    const std::uint64_t total = sizeOfTree(out);
    ASSERT_EQ(sizeMessages.size(), 1u);
    EXPECT_NE(sizeMessages[0].find("( " + std::to_string(total) + " bytes)"), std::string::npos);
}

TEST_F(ExportPresentationTest, AnExecutableCarriesEveryPublishedFileThePlayerAndItsCommandLine)
{
    ASSERT_TRUE(exportAs(ExportKind::Exe, out + "Show.exe"));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    const std::string bytes = readFile(out + "Show.exe");
    pack::Trailer trailer;
    ASSERT_TRUE(trailer.decode(reinterpret_cast<const std::uint8_t*>(bytes.data() + bytes.size() - 804)));
    EXPECT_EQ(trailer.player, "pvplayer.exe");
    EXPECT_EQ(trailer.commandLine, "Show.htm 800 600");
    EXPECT_EQ(trailer.dataOffset, fs::file_size(PAVONIA_PKSEED));

    std::vector<std::string> names;
    for (std::uint64_t at = trailer.dataOffset; at < bytes.size() - 804;) {
        pack::EntryHeader header;
        ASSERT_TRUE(header.decode(reinterpret_cast<const std::uint8_t*>(bytes.data() + at)));
        names.push_back(header.name);
        at += header.entrySize;
    }
    // Subfolders are packed under their relative paths.
    // Every published file, those in subfolders under their relative paths,
    // with the page under its new name and the player.
    for (const char* name : {"Show.htm", "function.js", "images/frame.gif", "loading.gif", "pvplayer.exe", "style.css"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.ends_with(".tps"); }), 1);
    ASSERT_EQ(sizeMessages.size(), 1u);
    EXPECT_NE(sizeMessages[0].find("( " + std::to_string(bytes.size()) + " bytes)"), std::string::npos);
    EXPECT_EQ(fixture.document.folderMemory().get(slot::Program), out);
    expectNoLeftovers();
    if (haveCabinetReaders()) {
        const CommandRun listed = runCommand("cabextract -l '" + out + "Show.exe' | grep -c '| tempcab.cb'");
        EXPECT_EQ(listed.out, std::to_string(names.size()) + "\n");
    }
}

TEST_F(ExportPresentationTest, AnExecutableIsPackedInAPrivateFolderNotThroughANameLeftInTheSharedTemp)
{
    // Another export's work pack, or a link someone planted, under the
    // work pack's name in the shared temporary folder is never written.
    const std::string victim = fixture.installation.writeFile("victim.txt", "keep me");
    const std::string planted = fixture.installation.tempFolder() + ExportPresentation::kWorkPack;
    fs::create_symlink(victim, planted);

    ASSERT_TRUE(exportAs(ExportKind::Exe, out + "Show.exe"));
    EXPECT_EQ(readFile(victim), "keep me");
    EXPECT_TRUE(fs::is_symlink(planted));
    fs::remove(planted);
    expectNoLeftovers();
}

TEST_F(ExportPresentationTest, AnExecutableThatCannotBeMadeLeavesNothingBehind)
{
    fs::remove(fixture.installation.folder() + "pkseed.exe");
    EXPECT_FALSE(exportAs(ExportKind::Exe, out + "Show.exe"));
    EXPECT_EQ(fixture.ui.texts(), std::vector<std::string>{"Failed to embed file " + out + "Show.exe"});
    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_TRUE(sizeMessages.empty());
    expectNoLeftovers();
}

TEST_F(ExportPresentationTest, ACancelledExportLeavesTheOutputFolderAsItWas)
{
    // An earlier export of the same name, with a file of the user's in it.
    fs::create_directories(out + "Show");
    std::ofstream(out + "Show.htm") << "old page";
    std::ofstream(out + "Show/mine.txt") << "mine";
    const auto listing = [this] {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(out))
            names.push_back(fs::relative(entry.path(), out).generic_string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = listing();

    const struct {
        ExportKind kind;
        const char* path;
        ExportProgress::Phase stopAt;
    } cases[] = {{ExportKind::Web, "Show.htm", ExportProgress::Phase::Copying},
                 {ExportKind::Cd, "Show.htm", ExportProgress::Phase::Copying},
                 {ExportKind::Exe, "Show.exe", ExportProgress::Phase::Packing},
                 {ExportKind::Web, "Show.htm", ExportProgress::Phase::Publishing}};
    for (const auto& c : cases) {
        ExportContext context(PublishContext{fixture.document, fixture.library, fixture.layers, fixture.exporter});
        context.showSize = [this](const std::string& text) { sizeMessages.push_back(text); };
        std::uint64_t lastDone = 0;
        // Cancelled part-way through the phase: some bytes done, not all.
        context.progress = [&](const ExportProgress& at) {
            if (at.phase != c.stopAt)
                return true;
            EXPECT_GE(at.done, lastDone);
            lastDone = at.done;
            return at.done == 0;
        };
        ExportChoice choice;
        choice.kind = c.kind;
        EXPECT_FALSE(ExportPresentation(context).exportTo(choice, out + c.path)) << c.path;
        EXPECT_GT(lastDone, 0u) << c.path;
        EXPECT_EQ(listing(), before) << int(c.kind);
        expectNoLeftovers();
    }
    EXPECT_TRUE(fixture.ui.shown.empty());
    EXPECT_TRUE(sizeMessages.empty());

    // Finished, the export replaces its own files and keeps the user's.
    ASSERT_TRUE(exportAs(ExportKind::Web, out + "Show.htm"));
    EXPECT_NE(readFile(out + "Show.htm"), "old page");
    EXPECT_EQ(readFile(out + "Show/mine.txt"), "mine");
    EXPECT_TRUE(fs::exists(out + "Show/function.js"));
    for (const auto& entry : fs::directory_iterator(out))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

TEST_F(ExportPresentationTest, TheCommandSavesAModifiedProjectAndAsksWhereToExport)
{
    fixture.document.setDirty(true);
    fixture.document.documentPath = "/kept.pvp";
    ExportContext context(PublishContext{fixture.document, fixture.library, fixture.layers, fixture.exporter});
    int saves = 0;
    context.save = [&] {
        ++saves;
        EXPECT_EQ(fixture.document.documentPath, "");
        return false;
    };
    EXPECT_FALSE(ExportPresentation(context).run());
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(fixture.document.documentPath, "/kept.pvp");

    // With the dialog switched off the stored kind is taken; a cancelled
    // file dialog ends the command.
    fixture.document.setDirty(false);
    fixture.document.preferences().setShowExportDlg(0);
    fixture.document.preferences().setExportType(2);
    context.dialog = [](const ExportChoice&) -> std::optional<ExportChoice> {
        ADD_FAILURE() << "the dialog is switched off";
        return std::nullopt;
    };
    EXPECT_FALSE(ExportPresentation(context).run());
    EXPECT_EQ(fixture.ui.lastDialog.filter, "EXE File(*.exe)|*.exe||");
    EXPECT_EQ(fixture.ui.lastDialog.defaultExtension, "exe");
    EXPECT_TRUE(fixture.ui.lastDialog.overwritePrompt);

    // The dialog's choice is exported to the picked path.
    fixture.document.preferences().setShowExportDlg(1);
    context.dialog = [](const ExportChoice& stored) -> std::optional<ExportChoice> {
        EXPECT_EQ(stored.kind, ExportKind::Exe);
        EXPECT_EQ(stored.qualities.image, 80);
        ExportChoice choice = stored;
        choice.kind = ExportKind::Web;
        return choice;
    };
    context.showSize = [](const std::string&) {};
    fixture.ui.saveAnswers.push_back(out + "Deck.htm");
    EXPECT_TRUE(ExportPresentation(context).run());
    EXPECT_EQ(fixture.ui.lastDialog.filter, "HTML File(*.htm)|*.htm||");
    EXPECT_TRUE(fs::exists(out + "Deck.htm"));
}

TEST(ExportSizeTest, KilobytesAreTheBytesShiftedRightByTen)
{
    EXPECT_EQ(ExportPresentation::sizeMessage(1023), "Total exported file size is 0 KB ( 1023 bytes).");
    EXPECT_EQ(ExportPresentation::sizeMessage(1024), "Total exported file size is 1 KB ( 1024 bytes).");
    EXPECT_EQ(ExportPresentation::sizeMessage(5368709120ull),
              "Total exported file size is 5242880 KB ( 5368709120 bytes).");
}

} // namespace
} // namespace pavonia::test
