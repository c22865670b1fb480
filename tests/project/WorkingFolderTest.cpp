#include "project/WorkingFolder.h"

#include "ChildProcess.h"
#include "ResultCheck.h"
#include "TestInstallation.h"
#include "platform/FileOps.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <set>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
using test::FixedClock;
using test::exists;
using test::namesIn;
using test::readFile;
using test::TestInstallation;

// Ticks whose first generator value is 7.
constexpr std::uint32_t kTicksGivingSeven = 40128;

class WorkingFolderTest : public ::testing::Test {
protected:
    WorkingFolderTest() { working.reset(); }

    // The names in Temp once the files thrown away by resets are gone.
    std::set<std::string> tempNames()
    {
        working.finishDeletions();
        return namesIn(working.tempFolder());
    }

    SlideData slideWith(const std::string& mediaPath)
    {
        SlideData slide;
        slide.mediaPath = mediaPath;
        return slide;
    }

    TestInstallation install;
    FixedClock clock;
    CRandom random;
    FileRefTable refs;
    WorkingFolder working{install.folder(), install.tempFolder(), refs, clock, random};
};

TEST_F(WorkingFolderTest, FoldersAndFixedFiles)
{
    EXPECT_EQ(working.tempFolder(), install.folder() + "Temp/");
    EXPECT_EQ(working.userFolder(), install.folder() + "User/");
    EXPECT_EQ(working.tempWavePath(), install.tempFolder() + "_pv_tmpWave.wav");
    EXPECT_EQ(working.defaultTalkingImage(), install.folder() + "default_tjm.tjm");
    EXPECT_EQ(working.defaultTalkingMessage(), install.folder() + "default_tps.tps");
}

TEST(WorkingFolderNames, MediaCopyMadeAtHalfPastThreeOnNewYearsEveWithSeven)
{
    ASSERT_EQ(CRandom(kTicksGivingSeven).next(), 7);
    TestInstallation install;
    FixedClock clock;
    clock.ticks = kTicksGivingSeven;
    CRandom random;
    FileRefTable refs;
    WorkingFolder working(install.folder(), install.tempFolder(), refs, clock, random);
    const std::string sun = install.writeFile("pictures/sun.jpg", "sun");

    const std::string copy = working.mediaCopy(sun);

    EXPECT_EQ(copy, install.folder() + "Temp/Media200412311530 7.jpg");
    EXPECT_EQ(readFile(copy), "sun");
}

TEST_F(WorkingFolderTest, NamesCarryPrefixTimeNumberAndExtension)
{
    struct Case {
        std::uint32_t ticks;
        std::string prefix;
        std::string extension;
        std::string expected;
    };
    const int fromThousand = CRandom(1000).next(); // 3304
    const Case cases[] = {
        {kTicksGivingSeven, "Session", "tjm", "Session200412311530 7.tjm"},
        {kTicksGivingSeven, "Bg", "gif", "Bg200412311530 7.gif"},
        {1000, "Media", "swf", "Media200412311530" + std::to_string(fromThousand) + ".swf"},
        {kTicksGivingSeven, "Media", "", "Media200412311530 7"},
    };
    for (const Case& c : cases) {
        clock.ticks = c.ticks;
        EXPECT_EQ(working.makeCopyName(c.prefix, c.extension), working.tempFolder() + c.expected);
    }
}

TEST_F(WorkingFolderTest, TwoSessionsShareOneCopyOfEachDefaultFile)
{
    const std::string image1 = working.sessionTalkingImageCopy();
    const std::string message1 = working.sessionTalkingMessageCopy();
    const std::string image2 = working.sessionTalkingImageCopy();
    const std::string message2 = working.sessionTalkingMessageCopy();

    EXPECT_EQ(image1, image2);
    EXPECT_EQ(message1, message2);
    EXPECT_EQ(finalComponent(image1).substr(0, 19), "Session200412311530");
    EXPECT_EQ(extensionOf(image1), "tjm");
    EXPECT_EQ(extensionOf(message1), "tps");
    EXPECT_EQ(readFile(image1), readFile(working.defaultTalkingImage()));
    EXPECT_EQ(readFile(message1), readFile(working.defaultTalkingMessage()));
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0].source, working.defaultTalkingImage());
    EXPECT_EQ(refs[0].copy, image1);
    EXPECT_EQ(refs[0].refCount, 2);
    EXPECT_EQ(refs[1].source, working.defaultTalkingMessage());
    EXPECT_EQ(refs[1].refCount, 2);
}

