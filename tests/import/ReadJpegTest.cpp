#include "import/ReadJpeg.h"

#include "PictureFixtures.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pavonia::test {
namespace {

class ReadJpegTest : public ::testing::Test {
protected:
    TestInstallation installation{false};
};

// Colour bands that survive compression: red left half, blue right half.
std::uint8_t bands(int x, int, int c)
{
    const bool left = x < 16;
    return c == 0 ? (left ? 240 : 10) : c == 1 ? 20 : (left ? 10 : 230);
}

bool near(int actual, int expected) { return std::abs(actual - expected) <= 8; }

TEST_F(ReadJpegTest, ColourAndGreyPicturesComeBackAsRgbRows)
{
    const std::string colour = installation.writeFile("colour.jpg", encodeJpeg(32, 8, 3, bands));
    auto picture = ReadJpeg(colour);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 32);
    EXPECT_EQ(picture->height, 8);
    ASSERT_EQ(picture->rows.size(), 32u * 8 * 3);
    const auto& r = picture->rows;
    EXPECT_TRUE(near(r[0], 240) && near(r[1], 20) && near(r[2], 10));
    const std::size_t lastPixel = r.size() - 3;
    EXPECT_TRUE(near(r[lastPixel], 10) && near(r[lastPixel + 1], 20) && near(r[lastPixel + 2], 230));

    // Grey: the value in all three bytes, top row first.
    const std::string grey = installation.writeFile(
        "grey.jpg", encodeJpeg(8, 16, 1, [](int, int y, int) { return static_cast<std::uint8_t>(y < 8 ? 30 : 200); }));
    picture = ReadJpeg(grey);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->rows.size(), 8u * 16 * 3);
    EXPECT_TRUE(near(picture->rows[0], 30));
    EXPECT_EQ(picture->rows[0], picture->rows[1]);
    EXPECT_EQ(picture->rows[0], picture->rows[2]);
    EXPECT_TRUE(near(picture->rows.back(), 200));
}

TEST_F(ReadJpegTest, TruncatedFileDecodesToTheEndOfItsDataWithoutAMessage)
{
    for (bool progressive : {false, true}) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        const std::string whole = encodeJpeg(64, 64, 3, [](int x, int y, int c) {
            return static_cast<std::uint8_t>((x * 4 + y * 2 + c * 50) & 0xFF);
        }, 90, progressive);
        const auto full = ReadJpeg(installation.writeFile("whole.jpg", whole));
        ASSERT_TRUE(full);
        const auto cut = ReadJpeg(installation.writeFile("cut.jpg", whole.substr(0, whole.size() * 2 / 3)));
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->width, 64);
        EXPECT_EQ(cut->height, 64);
        if (!progressive) {
            // The rows before the cut are those of the whole picture.
            const std::size_t topRows = 64 * 3 * 16;
            EXPECT_TRUE(std::equal(full->rows.begin(), full->rows.begin() + topRows, cut->rows.begin()));
        }
    }
}

// What the command that read the picture shows for a failed read.
std::vector<ScriptedUi::Shown> shownFor(const Result<RgbPicture>& picture)
{
    ScriptedUi ui;
    if (!picture)
        showFailure(ui, picture.failure());
    return ui.shown;
}

TEST_F(ReadJpegTest, FailuresCarryOneMessageAndNoPicture)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
        std::string caption;
        std::uint64_t maxPixels = kMaxJpegPixels;
    };
    const std::string small = encodeJpeg(16, 16, 3, bands);
    // A frame header claiming 12-bit samples, which the decoder cannot take.
    std::string corrupt = small;
    const std::size_t frame = corrupt.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    corrupt[frame + 4] = 12;
    const std::string path = installation.root() + "picture.jpg";
    const Case cases[] = {
        {"empty file", "", "Empty input file", "JPEG Fatal Error"},
        {"not a JPEG", "BM not a jpeg at all", "Not a JPEG file: starts with 0x42 0x4d",
         "JPEG Fatal Error"},
        {"four components", encodeJpeg(8, 8, 4, [](int, int, int) { return std::uint8_t(9); }),
         "JPEG :\nUnsupported picture: 4 colour components (1 or 3 can be read).\n" + path,
         "Pavonia"},
        {"larger than allowed", small, "JPEG :\nPicture too large to open (16 x 16).\n" + path,
         "Pavonia", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path, c.bytes);
        const auto picture = ReadJpeg(path, c.maxPixels);
        EXPECT_FALSE(picture);
        const auto shown = shownFor(picture);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.text);
        EXPECT_EQ(shown[0].caption, c.caption);
    }

    writeBytes(path, corrupt);
    auto shown = shownFor(ReadJpeg(path));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "JPEG Fatal Error");

    const std::string absent = installation.root() + "absent.jpg";
    shown = shownFor(ReadJpeg(absent));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "JPEG :\nCan't open " + absent + "\n");
}

} // namespace
} // namespace pavonia::test
