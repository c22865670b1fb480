#include "import/DibImage.h"

#include "PictureFixtures.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

namespace pavonia::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 2 x 2 bitmap: top row red, green; bottom row blue, white.
std::string twoByTwo()
{
    BmpFile file;
    file.width = 2;
    file.height = 2;
    file.pixels = std::string("\xFF\x00\x00\xFF\xFF\xFF\0\0"  // bottom: blue, white
                              "\x00\x00\xFF\x00\xFF\x00\0\0", // top: red, green
                              16);
    return file.bytes();
}

TEST(DibImageTest, LoadBmpKeepsBottomUpBlueGreenRedRows)
{
    TestInstallation installation(false);
    ScriptedUi ui;
    const std::string path = installation.root() + "p.bmp";
    writeBytes(path, twoByTwo());
    DibImage image;
    ASSERT_TRUE(image.LoadBmp(path, ui));
    EXPECT_EQ(image.width(), 2);
    EXPECT_EQ(image.height(), 2);
    EXPECT_EQ(image.pixels(), (Bytes{0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0, 0xFF, 0}));
    EXPECT_EQ(image.rowStride(), 8);
    EXPECT_EQ(image.paddedPixels().size(), 16u);
    EXPECT_TRUE(ui.shown.empty());

    // A failed load shows the reader's status and leaves the image empty.
    writeBytes(path, "BM");
    EXPECT_FALSE(image.LoadBmp(path, ui));
    EXPECT_TRUE(image.empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Read Error!");
}

TEST(DibImageTest, LoadJpegSwapsRowsAndChannels)
{
    TestInstallation installation(false);
    ScriptedUi ui;
    const std::string path = installation.root() + "p.jpg";
    // Top half dark red, bottom half light blue.
    writeBytes(path, encodeJpeg(8, 16, 3, [](int, int y, int c) {
                   const std::uint8_t top[] = {200, 0, 0};
                   const std::uint8_t bottom[] = {0, 0, 220};
                   return y < 8 ? top[c] : bottom[c];
               }));
    DibImage image;
    ASSERT_TRUE(image.LoadJpeg(path, ui));
    ASSERT_EQ(image.pixels().size(), 8u * 16 * 3);
    // The first stored pixel is the bottom-left one, blue first.
    EXPECT_GT(image.pixels()[0], 180);
    EXPECT_LT(image.pixels()[2], 40);
    // The last stored pixel is the top-right one, red last.
    EXPECT_LT(image.pixels()[image.pixels().size() - 3], 40);
    EXPECT_GT(image.pixels().back(), 160);

    writeBytes(path, "");
    EXPECT_FALSE(image.LoadJpeg(path, ui));
    EXPECT_TRUE(image.empty());
}

TEST(DibImageTest, OverlayWithKeyCopiesReplacesOrKeeps)
{
    const std::uint32_t key = 0x00FF00FF;         // magenta, 0x00BBGGRR
    const std::uint32_t replacement = 0x00000080; // dark red
    // One row of two pixels, padded to 8 bytes: magenta, then (1, 2, 3).
    const Bytes overlay = {0xFF, 0x00, 0xFF, 3, 2, 1, 0, 0};
    struct Case {
        const char* name;
        bool replace;
        Bytes expected;
    };
    const Case cases[] = {
        {"key kept", false, {9, 9, 9, 3, 2, 1}},
        {"key replaced", true, {0x00, 0x00, 0x80, 3, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes destination = {9, 9, 9, 9, 9, 9, 0, 0};
        const DibImage result = DibImage::OverlayWithKey(destination, overlay, 2, 1, 24, key,
                                                         replacement, c.replace);
        EXPECT_EQ(result.pixels(), c.expected);
        EXPECT_TRUE(std::equal(c.expected.begin(), c.expected.end(), destination.begin()));
    }

    // Without an overlay every key-coloured pixel of the destination is replaced.
    Bytes destination = {0xFF, 0x00, 0xFF, 3, 2, 1, 0, 0};
    const DibImage result = DibImage::OverlayWithKey(destination, {}, 2, 1, 24, key, replacement, false);
    EXPECT_EQ(result.pixels(), (Bytes{0, 0, 0x80, 3, 2, 1}));

    // 32-bit rows: four bytes a pixel; a buffer too small changes nothing.
    Bytes wide = {0xFF, 0x00, 0xFF, 0x77, 5, 6, 7, 0x77};
    EXPECT_EQ(DibImage::OverlayWithKey(wide, {}, 2, 1, 32, key, replacement, true).pixels(),
              (Bytes{0, 0, 0x80, 5, 6, 7}));
    EXPECT_EQ(wide[3], 0x77);
    Bytes tooSmall = {0xFF, 0x00, 0xFF};
    EXPECT_TRUE(DibImage::OverlayWithKey(tooSmall, {}, 2, 2, 24, key, replacement, true).empty());
    EXPECT_EQ(tooSmall[2], 0xFF);
}

// The picture as rows from the top, one letter per pixel, from a source
// image whose pixels are tagged by their blue byte.
std::vector<std::string> topRows(const DibImage& image)
{
    std::vector<std::string> rows;
    for (int row = image.height() - 1; row >= 0; --row) {
        std::string text;
        for (int x = 0; x < image.width(); ++x)
            text += static_cast<char>(image.pixels()[std::size_t(row * image.width() + x) * 3]);
        rows.push_back(text);
    }
    return rows;
}

TEST(DibImageTest, TileOrCentre)
{
    // A 2 x 2 source whose top row is "ab" and bottom row "cd".
    DibImage source;
    ASSERT_TRUE(source.assign(2, 2, {'c', 0, 0, 'd', 0, 0, 'a', 0, 0, 'b', 0, 0}));

    DibImage tiled;
    tiled.TileOrCentre(source, 1, 0, 5, 3, true, '.');
    EXPECT_EQ(topRows(tiled), (std::vector<std::string>{".abab", ".cdcd", ".abab"}));

    DibImage centred;
    centred.TileOrCentre(source, 3, 2, 4, 3, false, '.');
    EXPECT_EQ(topRows(centred), (std::vector<std::string>{"....", "....", "...a"}));
    EXPECT_EQ(centred.pixels()[1], '.'); // grey in every channel

    // Negative positions clip the first tiles; the image may tile itself.
    source.TileOrCentre(source, -1, -1, 3, 3, true, '.');
    EXPECT_EQ(topRows(source), (std::vector<std::string>{"dcd", "bab", "dcd"}));
}

} // namespace
} // namespace pavonia::test
