#include "import/ImportMediaDlgLogic.h"
#include "import/MediaImport.h"

#include "ImportFixture.h"
#include "ViewCounter.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia::test {
namespace {

namespace fs = std::filesystem;

// A converter that is not installed.
class AbsentConverter final : public SlideDeckConverter {
public:
    bool available() const override { return false; }
    DeckConversion convert(const std::string&, const std::string&, int) override
    {
        ADD_FAILURE() << "an absent converter was asked to convert";
        return {};
    }
};

class MediaImportTest : public ImportFixture {
protected:
    MediaImport::Outcome import(const std::vector<std::string>& paths, int type = 0)
    {
        ops.selectionChanged(tree().root().child(0));
        return media.importFiles(paths, type);
    }

    AbsentConverter converter;
    MediaImport media{document, ops, converter};
};

TEST_F(MediaImportTest, FilesComeInByteOrderOfTheirPaths)
{
    const auto outcome = import({picture("c.jpg"), inst.writeFile("pictures/a.bmp", BmpFile{}.bytes()),
                                 inst.writeFile("pictures/b.gif", encodeGif(4, 4, {0xff0000})), picture("B.jpg")});
    EXPECT_EQ(shape(), "Session 1[B,a,b,c]");
    EXPECT_EQ(outcome.added, 4);
    EXPECT_TRUE(ui.shown.empty());
    // The session is selected after the import.
    EXPECT_EQ(tree().selected(), tree().root().child(0));
}

TEST_F(MediaImportTest, KindOfTheWholeImportIsThatOfTheFirstAcceptedFile)
{
    // y.ppt follows x.jpg: it is added as a slide like a picture, not
    // converted (the converter would refuse).
    const std::string deck = inst.writeFile("pictures/y.ppt", "deck");
    import({deck, picture("x.jpg")});
    EXPECT_EQ(shape(), "Session 1[x,y]");
    EXPECT_EQ(tree().root().child(0)->child(1)->slide()->mediaSourcePath, deck);
    EXPECT_EQ(document.lastImportKind, slot::MediaPicture);
    EXPECT_EQ(document.folderMemory().get(slot::MediaPicture), inst.root() + "pictures/");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MediaImportTest, ExtensionTestIsASubstringTestOfTheFilter)
{
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {
        {"talk.ram", false}, {"notes.txt", false}, {"noextension", false}, {"x.jp", true},
        {"PHOTO.PNG", true}, {"shot.jpeg", true}, {"clip.mp4", true},     {"clip.webm", true},
        {"deck.pptx", true}, {"deck.ODP", true},  {"show.ppsx", true},    {"old.rm", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(importExtensionAccepted(std::string("/m/") + c.name), c.accepted) << c.name;

    // A refused file is reported by name and the rest still come in.
    const std::string ram = inst.writeFile("clips/talk.ram", "ram");
    const std::string clip = inst.writeFile("clips/z.webm", "webm");
    const auto outcome = import({ram, clip});
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::format(str::UnsupportedFileFormat, {ram})});
    EXPECT_EQ(shape(), "Session 1[z]");
    EXPECT_EQ(outcome.accepted, 1);
    EXPECT_EQ(document.lastImportKind, slot::MediaClip);
}

TEST_F(MediaImportTest, PictureThatCannotBeReadIsRefusedAndAddsNoSlide)
{
    const std::string broken = inst.writeFile("pictures/a.png", "not a picture at all");
    const std::string empty = inst.writeFile("pictures/b.jpg", "");
    const auto outcome = import({broken, empty, picture("c.jpg")});
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{StringTable::format(str::PictureUnreadable, {broken}),
                                                    StringTable::format(str::PictureUnreadable, {empty})}));
    EXPECT_EQ(shape(), "Session 1[c]");
    EXPECT_EQ(outcome.added, 1);
}

TEST_F(MediaImportTest, SlideLimitStopsTheImportWithOneMessage)
{
    fillSlides(255);
    const auto outcome = import({picture("a.jpg"), picture("b.jpg"), picture("c.jpg")});
    EXPECT_EQ(outcome.added, 1);
    EXPECT_EQ(tree().slideCount(), 256);
    EXPECT_EQ(messagesOf(str::SlideLimitReached), 1);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(tree().root().child(0)->children().back()->text(), "a");
}

TEST_F(MediaImportTest, EachSessionModeMakesASessionPerFileWithoutTheEmptyFirstOne)
{
    import({picture("b.jpg"), picture("a.jpg")}, 1);
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b]");
}

TEST_F(MediaImportTest, DeckWithoutTheConverterStopsTheImport)
{
    const auto outcome = import({inst.writeFile("decks/a.pptx", "deck"), picture("b.jpg")});
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"PowerPoint Application not found.\nCan't import PPT file."});
    EXPECT_EQ(outcome.added, 0);
    EXPECT_EQ(shape(), "Session 1[]");
    EXPECT_EQ(document.lastImportKind, slot::PowerPoint);
}