TEST_F(WorkingFolderTest, AMissingDefaultFileGivesTheSessionNoCopyAndNoEntry)
{
    fs::remove(working.defaultTalkingImage());
    const std::set<std::string> before = tempNames();

    EXPECT_EQ(working.sessionTalkingImageCopy(), "");
    EXPECT_EQ(tempNames(), before);
    EXPECT_EQ(refs.size(), 0u);
    EXPECT_EQ(test::failureText(working.takeCopyFailure()), "A default file of the installation is missing. (" +
                                             working.defaultTalkingImage() + ")\nError: No such file or directory");
    EXPECT_EQ(test::failureText(working.takeCopyFailure()), "");

    // The other default file is copied and entered as usual.
    const std::string message = working.sessionTalkingMessageCopy();
    EXPECT_TRUE(exists(message));
    EXPECT_EQ(refs.size(), 1u);
    EXPECT_EQ(test::failureText(working.takeCopyFailure()), "");
}

TEST_F(WorkingFolderTest, ACopyTheWorkingFolderRefusesIsReportedAndLeavesNothing)
{
    // A file too large for the process's limit stands for a full disk.
    install.writeFile("install/default_tjm.tjm", std::string(64 * 1024, 'f'));
    const int status = test::inChildProcess([&] {
        test::limitFileSize(16 * 1024);
        const std::string copy = working.sessionTalkingImageCopy();
        const std::string failure = test::failureText(working.takeCopyFailure());
        return copy.empty() && refs.size() == 0 && tempNames().empty() &&
               failure.rfind("Cannot make the working copy of a file. (" + working.tempFolder() + "Session", 0) == 0 &&
               failure.find("Error: File too large") != std::string::npos;
    });
    EXPECT_EQ(status, 0);
}

TEST_F(WorkingFolderTest, ALinkPlantedUnderTheNameOfANewCopyIsNeverWrittenThrough)
{
    // The copy's name is taken only after it was found free: the copy is not
    // made under it, and the file the link leads to is left alone.
    const std::string outside = install.writeFile("outside.txt", "mine");
    const std::string name = working.makeCopyName("Session", "tjm");
    fs::create_symlink(outside, name);
    EXPECT_FALSE(copyIntoNewFile(working.defaultTalkingImage(), name, Creation::New));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_TRUE(copyIntoNewFile(working.defaultTalkingImage(), name, Creation::Replace));
    EXPECT_FALSE(fs::is_symlink(name));
    EXPECT_EQ(readFile(name), readFile(working.defaultTalkingImage()));
    EXPECT_EQ(readFile(outside), "mine");
}

TEST_F(WorkingFolderTest, ReleasingSessionsDropsTheirCopiesWithTheLastOne)
{
    SessionData first, second;
    first.talkingImagePath = second.talkingImagePath = working.sessionTalkingImageCopy();
    first.talkingMessagePath = working.sessionTalkingMessageCopy();
    second.talkingMessagePath = working.sessionTalkingMessageCopy();
    second.talkingImagePath = working.sessionTalkingImageCopy();

    working.releaseSession(first, {});
    EXPECT_TRUE(exists(first.talkingImagePath));
    EXPECT_TRUE(exists(first.talkingMessagePath));
    EXPECT_EQ(refs[0].refCount, 1);

    working.releaseSession(second, {});
    EXPECT_FALSE(exists(first.talkingImagePath));
    EXPECT_FALSE(exists(first.talkingMessagePath));
    EXPECT_EQ(refs.size(), 0u);
}

