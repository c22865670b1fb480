// The album widget and the content album dialog over the installed starter
// library, driven by mouse and keyboard as a user would.
#include "album/widgets/AlbumView.h"
#include "album/widgets/ContentAlbumDialog.h"
#include "album/widgets/TpsPreview.h"
#include "voice/BufferAudioDevice.h"

#include "OffscreenApplication.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

PAVONIA_OFFSCREEN_APPLICATION;

namespace pavonia {
namespace {

const std::string kInstallation = std::string(PAVONIA_TEST_DATA_DIR) + "/";
const std::string kContent = kInstallation + "Content";

AlbumSetup setupFor(AlbumKind kind, const std::string& installation = kInstallation)
{
    test::MapRegistry registry;
    test::ScriptedUi ui;
    class NoShell final : public Shell {
        bool open(const std::string&) override { return false; }
    } shell;
    return ContentAlbumLogic(installation, kind, registry, shell, ui).setup();
}

int rowTitled(const AlbumView& view, const std::string& title)
{
    for (std::size_t i = 0; i < view.album().items().size(); ++i) {
        if (view.album().items()[i].title == title)
            return int(i);
    }
    ADD_FAILURE() << "no item " << title;
    return -1;
}

QPoint centreOf(const AlbumView& view, int row)
{
    return view.grid()->visualRect(view.grid()->model()->index(row, 0)).center();
}

// A double click as the user makes it: the first press, then the second.
void doubleClick(const AlbumView& view, int row)
{
    QTest::mouseClick(view.grid()->viewport(), Qt::LeftButton, {}, centreOf(view, row));
    QTest::mouseDClick(view.grid()->viewport(), Qt::LeftButton, {}, centreOf(view, row));
}

void showAndSettle(QWidget& widget)
{
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

TEST(AlbumView, MouseAndKeysSelectOpenFoldersAndActivateFiles)
{
    AlbumView view(setupFor(AlbumKind::Messages));
    ASSERT_TRUE(view.isLoaded());
    view.resize(view.naturalSize());
    showAndSettle(view);
    QSignalSpy selected(&view, &AlbumView::selectionChanged);
    QSignalSpy activated(&view, &AlbumView::itemActivated);

    // A folder is selected by a click but is no file; a double click opens it.
    const int greetings = rowTitled(view, "Greetings");
    QTest::mouseClick(view.grid()->viewport(), Qt::LeftButton, {}, centreOf(view, greetings));
    EXPECT_TRUE(view.selectionIsNotFile());
    EXPECT_EQ(view.selectedPath(), kContent + "/Greetings");
    doubleClick(view, greetings);
    EXPECT_EQ(view.currentFolder(), kContent + "/Greetings");
    EXPECT_TRUE(view.selectionIsNotFile()); // a new folder starts with nothing chosen
    EXPECT_EQ(selected.last().at(0).toString(), QString());

    // Click the first message, then the arrow key moves to the next one.
    const int welcome = rowTitled(view, "Welcome");
    QTest::mouseClick(view.grid()->viewport(), Qt::LeftButton, {}, centreOf(view, welcome));
    EXPECT_FALSE(view.selectionIsNotFile());
    EXPECT_EQ(selected.last().at(0).toString().toStdString(), kContent + "/Greetings/Welcome.tps");
    const int morning = rowTitled(view, "Good morning");
    QTest::keyClick(view.grid(), morning > welcome ? Qt::Key_Right : Qt::Key_Left);
    EXPECT_EQ(view.selectedPath(), kContent + "/Greetings/Good morning.tps");

    QTest::keyClick(view.grid(), Qt::Key_Return);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated.last().at(0).toString().toStdString(), kContent + "/Greetings/Good morning.tps");
    doubleClick(view, welcome);
    EXPECT_EQ(activated.size(), 2);

    // Backspace goes up, and no further than the content folder.
    QTest::keyClick(view.grid(), Qt::Key_Backspace);
    EXPECT_EQ(view.currentFolder(), kContent);
    QTest::keyClick(view.grid(), Qt::Key_Backspace);
    EXPECT_EQ(view.currentFolder(), kContent);
}

TEST(AlbumView, ThumbnailsArriveFromThePreloaderThread)
{
    AlbumView view(setupFor(AlbumKind::Images));
    view.resize(view.naturalSize());
    showAndSettle(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.thumbnailsPending() == 0; }, 5000));
    ASSERT_GE(view.album().items().size(), 6u);
    const QImage first = view.grid()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(96, 96).toImage();
    const QImage second = view.grid()->model()->index(1, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(96, 96).toImage();
    EXPECT_NE(first, second); // two faces, not two placeholders
    test::grab(view, "album-images");
}

class ContentAlbumDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<ContentAlbumDialog> open(AlbumKind kind, const std::string& installation = kInstallation)
    {
        logic.emplace(installation, kind, registry, shell, ui);
        auto dialog = std::make_unique<ContentAlbumDialog>(*logic, &audio);
        showAndSettle(*dialog);
        return dialog;
    }
    void click(ContentAlbumDialog& dialog, const std::string& title)
    {
        AlbumView& view = *dialog.album();
        QTest::mouseClick(view.grid()->viewport(), Qt::LeftButton, {}, centreOf(view, rowTitled(view, title)));
    }
    void openFolder(ContentAlbumDialog& dialog, const std::string& title)
    {
        doubleClick(*dialog.album(), rowTitled(*dialog.album(), title));
    }

