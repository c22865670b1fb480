#include "import/FitPicture.h"

#include "PictureFixtures.h"
#include "TestInstallation.h"
#include "import/ReadJpeg.h"
#include "RunCommand.h"

#include <gtest/gtest.h>
#include <magick/MagickCore.h>

#include <cmath>
#include <thread>

namespace pavonia::test {
namespace {

std::uint8_t gradient(int x, int y, int c)
{
    return static_cast<std::uint8_t>((x / 4 + y / 3 + c * 60) & 0xFF);
}

std::string bmpOfSize(int width, int height)
{
    BmpFile file;
    file.width = width;
    file.height = height;
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    file.pixels.assign(stride * std::size_t(height), '\x40');
    return file.bytes();
}

class FitPictureTest : public ::testing::Test {
protected:
    TestInstallation installation{false};
};

TEST_F(FitPictureTest, LargerPicturesShrinkToTheBoxSmallerOnesKeepTheirSize)
{
    struct Case {
        int width, height;
        std::size_t fittedWidth, fittedHeight;
    };
    const Case cases[] = {
        {1000, 500, 400, 200},
        {100, 80, 100, 80},
        {300, 600, 150, 300},
        {2000, 1, 400, 1}, // never narrower than one pixel
    };
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + ".jpg";
        SCOPED_TRACE(name);
        const std::string source = installation.writeFile(name, encodeJpeg(c.width, c.height, 3, gradient));
        std::string result;
        ASSERT_TRUE(FitPicture(source, 400, 300, 80, result));
        EXPECT_EQ(result, installation.root() + "s_" + name);
        const PictureInfo info = inspectPicture(result);
        EXPECT_EQ(info.format, "JPEG");
        EXPECT_EQ(info.width, c.fittedWidth);
        EXPECT_EQ(info.height, c.fittedHeight);
    }
}

TEST_F(FitPictureTest, BitmapIsPublishedAsAJpegOfTheGivenQuality)
{
    const std::string source = installation.writeFile("Slide.BMP", bmpOfSize(1000, 500));
    for (int quality : {10, 100}) {
        SCOPED_TRACE(quality);
        std::string result;
        ASSERT_TRUE(FitPicture(source, 400, 300, quality, result));
        EXPECT_EQ(result, installation.root() + "s_Slide.jpg");
        const PictureInfo info = inspectPicture(result);
        EXPECT_EQ(info.format, "JPEG");
        EXPECT_EQ(info.quality, std::size_t(quality));
        EXPECT_EQ(info.width, 400u);
        EXPECT_EQ(info.height, 200u);
    }
}

TEST_F(FitPictureTest, PictureInAnotherColourSpaceIsPublishedInRgb)
{
    // A CMYK JPEG: four components, which browsers and our reader refuse.
    const std::string source = installation.writeFile(
        "print.jpg", encodeJpeg(64, 32, 4, [](int, int, int c) { return std::uint8_t(c == 1 ? 200 : 20); }));
    std::string result;
    ASSERT_TRUE(FitPicture(source, 32, 32, 80, result));
    const auto fitted = ReadJpeg(result);
    ASSERT_TRUE(fitted) << fitted.failure().text();
    EXPECT_EQ(fitted->width, 32);
    EXPECT_EQ(fitted->height, 16);
}

TEST_F(FitPictureTest, AnimatedGifIsLeftAloneAStillGifIsFitted)
{
    const std::string animated = installation.writeFile("anim.gif", encodeGif(40, 20, {0xFF0000, 0x0000FF}));
    std::string result = "stale";
    EXPECT_FALSE(FitPicture(animated, 10, 10, 80, result));
    EXPECT_EQ(result, animated);
    EXPECT_FALSE(std::filesystem::exists(installation.root() + "s_anim.gif"));

    const std::string still = installation.writeFile("still.gif", encodeGif(40, 20, {0x00FF00}));
    ASSERT_TRUE(FitPicture(still, 10, 10, 80, result));
    EXPECT_EQ(result, installation.root() + "s_still.gif");
    const PictureInfo info = inspectPicture(result);
    EXPECT_EQ(info.format, "GIF");
    EXPECT_EQ(info.frames, 1u);
    EXPECT_EQ(info.width, 10u);
    EXPECT_EQ(info.height, 5u);
}

TEST_F(FitPictureTest, PngIsPublishedAsAJpegWithItsTransparencyOnWhite)
{
    // Left half opaque red, right half fully transparent.
    const std::string source = installation.root() + "Logo.png";
    ASSERT_EQ(runCommand("convert -size 800x300 xc:none -fill red -draw 'rectangle 0,0 399,299' '" + source + "'").status, 0);
    std::string result;
    ASSERT_TRUE(FitPicture(source, 400, 300, 90, result));
    EXPECT_EQ(result, installation.root() + "s_Logo.jpg");
    EXPECT_EQ(inspectPicture(result).format, "JPEG");
    const auto picture = ReadJpeg(result);
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->width, 400);
    ASSERT_EQ(picture->height, 150);
    auto pixel = [&](int x, int y) { return &picture->rows[(std::size_t(y) * 400 + std::size_t(x)) * 3]; };
    EXPECT_GT(pixel(50, 75)[0], 220);
    EXPECT_LT(pixel(50, 75)[1], 40);
    for (int c = 0; c < 3; ++c)
        EXPECT_GT(pixel(350, 75)[c], 230) << c;
    EXPECT_TRUE(isFittedPicture("a/B.PNG") && isFittedPicture("x.jpeg") && !isFittedPicture("clip.webm"));
}