TEST_F(WorkingFolderTest, ReleasingASessionDeletesCopiesMissingFromTheTable)
{
    SessionData session;
    session.talkingImagePath = install.writeFile("install/Temp/Loose.tjm", "x");
    session.talkingMessagePath = install.writeFile("install/Temp/Loose.tps", "x");

    working.releaseSession(session, {});

    EXPECT_FALSE(exists(session.talkingImagePath));
    EXPECT_FALSE(exists(session.talkingMessagePath));
}

TEST_F(WorkingFolderTest, ReleaseNeverDeletesAFileOutsideTheWorkingFolder)
{
    SessionData session;
    session.talkingImagePath = install.writeFile("mine/face.tjm", "x");
    const std::string picture = install.writeFile("mine/sun.jpg", "x");
    const std::string scaled = install.writeFile("mine/s_sun.jpg", "x");

    const SlideData slide = slideWith(picture);
    working.releaseSession(session, {&slide});

    EXPECT_TRUE(exists(session.talkingImagePath));
    EXPECT_TRUE(exists(picture));
    EXPECT_TRUE(exists(scaled));
}

TEST_F(WorkingFolderTest, ReleasingASessionReleasesItsSlides)
{
    SessionData session;
    session.talkingImagePath = working.sessionTalkingImageCopy();
    session.talkingMessagePath = working.sessionTalkingMessageCopy();
    const SlideData slide = slideWith(working.mediaCopy(install.writeFile("pictures/sun.jpg", "sun")));

    working.releaseSession(session, {&slide});

    EXPECT_EQ(refs.size(), 0u);
    EXPECT_TRUE(tempNames().empty());
}

TEST_F(WorkingFolderTest, TwoSlidesWithOnePictureShareTheCopyUntilTheLastIsReleased)
{
    const std::string sun = install.writeFile("pictures/sun.jpg", "sun");
    const SlideData first = slideWith(working.mediaCopy(sun));
    const SlideData second = slideWith(working.mediaCopy(sun));
    ASSERT_EQ(first.mediaPath, second.mediaPath);
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0].source, sun);
    EXPECT_EQ(refs[0].refCount, 2);

    const std::string base = baseNameOf(first.mediaPath);
    const std::string scaledJpg = install.writeFile("install/Temp/s_" + base + ".jpg", "scaled");
    const std::string scaledBmp = install.writeFile("install/Temp/S_" + base + ".BMP", "scaled");
    const std::string otherScaled = install.writeFile("install/Temp/s_" + base + "x.jpg", "other");

    working.releaseSlide(first);
    EXPECT_TRUE(exists(first.mediaPath));
    EXPECT_FALSE(exists(scaledJpg));
    EXPECT_FALSE(exists(scaledBmp));
    EXPECT_TRUE(exists(otherScaled));
    EXPECT_EQ(refs[0].refCount, 1);

    working.releaseSlide(second);
    EXPECT_FALSE(exists(second.mediaPath));
    EXPECT_EQ(refs.size(), 0u);
}

TEST_F(WorkingFolderTest, ReleasingASlideWithoutMediaChangesNothing)
{
    const std::string kept = install.writeFile("install/Temp/s_.jpg", "x");
    working.releaseSlide(SlideData());
    EXPECT_TRUE(exists(kept));
}

TEST_F(WorkingFolderTest, TwoMediaCopiesInTheSameMinuteGetDifferentNames)
{
    const std::string a = working.mediaCopy(install.writeFile("pictures/a.jpg", "a"));
    const std::string b = working.mediaCopy(install.writeFile("pictures/b.jpg", "b"));

    EXPECT_NE(a, b);
    EXPECT_EQ(readFile(a), "a");
    EXPECT_EQ(readFile(b), "b");
    EXPECT_EQ(finalComponent(b).substr(0, 17), "Media200412311530");
}

TEST_F(WorkingFolderTest, AMediaCopyNeverOverwritesAnExistingName)
{
    clock.ticks = kTicksGivingSeven;
    const std::string taken = install.writeFile("install/Temp/Media200412311530 7.jpg", "keep");

    const std::string copy = working.mediaCopy(install.writeFile("pictures/sun.jpg", "sun"));

    EXPECT_NE(copy, taken);
    EXPECT_EQ(readFile(taken), "keep");
    EXPECT_EQ(readFile(copy), "sun");
}