    class RecordingShell final : public Shell {
    public:
        bool open(const std::string& address) override
        {
            opened.push_back(address);
            return true;
        }
        std::vector<std::string> opened;
    };
    test::MapRegistry registry;
    RecordingShell shell;
    test::ScriptedUi ui;
    BufferAudioDevice audio;
    std::optional<ContentAlbumLogic> logic;
};

TEST_F(ContentAlbumDialogTest, ChoosingAMessagePreviewsItAndOpenReturnsItsPath)
{
    auto dialog = open(AlbumKind::Messages);
    EXPECT_FALSE(dialog->openButton()->isEnabled());
    EXPECT_TRUE(dialog->previewBox()->isVisible());
    EXPECT_TRUE(dialog->previewBox()->isChecked());

    openFolder(*dialog, "Closings");
    click(*dialog, "Thank you");
    EXPECT_EQ(dialog->nameField()->text(), "Thank you.tps");
    EXPECT_TRUE(dialog->openButton()->isEnabled());
    EXPECT_TRUE(dialog->preview()->isPlaying());
    test::grab(*dialog, "content-album-messages");

    // Unchecking the switch silences the preview.
    dialog->previewBox()->click();
    EXPECT_FALSE(dialog->preview()->isPlaying());

    // The way up is no file: Open goes grey and the name empties.
    click(*dialog, "Up");
    EXPECT_TRUE(dialog->nameField()->text().isEmpty());
    EXPECT_FALSE(dialog->openButton()->isEnabled());

    click(*dialog, "Thank you");
    QTest::mouseClick(dialog->openButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(logic->result(), kContent + "/Closings/Thank you.tps");
    EXPECT_FALSE(dialog->preview()->isPlaying());
}

TEST_F(ContentAlbumDialogTest, TypedNamesAndActivationOfTalkingImages)
{
    auto dialog = open(AlbumKind::Images);
    EXPECT_FALSE(dialog->previewBox()->isVisible());

    // A name with a folder in it does nothing; a name with another extension
    // finds the talking image of the same base name.
    QTest::keyClicks(dialog->nameField(), "x/Ben");
    EXPECT_TRUE(dialog->openButton()->isEnabled());
    QTest::mouseClick(dialog->openButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    // A file that is not there keeps the dialog open, and the album says why.
    dialog->nameField()->clear();
    QTest::keyClicks(dialog->nameField(), "Nobody");
    QTest::mouseClick(dialog->openButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->album()->findChild<QLabel*>("albumNote")->text().contains("Nobody.tjm"));

    dialog->nameField()->clear();
    QTest::keyClicks(dialog->nameField(), "Ben.png");
    QTest::mouseClick(dialog->openButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(logic->result(), kContent + "/Ben.tjm");

    // A double click takes the face and closes at once.
    auto second = open(AlbumKind::Images);
    AlbumView& view = *second->album();
    doubleClick(view, rowTitled(view, "Frank"));
    EXPECT_EQ(second->result(), QDialog::Accepted);
    EXPECT_EQ(logic->result(), kContent + "/Frank.tjm");
}

TEST_F(ContentAlbumDialogTest, AStartFolderAndFileOpenOnThatFileChosenAndSpeaking)
{
    logic.emplace(kInstallation, AlbumKind::Messages, registry, shell, ui, kContent + "/Greetings", "Welcome.tps");
    ContentAlbumDialog dialog(*logic, &audio);
    showAndSettle(dialog);
    EXPECT_EQ(dialog.album()->currentFolder(), kContent + "/Greetings");
    EXPECT_EQ(dialog.nameField()->text(), "Welcome.tps");
    EXPECT_TRUE(dialog.openButton()->isEnabled());
    EXPECT_TRUE(dialog.preview()->isPlaying());
    EXPECT_EQ(dialog.preview()->loadedPath(), kContent + "/Greetings/Welcome.tps");
}

TEST_F(ContentAlbumDialogTest, WithoutAContentLibraryThePlainFieldsRemain)
{
    test::TestInstallation empty(false);
    auto dialog = open(AlbumKind::Images, empty.folder());
    EXPECT_EQ(dialog->album(), nullptr);
    QTest::keyClicks(dialog->nameField(), "face");
    QTest::mouseClick(dialog->openButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(logic->result());
}

} // namespace
} // namespace pavonia