TEST_F(FitPictureTest, UnreadablePictureGivesNoPath)
{
    for (const char* name : {"absent.jpg", "empty.jpg", "garbage.jpg"}) {
        SCOPED_TRACE(name);
        if (std::string(name) != "absent.jpg")
            installation.writeFile(name, name == std::string("empty.jpg") ? "" : "this is not a picture");
        std::string result = "stale";
        EXPECT_FALSE(FitPicture(installation.root() + name, 400, 300, 80, result));
        EXPECT_TRUE(result.empty());
        EXPECT_FALSE(std::filesystem::exists(installation.root() + "s_" + name));
    }
}

TEST_F(FitPictureTest, TheLibraryWorksUnderTheProgramsOwnLimits)
{
    startImageLibrary();
    // A machine's policy file may lower a limit further, never raise it.
    EXPECT_LE(GetMagickResourceLimit(MemoryResource), imagelimits::kMemoryBytes);
    EXPECT_LE(GetMagickResourceLimit(MapResource), imagelimits::kMapBytes);
    EXPECT_LE(GetMagickResourceLimit(AreaResource), imagelimits::kAreaPixels);
    EXPECT_LE(GetMagickResourceLimit(WidthResource), imagelimits::kSidePixels);
    EXPECT_LE(GetMagickResourceLimit(HeightResource), imagelimits::kSidePixels);
    EXPECT_EQ(GetMagickResourceLimit(DiskResource), imagelimits::kDiskBytes);

    // A picture wider than allowed is refused as its pixels are read.
    installation.writeFile("wide.bmp", bmpOfSize(int(imagelimits::kSidePixels) + 1, 1));
    std::string result = "stale";
    EXPECT_FALSE(FitPicture(installation.root() + "wide.bmp", 400, 300, 80, result));
    EXPECT_TRUE(result.empty());
}

TEST_F(FitPictureTest, NameCharactersAreNotTakenForLibrarySyntax)
{
    // Brackets select frames and "x:" names a format when the library parses
    // a path; the picture's own name must be read as it is.
    const std::string source = installation.writeFile("gif:slide[1].jpg", encodeJpeg(64, 32, 3, gradient));
    std::string result;
    ASSERT_TRUE(FitPicture(source, 32, 32, 80, result));
    EXPECT_EQ(result, installation.root() + "s_gif:slide[1].jpg");
    EXPECT_EQ(inspectPicture(result).width, 32u);
}

// Mean absolute difference between two RGB pictures of one size.
double meanDifference(const RgbPicture& a, const RgbPicture& b)
{
    double total = 0;
    for (std::size_t i = 0; i < a.rows.size(); ++i)
        total += std::abs(int(a.rows[i]) - int(b.rows[i]));
    return total / double(a.rows.size());
}

TEST_F(FitPictureTest, LargeJpegFitsWithTheQualityOfAFullDecode)
{
    // 3000 x 2000 is decoded at a reduced scale; the result must still match
    // a box average of the full picture closely.
    const int width = 3000, height = 2000;
    const auto sample = [](int x, int y, int c) {
        const double v = 128 + 100 * std::sin(x / 90.0 + c) * std::cos(y / 70.0);
        return static_cast<std::uint8_t>(v);
    };
    const std::string source = installation.writeFile("large.jpg", encodeJpeg(width, height, 3, sample, 92));
    std::string result;
    ASSERT_TRUE(FitPicture(source, 400, 300, 80, result));
    const auto fitted = ReadJpeg(result);
    ASSERT_TRUE(fitted);
    ASSERT_EQ(fitted->width, 400);
    ASSERT_EQ(fitted->height, 266);

    RgbPicture reference{400, 266, std::vector<std::uint8_t>(400 * 266 * 3)};
    for (int y = 0; y < 266; ++y)
        for (int x = 0; x < 400; ++x)
            for (int c = 0; c < 3; ++c) {
                const double sx = (x + 0.5) * width / 400.0, sy = (y + 0.5) * height / 266.0;
                reference.rows[std::size_t((y * 400 + x) * 3 + c)] = sample(int(sx), int(sy), c);
            }
    EXPECT_LT(meanDifference(*fitted, reference), 3.0);
}

TEST_F(FitPictureTest, ParallelCallsWriteTheSameBytesAsSequentialOnes)
{
    std::vector<std::string> sources;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 3 == 0 ? ".bmp" : ".jpg");
        sources.push_back(installation.writeFile(name, i % 3 == 0 ? bmpOfSize(900 + i, 700)
                                                              : encodeJpeg(1200 + 37 * i, 900, 3, gradient)));
    }
    std::vector<std::string> sequential;
    for (const std::string& source : sources) {
        std::string result;
        ASSERT_TRUE(FitPicture(source, 320, 240, 75, result));
        sequential.push_back(readFile(result));
    }
    std::vector<std::string> results(sources.size());
    std::vector<bool> fitted(sources.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < sources.size(); ++i)
        threads.emplace_back([&, i] {
            std::string result;
            fitted[i] = FitPicture(sources[i], 320, 240, 75, result);
            results[i] = result;
        });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(sources[i]);
        ASSERT_TRUE(fitted[i]);
        EXPECT_EQ(readFile(results[i]), sequential[i]);
    }
}

} // namespace
} // namespace pavonia::test
