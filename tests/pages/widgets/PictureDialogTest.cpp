#include "pages/widgets/PictureDialog.h"

#include "ImageCacheTestSupport.h"
#include "OffscreenApplication.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::processUntil;
using test::writePicture;

class PictureDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        options_.filter = "Image File (*.gif;*.jpg;*.bmp)|*.gif;*.jpg;*.bmp|Media File (*.swf)|*.swf||";
        options_.startFolder = folder_.path().toStdString();
        options_.initialFilter = 2;
    }
    QString path(const QString& name) const { return folder_.filePath(name); }
    // The selection the file list reports, as the dialog's list does.
    void select(PictureDialog& dialog, const QString& file) { emit dialog.files()->currentChanged(file); }

    QTemporaryDir folder_;
    FileDialogOptions options_;
};

TEST_F(PictureDialogTest, SelectingAPictureShowsItsThumbnailSizeAndDimensions)
{
    const QString picture = path("photo.jpg");
    ASSERT_TRUE(writePicture(picture, 1600, 1200, QColor(200, 40, 40)));
    PictureDialog dialog(options_);
    EXPECT_EQ(dialog.files()->selectedNameFilter(), "Media File (*.swf)");
    EXPECT_FALSE(dialog.pane()->findChild<QCheckBox*>("tile")->isVisible());
    dialog.show();
    EXPECT_EQ(dialog.pane()->sizeField()->text(), "---");

    select(dialog, picture);
    ASSERT_TRUE(processUntil([&] { return dialog.pane()->dimensionField()->text() != "---"; }));
    EXPECT_EQ(dialog.pane()->dimensionField()->text(), "1600 x 1200 pixels");
    EXPECT_EQ(dialog.pane()->sizeField()->text(),
              QString("%1 KBytes").arg((QFileInfo(picture).size() + 1023) / 1024));
    EXPECT_EQ(dialog.pane()->worker().thumbnail().size(), QSize(100, 75));

    // The thumbnail sits in the middle of its square, at its own size.
    const QImage painted = test::grab(*dialog.pane()->thumbnail(), "picture-dialog-thumbnail");
    const QPoint middle(painted.width() / 2, painted.height() / 2);
    EXPECT_NEAR(painted.pixelColor(middle).red(), 200, 8);
    EXPECT_NE(painted.pixelColor(middle.x(), 5).red(), painted.pixelColor(middle).red()) << "above the 75 rows";

    // A file that is no picture: "---" and the empty square.
    const QString text = path("readme.jpg");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("words, not pixels");
    file.close();
    select(dialog, text);
    ASSERT_TRUE(processUntil([&] { return dialog.pane()->dimensionField()->text() == "---"; }));
    EXPECT_EQ(dialog.pane()->sizeField()->text(), "---");
    const QImage empty = test::grab(*dialog.pane()->thumbnail(), "picture-dialog-empty");
    EXPECT_EQ(empty.pixelColor(middle), QColor(0x40, 0x3C, 0x20));
}

TEST_F(PictureDialogTest, SeveralFilesAreChosenWhenAskedFor)
{
    ASSERT_TRUE(writePicture(path("a.jpg"), 8, 8));
    ASSERT_TRUE(writePicture(path("b.jpg"), 8, 8));
    const QString typed = "\"a.jpg\" \"b.jpg\"";
    options_.multiple = true;
    PictureDialog several(options_);
    EXPECT_EQ(several.windowTitle(), several.files()->windowTitle()) << "the list's own title when none is given";
    EXPECT_EQ(several.files()->fileMode(), QFileDialog::ExistingFiles) << "the list selects several";
    several.show();
    several.files()->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
    static_cast<QDialog*>(several.files())->accept(); // the list's Open button
    EXPECT_EQ(several.result(), QDialog::Accepted);
    const auto files = several.chosenFiles();
    ASSERT_TRUE(files.has_value());
    EXPECT_EQ(*files, (std::vector<std::string>{path("a.jpg").toStdString(), path("b.jpg").toStdString()}));
    EXPECT_EQ(several.chosen(), path("a.jpg").toStdString());
    EXPECT_FALSE(several.pane()->worker().running());

    // One file only; cancelled, nothing whatever was typed.
    options_.multiple = false;
    options_.title = "Open Picture";
    PictureDialog cancelled(options_);
    EXPECT_EQ(cancelled.windowTitle(), "Open Picture");
    EXPECT_EQ(cancelled.files()->fileMode(), QFileDialog::ExistingFile);
    cancelled.show();
    cancelled.files()->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
    cancelled.reject();
    EXPECT_FALSE(cancelled.chosenFiles().has_value());
    EXPECT_FALSE(cancelled.chosen().has_value());
}

TEST_F(PictureDialogTest, ClosingDuringALargeDecodeIsPromptAndEndsTheWorker)
{
    const QString large = path("large.bmp");
    ASSERT_TRUE(writePicture(large, 5000, 4000));
    PictureDialog dialog(options_, true, true);
    dialog.show();
    EXPECT_TRUE(dialog.pane()->findChild<QCheckBox*>("tile")->isVisible());
    select(dialog, large);
    QThread::msleep(30);
    // A second Cancel arrives while the first one waits for the worker.
    QTimer::singleShot(0, &dialog, [&] { dialog.reject(); });
    QElapsedTimer timer;
    timer.start();
    dialog.reject();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(dialog.pane()->worker().running());
    EXPECT_FALSE(dialog.chosen().has_value());
    EXPECT_TRUE(dialog.tile()) << "the check box keeps the state it was given";
}

} // namespace
} // namespace pavonia
