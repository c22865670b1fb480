#include "pages/PreviewWorker.h"

#include "ImageCacheTestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::processUntil;
using test::writePicture;

struct Shown {
    int pictures = 0;
    int nothings = 0;
    QSize thumbnail, picture;
    qint64 bytes = 0;
};

void record(PreviewWorker& worker, Shown& shown)
{
    QObject::connect(&worker, &PreviewWorker::shown, [&shown](QSize thumbnail, QSize picture, qint64 bytes) {
        ++shown.pictures;
        shown.thumbnail = thumbnail;
        shown.picture = picture;
        shown.bytes = bytes;
    });
    QObject::connect(&worker, &PreviewWorker::shownNothing, [&shown] { ++shown.nothings; });
}

class PreviewWorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::application();
        ASSERT_TRUE(folder_.isValid());
    }
    QString path(const QString& name) const { return folder_.filePath(name); }
    QTemporaryDir folder_;
};

TEST_F(PreviewWorkerTest, ThumbnailFitsTheBoxWithTheTextsOfThePane)
{
    const QString picture = path("photo.jpg");
    ASSERT_TRUE(writePicture(picture, 1600, 1200));
    PreviewWorker worker(100);
    Shown shown;
    record(worker, shown);
    worker.Request(picture);
    ASSERT_TRUE(processUntil([&] { return shown.pictures == 1; }));
    EXPECT_EQ(shown.thumbnail, QSize(100, 75));
    EXPECT_EQ(worker.thumbnail().size(), QSize(100, 75));
    EXPECT_EQ(PreviewWorker::dimensionText(shown.picture), "1600 x 1200 pixels");
    const qint64 bytes = QFileInfo(picture).size();
    EXPECT_EQ(shown.bytes, bytes);
    EXPECT_EQ(PreviewWorker::sizeText(bytes), QString("%1 KBytes").arg((bytes + 1023) / 1024));

    // Selecting the same file again decodes nothing.
    worker.Request(picture);
    processUntil([] { return false; }, 3 * int(PreviewWorker::kPollInterval.count()));
    EXPECT_EQ(shown.pictures, 1);

    // A file that is not a picture: nothing, and no thumbnail kept.
    const QString text = path("notes.txt");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("plain words");
    file.close();
    worker.Request(text);
    ASSERT_TRUE(processUntil([&] { return shown.nothings == 1; }));
    EXPECT_TRUE(worker.thumbnail().isNull());
    EXPECT_EQ(PreviewWorker::noValueText(), "---");
}

TEST(PreviewWorkerTexts, KilobytesAreRoundedUp)
{
    struct Case {
        qint64 bytes;
        const char* text;
    } cases[] = {{0, "0 KBytes"}, {1, "1 KBytes"}, {1024, "1 KBytes"}, {1025, "2 KBytes"}, {5'000'000, "4883 KBytes"}};
    for (const Case& c : cases)
        EXPECT_EQ(PreviewWorker::sizeText(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(PreviewWorker::dimensionText({7, 3}), "7 x 3 pixels");
}

TEST_F(PreviewWorkerTest, OnlyTheLatestRequestIsShownAndStoppingDuringADecodeIsPrompt)
{
    const QString large = path("large.bmp");
    const QString small = path("small.png");
    ASSERT_TRUE(writePicture(large, 5000, 4000));
    ASSERT_TRUE(writePicture(small, 30, 60));
    PreviewWorker worker(100);
    Shown shown;
    record(worker, shown);
    // The large picture is still being read when the small one is asked for.
    worker.Request(large);
    QThread::msleep(20);
    worker.Request(small);
    ASSERT_TRUE(processUntil([&] { return shown.picture == QSize(30, 60); }));
    EXPECT_EQ(shown.thumbnail, QSize(50, 100));

    worker.Request(large);
    QThread::msleep(20);
    QElapsedTimer timer;
    timer.start();
    worker.stop();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_FALSE(worker.running());
    worker.stop(); // again: nothing happens
}

} // namespace
} // namespace pavonia