TEST_F(MediaImportTest, CommandOpensWhereTheLastImportKindPointsAndAsksForTheType)
{
    const std::string a = picture("a.jpg");
    const std::string b = picture("b.jpg");
    document.lastImportKind = slot::PowerPoint;
    document.folderMemory().set(slot::PowerPoint, inst.root() + "pictures");
    std::vector<int> asked;
    media.setImportTypePrompt([&](int current) -> std::optional<int> {
        asked.push_back(current);
        return 1;
    });
    ui.openAnswers = {std::vector<std::string>{b, a}};
    ops.selectionChanged(tree().root().child(0));
    EXPECT_TRUE(media.ImportMediaFiles());
    EXPECT_EQ(ui.lastDialog.initialFilter, 3);
    EXPECT_EQ(ui.lastDialog.startFolder, inst.root() + "pictures/");
    EXPECT_TRUE(ui.lastDialog.multiple);
    EXPECT_TRUE(ui.lastDialog.picturePreview);
    EXPECT_EQ(ui.lastDialog.filter, StringTable::text(str::MediaImportFilter));
    EXPECT_EQ(asked, std::vector<int>{0});
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b]");

    // The next dialog shows the picture filter first; cancelling it, or the
    // settings, imports nothing.
    EXPECT_FALSE(media.ImportMediaFiles());
    EXPECT_EQ(ui.lastDialog.initialFilter, 1);
    media.setImportTypePrompt([](int) { return std::nullopt; });
    ui.openAnswers = {std::vector<std::string>{picture("c.jpg")}};
    EXPECT_FALSE(media.ImportMediaFiles());
    EXPECT_EQ(tree().slideCount(), 2);

    // Switched off, the stored type is used without asking.
    document.preferences().setShowImportDlg(0);
    document.preferences().setImportType(0);
    ui.openAnswers = {std::vector<std::string>{picture("c.jpg")}};
    EXPECT_TRUE(media.ImportMediaFiles());
    EXPECT_EQ(tree().slideCount(), 3);
    EXPECT_EQ(tree().sessions().size(), 2u);
}

TEST_F(MediaImportTest, SelectionBeyondTheDialogsResultIsRefused)
{
    std::vector<std::string> names;
    for (int i = 0; i < 120; ++i)
        names.push_back(inst.root() + "pictures/a-rather-long-picture-name-" + std::to_string(i) + ".jpg");
    ui.openAnswers = {names};
    EXPECT_FALSE(media.ImportMediaFiles());
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Can't import so much files at a time."});
    EXPECT_EQ(tree().slideCount(), 1);
}

TEST_F(MediaImportTest, SettingsDialogWritesItsTwoPreferencesOnOk)
{
    Preferences& preferences = document.preferences();
    ImportMediaDlgLogic dialog(preferences, 1);
    EXPECT_EQ(dialog.importType(), 1);
    EXPECT_FALSE(dialog.dontShowNextTime());
    dialog.setImportType(0);
    dialog.setDontShowNextTime(true);
    EXPECT_TRUE(dialog.accept());
    EXPECT_EQ(preferences.importType(), 0);
    EXPECT_EQ(preferences.showImportDlg(), 0);
}

TEST_F(MediaImportTest, SettingsDialogTellsItsViewOfEachChange)
{
    ImportMediaDlgLogic dialog(document.preferences(), 1);
    ViewCounter view(dialog);
    dialog.setImportType(0);
    EXPECT_EQ(view.take(), 1);
    dialog.setImportType(0);
    dialog.setImportType(7); // any other type is 0 too
    dialog.setDontShowNextTime(false);
    EXPECT_EQ(view.take(), 0);
    dialog.setDontShowNextTime(true);
    EXPECT_EQ(view.take(), 1);
    EXPECT_TRUE(dialog.accept());
    EXPECT_EQ(view.take(), 0);
}

TEST(PowerPointImportTest, BaseNameIsLearntFromTheShortestPictureEndingInOne)
{
    TestInstallation inst(false);
    for (const char* name : {"Diapositive11.jpg", "Diapositive10.jpg", "Diapositive1.jpg", "Diapositive2.jpg"})
        inst.writeFile("deck/" + std::string(name), "");
    EXPECT_EQ(PowerPointImport::learnBaseName(inst.root() + "deck/"), "Diapositive");
    inst.writeFile("other/Slide2.jpg", "");
    EXPECT_EQ(PowerPointImport::learnBaseName(inst.root() + "other/"), "*");
}

} // namespace
} // namespace pavonia::test
