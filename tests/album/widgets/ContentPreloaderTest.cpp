// The thumbnail thread: what a thumbnail is made from, and work that is no
// longer wanted.
#include "album/widgets/ContentPreloader.h"

#include "OffscreenApplication.h"
#include "TestInstallation.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {

const QString kContent = QString::fromStdString(std::string(PAVONIA_TEST_DATA_DIR) + "/Content/");

TEST(ContentPreloader, ThumbnailsComeFromThePictureBesideOrTheFaceItselfAndFitTheirSize)
{
    // A face without its thumbnail, and a message with none.
    test::TestInstallation home(false);
    const std::string bare = home.folder() + "Bare.tjm";
    std::filesystem::copy_file(kContent.toStdString() + "Ben.tjm", bare);

    ContentPreloader preloader(QSize(48, 48));
    QSignalSpy ready(&preloader, &ContentPreloader::thumbnailReady);
    const int generation = preloader.newGeneration();
    preloader.request(generation, 0, kContent + "Ada.bmp", kContent + "Ada.tjm");
    preloader.request(generation, 1, QString::fromStdString(home.folder() + "Bare.bmp"), QString::fromStdString(bare));
    preloader.request(generation, 2, QString::fromStdString(home.folder() + "None.bmp"),
                      QString::fromStdString(home.folder() + "None.tps"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.size() == 3; }, 5000));
    for (const QList<QVariant>& result : ready) {
        const QImage image = result.at(2).value<QImage>();
        SCOPED_TRACE(result.at(1).toInt());
        EXPECT_EQ(result.at(0).toInt(), generation);
        if (result.at(1).toInt() == 2) {
            EXPECT_TRUE(image.isNull());
        } else {
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(48, 48));
        }
    }
}

TEST(ContentPreloader, WorkOfAnEarlierFolderIsDroppedAndGoingAwayMidWorkIsSafe)
{
    auto preloader = std::make_unique<ContentPreloader>(QSize(96, 96));
    QSignalSpy ready(preloader.get(), &ContentPreloader::thumbnailReady);
    // Faces without thumbnails: each is a whole picture to decode.
    const int first = preloader->newGeneration();
    for (int i = 0; i < 200; ++i)
        preloader->request(first, i, QString(), kContent + "Ada.tjm");
    const int second = preloader->newGeneration();
    preloader->request(second, 0, kContent + "Ben.bmp", kContent + "Ben.tjm");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ready.isEmpty() && ready.last().at(0).toInt() == second; }, 5000));
    // Only the few decodes that began before the switch finished for the old folder.
    EXPECT_LT(ready.size(), 50);

    for (int i = 0; i < 200; ++i)
        preloader->request(second, i, QString(), kContent + "Ada.tjm");
    preloader.reset();
    QCoreApplication::processEvents();
}

} // namespace
} // namespace pavonia