TEST_F(WorkingFolderTest, ADanglingLinkCountsAsATakenName)
{
    clock.ticks = kTicksGivingSeven;
    const std::string outside = install.root() + "outside.jpg";
    fs::create_symlink(outside, working.tempFolder() + "Media200412311530 7.jpg");

    working.mediaCopy(install.writeFile("pictures/sun.jpg", "sun"));

    EXPECT_FALSE(exists(outside));
}

TEST_F(WorkingFolderTest, ManyCopiesInOneMinuteWithAClockThatStandsStill)
{
    const std::string sun = install.writeFile("pictures/sun.jpg", "sun");
    std::set<std::string> names;
    for (int i = 0; i < 200; ++i) {
        const std::string copy = working.makeCopyName("Media", "jpg");
        ASSERT_FALSE(copy.empty());
        ASSERT_FALSE(exists(copy));
        install.writeFile("install/Temp/" + finalComponent(copy), "x");
        names.insert(copy);
    }
    EXPECT_EQ(names.size(), 200u);
}

TEST_F(WorkingFolderTest, AMovingClockReseedsTheGenerator)
{
    install.writeFile("install/Temp/Media200412311530 7.jpg", "keep");
    // The clock reports a new minute and new ticks on its next reading.
    struct SteppingClock final : Clock {
        std::uint32_t tickCount() const override { return ++ticks == 1 ? kTicksGivingSeven : 1000; }
        std::tm localNow() const override
        {
            std::tm t = FixedClock().now;
            t.tm_min += reads++ == 0 ? 0 : 1;
            return t;
        }
        mutable std::uint32_t ticks = 0;
        mutable int reads = 0;
    } stepping;
    WorkingFolder moving(install.folder(), install.tempFolder(), refs, stepping, random);

    EXPECT_EQ(moving.makeCopyName("Media", "jpg"),
              working.tempFolder() + "Media200412311531" + std::to_string(CRandom(1000).next()) + ".jpg");
}

TEST_F(WorkingFolderTest, AMissingSourceLeavesItsCopyPathRecorded)
{
    const std::string missing = install.root() + "pictures/gone.gif";

    const std::string copy = working.mediaCopy(missing);

    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(extensionOf(copy), "gif");
    EXPECT_FALSE(exists(copy));
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0].source, missing);
    EXPECT_EQ(refs[0].copy, copy);
}

TEST_F(WorkingFolderTest, AMediaPathIsLookedUpWithoutRegardToCase)
{
    const std::string sun = install.writeFile("pictures/sun.jpg", "sun");
    const std::string copy = working.mediaCopy(sun);
    std::string shouted = sun;
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), ::toupper);

    EXPECT_EQ(working.mediaCopy(shouted), copy);
    EXPECT_EQ(working.mediaCopy(copy), copy); // a working copy shares itself
    EXPECT_EQ(refs[0].refCount, 3);
}

TEST_F(WorkingFolderTest, ABackgroundCopyReplacesThePreviousOne)
{
    clock.ticks = kTicksGivingSeven;
    const std::string first = working.backgroundCopy(install.writeFile("pictures/sky.jpg", "sky"));
    EXPECT_EQ(first, working.tempFolder() + "Bg200412311530 7.jpg");
    EXPECT_EQ(readFile(first), "sky");

    clock.ticks = 1000;
    const std::string second = working.backgroundCopy(install.writeFile("pictures/sea.gif", "sea"));

    EXPECT_EQ(tempNames(), std::set<std::string>{finalComponent(second)});
    EXPECT_EQ(readFile(second), "sea");
    EXPECT_EQ(refs.size(), 0u);

    // A picture that cannot be copied leaves the previous copy as it was.
    EXPECT_EQ(working.backgroundCopy(install.root() + "pictures/gone.png"), "");
    EXPECT_EQ(tempNames(), std::set<std::string>{finalComponent(second)});
    EXPECT_EQ(readFile(second), "sea");
}

