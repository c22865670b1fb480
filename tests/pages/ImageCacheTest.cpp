#include "pages/ImageCache.h"

#include "ImageCacheTestSupport.h"
#include "pages/ImageCacheDecode.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::processUntil;
using test::writePicture;

class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::application();
        ASSERT_TRUE(folder_.isValid());
        loading_ = path("loading.jpg");
        ASSERT_TRUE(writePicture(loading_, 400, 300, Qt::gray));
    }
    QString path(const QString& name) const { return folder_.filePath(name); }

    // Asks for `file` in `output`, waits for its decode and its signal, and
    // asks again.
    QImage finished(ImageCache& cache, const QString& file, int output)
    {
        bool ready = false;
        auto connection = QObject::connect(&cache, &ImageCache::pictureReady,
                                           [&](const QString& done) { ready = ready || done == file; });
        cache.picture(file, output);
        EXPECT_TRUE(processUntil([&] { return cache.isCached(file) && ready; })) << file.toStdString();
        QObject::disconnect(connection);
        return cache.picture(file, output);
    }

    QTemporaryDir folder_;
    QString loading_;
};

TEST(FitInto, KeepsProportionsAndTouchesTheBox)
{
    struct Case {
        QSize picture, box, expected;
    } cases[] = {
        {{1600, 1200}, {100, 100}, {100, 75}},  // wide in a square
        {{1200, 1600}, {100, 100}, {75, 100}},  // tall in a square
        {{500, 500}, {100, 100}, {100, 100}},
        {{4000, 10}, {100, 100}, {100, 1}},     // never below one pixel
        {{160, 120}, {320, 240}, {320, 240}},   // small pictures grow to the frame
        {{600, 1200}, {320, 240}, {120, 240}},
        {{640, 480}, {}, {640, 480}},           // no box: own size
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitInto(c.picture, c.box), c.expected) << c.picture.width() << "x" << c.picture.height();
}

TEST_F(ImageCacheTest, HandsOutTheLoadingPictureUntilTheFittedPictureIsReady)
{
    const QString wide = path("wide.jpg");
    const QString tall = path("tall.bmp");
    ASSERT_TRUE(writePicture(wide, 1600, 1200));
    ASSERT_TRUE(writePicture(tall, 600, 1200));
    ImageCache cache(10, loading_);
    cache.setOutputSize(0, {100, 100});
    cache.setOutputSize(2, {320, 240});

    // The answer comes at once, and is never the picture before its decode.
    EXPECT_NE(cache.picture(wide, 2).pixelColor(1, 1).red(), 200);
    const QImage picture = finished(cache, wide, 2);
    EXPECT_EQ(picture.size(), QSize(320, 240));
    EXPECT_EQ(picture.pixelColor(160, 120).red(), 200);
    EXPECT_EQ(cache.picture(wide, 0).size(), QSize(100, 75));

    // The worker has read the loading picture by now: it stands in, fitted.
    const QImage loading = cache.picture(tall, 2);
    EXPECT_EQ(loading.size(), QSize(320, 240));
    EXPECT_NEAR(loading.pixelColor(160, 120).red(), QColor(Qt::gray).red(), 4);
    EXPECT_EQ(finished(cache, tall, 2).size(), QSize(120, 240));
    // A resized output is served from the kept source.
    cache.setOutputSize(0, {50, 50});
    EXPECT_EQ(cache.picture(tall, 0).size(), QSize(25, 50));
}

TEST_F(ImageCacheTest, PicturesThatCannotBeReadComeBackNull)
{
    // Text under a picture's name, and a text file.
    for (const char* name : {"notes.jpg", "notes.txt"}) {
        QFile text(path(name));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a picture at all");
    }
    ImageCache cache(10, loading_);
    cache.setOutputSize(2, {320, 240});
    for (const QString& file : {path("notes.jpg"), path("notes.txt"), path("missing.gif")}) {
        EXPECT_TRUE(finished(cache, file, 2).isNull()) << file.toStdString();
        EXPECT_TRUE(cache.isCached(file)) << "an unreadable file is not read again";
    }
}

TEST_F(ImageCacheTest, KeepsOnlyItsCapacityOfPicturesTheLeastRecentlyUsedGoFirst)
{
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        files << path(QString("p%1.jpg").arg(i));
        ASSERT_TRUE(writePicture(files.back(), 64, 48));
    }
    ImageCache cache(2, loading_);
    cache.setOutputSize(1, {32, 32});
    cache.prepare(files.mid(0, 2));
    ASSERT_TRUE(processUntil([&] { return cache.isCached(files[0]) && cache.isCached(files[1]); }));
    cache.picture(files[0], 1); // used again: files[1] is now the oldest
    cache.prepare({files[2]});
    ASSERT_TRUE(processUntil([&] { return cache.isCached(files[2]); }));
    EXPECT_TRUE(cache.isCached(files[0]));
    EXPECT_FALSE(cache.isCached(files[1]));
}

TEST_F(ImageCacheTest, GoingAwayDuringALargeDecodeDoesNotWaitForIt)
{
    // A large BMP has no scaled decoding: its read is long, and is cut short
    // (80 MB of pixels, under the readers' allocation limit).
    const QString large = path("large.bmp");
    ASSERT_TRUE(writePicture(large, 5000, 4000));
    QElapsedTimer timer;
    {
        ImageCache cache(10, loading_);
        cache.setOutputSize(2, {320, 240});
        cache.prepare({large});
        QThread::msleep(30);
        timer.start();
    }
    EXPECT_LT(timer.elapsed(), 1000);
}

} // namespace
} // namespace pavonia
