#include "PublishFixture.h"

#include "import/ReadJpeg.h"
#include "publish/PictureFitting.h"

#include <gtest/gtest.h>

namespace pavonia::test {
namespace {

// Both jobs write s_wide.jpg. Run ahead on one worker they would finish in
// turn, leaving the larger fit in the copy the smaller job hands back.
TEST(PictureFittingTest, TheSamePictureInTwoBoxesIsFittedWhenEachResultIsTaken)
{
    TestInstallation installation{false};
    const std::string source = installation.root() + "wide.bmp";
    writeBmp(source, 800, 400);

    PictureFitting fitting;
    const std::size_t small = fitting.add(source, 100, 100, 80);
    const std::size_t large = fitting.add(source, 400, 400, 80);
    fitting.runAhead(1);

    const struct {
        std::size_t job;
        int width;
        int height;
    } expected[] = {{small, 100, 50}, {large, 400, 200}};
    for (const auto& e : expected) {
        const PictureFitting::Result result = fitting.result(e.job);
        ASSERT_TRUE(result.fitted);
        EXPECT_EQ(result.path, installation.root() + "s_wide.jpg");
        const auto picture = ReadJpeg(result.path);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->width, e.width);
        EXPECT_EQ(picture->height, e.height);
    }
}

} // namespace
} // namespace pavonia::test