TEST_F(WorkingFolderTest, ABackgroundCopyOfThePreviousCopyKeepsItsContent)
{
    const std::string first = working.backgroundCopy(install.writeFile("pictures/sky.jpg", "sky"));
    // Same clock, same ticks: the name first drawn is the previous copy itself.
    const std::string second = working.backgroundCopy(first);

    EXPECT_NE(second, first);
    EXPECT_EQ(readFile(second), "sky");
    EXPECT_EQ(tempNames(), std::set<std::string>{finalComponent(second)});
}

TEST_F(WorkingFolderTest, ResetEmptiesTempAndLeavesThePreviewsInUser)
{
    working.sessionTalkingImageCopy();
    install.writeFile("install/Temp/old.jpg", "x");
    install.writeFile("install/Temp/Keep/inner.txt", "x");
    install.writeFile("install/User/Preview-abcdef/Template.htm", "x");
    install.writeFile("install/User/page.htm", "x");
    const std::string wave = install.writeFile("systemp/_pv_tmpWave.wav", "x");
    const std::string otherTemp = install.writeFile("systemp/files.xxx", "x");

    working.reset();

    EXPECT_EQ(tempNames(), std::set<std::string>{"Keep"});
    EXPECT_TRUE(exists(working.tempFolder() + "Keep/inner.txt"));
    EXPECT_EQ(namesIn(working.userFolder()), (std::set<std::string>{"Preview-abcdef", "page.htm"}));
    EXPECT_TRUE(exists(working.userFolder() + "Preview-abcdef/Template.htm"));
    EXPECT_FALSE(exists(wave));
    EXPECT_TRUE(exists(otherTemp));
    EXPECT_EQ(refs.size(), 0u);
}

TEST_F(WorkingFolderTest, TwoProcessesOnOneAreaNeverTouchEachOthersFiles)
{
    // Each with a folder of its own for "Temp"; "User" is the area's.
    const std::string area = install.root() + "area/";
    FileRefTable otherRefs;
    CRandom otherRandom;
    WorkingFolder first(install.folder(), install.tempFolder(), refs, clock, random, area + "Temp/run-1/", area);
    WorkingFolder second(install.folder(), install.tempFolder(), otherRefs, clock, otherRandom,
                         area + "Temp/run-2/", area);
    EXPECT_EQ(first.tempFolder(), area + "Temp/run-1/Temp/");
    EXPECT_EQ(first.userFolder(), area + "User/");
    EXPECT_EQ(second.userFolder(), first.userFolder());
    first.reset();
    second.reset();
    const std::string firstImage = first.sessionTalkingImageCopy();
    const std::string secondImage = second.sessionTalkingImageCopy();
    ASSERT_FALSE(firstImage.empty());
    ASSERT_FALSE(secondImage.empty());

    second.reset(); // a load or New in the second process
    second.finishDeletions();
    EXPECT_EQ(readFile(firstImage), readFile(first.defaultTalkingImage()));
    EXPECT_FALSE(exists(secondImage));
    EXPECT_EQ(test::failureText(first.takeCopyFailure()) + test::failureText(second.takeCopyFailure()), "");
}

TEST_F(WorkingFolderTest, ResetCreatesMissingFolders)
{
    fs::remove_all(working.tempFolder());
    fs::remove_all(working.userFolder());

    working.reset();

    EXPECT_TRUE(fs::is_directory(working.tempFolder()));
    EXPECT_TRUE(fs::is_directory(working.userFolder()));
}

TEST_F(WorkingFolderTest, ANewProjectAfterAnotherLeavesNoOldFiles)
{
    working.sessionTalkingImageCopy();
    working.sessionTalkingMessageCopy();
    working.mediaCopy(install.writeFile("pictures/sun.jpg", "sun"));
    working.backgroundCopy(install.writeFile("pictures/sky.jpg", "sky"));
    ASSERT_EQ(tempNames().size(), 4u);

    working.reset();
    const std::string image = working.sessionTalkingImageCopy();

    EXPECT_EQ(tempNames(), std::set<std::string>{finalComponent(image)});
}

} // namespace
} // namespace pavonia
