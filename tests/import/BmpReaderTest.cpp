#include "import/BmpReader.h"

#include "PictureFixtures.h"
#include "TestInstallation.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

namespace pavonia::test {
namespace {

class BmpReaderTest : public ::testing::Test {
protected:
    Result<RgbPicture> read(const BmpFile& file)
    {
        return readBytes(file.bytes());
    }
    Result<RgbPicture> readBytes(const std::string& bytes)
    {
        const std::string path = installation.root() + "picture.bmp";
        writeBytes(path, bytes);
        return reader.read(path);
    }
    TestInstallation installation{false};
    BmpReader reader;
};

std::vector<std::uint8_t> rgb(std::initializer_list<int> values)
{
    return std::vector<std::uint8_t>(values.begin(), values.end());
}

TEST_F(BmpReaderTest, PaddedTwentyFourBitRowsComeBackTopRowFirstWithoutPadding)
{
    BmpFile file;
    file.width = 2;
    file.height = 2;
    // Stored bottom row first: each row 6 bytes of blue-green-red plus 2 of padding.
    file.pixels = std::string("\x01\x02\x03\x04\x05\x06\xEE\xEE"
                              "\x11\x12\x13\x14\x15\x16\xEE\xEE",
                              16);
    const auto picture = read(file);
    ASSERT_TRUE(picture);
    EXPECT_EQ(reader.status(), "OK");
    EXPECT_EQ(picture->width, 2);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->rows, rgb({0x13, 0x12, 0x11, 0x16, 0x15, 0x14, 0x03, 0x02, 0x01, 0x06, 0x05, 0x04}));
    EXPECT_EQ(reader.bytesConsumed(), file.bytes().size());
}

TEST_F(BmpReaderTest, PaletteBitmapsTakeIndexesMostSignificantBitsFirst)
{
    struct Case {
        const char* name;
        std::uint16_t bits;
        std::uint32_t coloursUsed;
        std::size_t paletteEntries;
        std::string row; // one stored row, padded to 4 bytes
        std::vector<int> indexes;
    };
    const Case cases[] = {
        {"1 bit", 1, 2, 2, std::string("\xA0\0\0\0", 4), {1, 0, 1}},
        // Colours used 0 means the full 16 entries, so index 15 is valid.
        {"4 bits, colours used 0", 4, 0, 16, std::string("\xF3\x70\0\0", 4), {15, 3, 7}},
        {"8 bits", 8, 3, 3, std::string("\x02\x00\x01\0", 4), {2, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile file;
        file.width = 3;
        file.height = 1;
        file.bitsPerPixel = c.bits;
        file.coloursUsed = c.coloursUsed;
        for (std::size_t i = 0; i < c.paletteEntries; ++i)
            file.palette.push_back((0x102030 * static_cast<std::uint32_t>(i + 1)) & 0xFFFFFF);
        file.pixels = c.row;
        const auto picture = read(file);
        ASSERT_TRUE(picture) << reader.status();
        std::vector<std::uint8_t> expected;
        for (int index : c.indexes) {
            const std::uint32_t colour = file.palette[static_cast<std::size_t>(index)];
            expected.push_back(static_cast<std::uint8_t>(colour >> 16));
            expected.push_back(static_cast<std::uint8_t>(colour >> 8));
            expected.push_back(static_cast<std::uint8_t>(colour));
        }
        EXPECT_EQ(picture->rows, expected);
    }
}

TEST_F(BmpReaderTest, LongerInformationHeaderIsSkippedBeforeThePalette)
{
    BmpFile file;
    file.headerSize = 124;
    file.width = 2;
    file.bitsPerPixel = 8;
    file.coloursUsed = 2;
    file.palette = {0x0000FF, 0xFF0000};
    file.pixels = std::string("\x01\x00\0\0", 4);
    const auto picture = read(file);
    ASSERT_TRUE(picture) << reader.status();
    EXPECT_EQ(picture->rows, rgb({0xFF, 0, 0, 0, 0, 0xFF}));
}

TEST_F(BmpReaderTest, RefusesWhatItCannotReadWithItsStatus)
{
    const auto valid = [] {
        BmpFile file;
        file.width = 2;
        file.height = 2;
        file.pixels = std::string(16, '\x7F');
        return file;
    };
    struct Case {
        const char* name;
        std::function<std::string()> bytes;
        std::string status;
    };
    const Case cases[] = {
        {"not a bitmap", [] { return std::string("GIF89a") + std::string(60, '\0'); },
         "Not a valid BMP File"},
        {"header cut short", [&] { return valid().bytes().substr(0, 30); }, "Read Error!"},
        {"run-length encoded",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 8;
             f.compression = 1;
             f.palette = {0, 0xFFFFFF};
             return f.bytes();
         },
         "This is a compressed file."},
        {"pixel offset inside the palette",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 8;
             f.coloursUsed = 4;
             f.palette = {1, 2, 3, 4};
             f.pixelOffset = 14 + 40 + 8;
             f.pixels = std::string(8, '\0');
             return f.bytes();
         },
         "Corrupt palette"},
        {"palette longer than the file",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 8;
             f.coloursUsed = 0xFFFFFFFF;
             return f.bytes();
         },
         "Read Error!"},
        {"palette rows cut short",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 8;
             f.palette = std::vector<std::uint32_t>(256, 0);
             f.pixels = std::string(7, '\0');
             return f.bytes();
         },
         "Read Error"},
        {"24-bit rows cut short (the row padding is missing too)",
         [&] {
             BmpFile f = valid();
             f.pixels.resize(14);
             return f.bytes();
         },
         "Read Error"},
        {"huge size in a tiny file",
         [&] {
             BmpFile f = valid();
             f.width = 0x7FFFFFFF;
             f.height = 0x7FFFFFFF;
             return f.bytes();
         },
         "Read Error"},
        {"16 bits per pixel",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 16;
             return f.bytes();
         },
         "Unsupported BMP File: 16 bits per pixel (1, 4, 8 or 24 can be read)."},
        {"32 bits per pixel",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 32;
             return f.bytes();
         },
         "Unsupported BMP File: 32 bits per pixel (1, 4, 8 or 24 can be read)."},
        {"stored top-down",
         [&] {
             BmpFile f = valid();
             f.height = -2;
             return f.bytes();
         },
         "Unsupported BMP File: the rows are stored from the top down."},
        {"zero width",
         [&] {
             BmpFile f = valid();
             f.width = 0;
             return f.bytes();
         },
         "Unsupported BMP File: invalid picture size (0 x 2)."},
        {"core header of 12 bytes",
         [&] {
             BmpFile f = valid();
             f.headerSize = 12;
             return f.bytes();
         },
         "Unsupported BMP File: unknown information header (12 bytes)."},
        {"index beyond a short palette",
         [&] {
             BmpFile f = valid();
             f.bitsPerPixel = 8;
             f.coloursUsed = 2;
             f.palette = {0, 0xFFFFFF};
             f.pixels = std::string("\x01\x02\0\0\x00\x01\0\0", 8);
             return f.bytes();
         },
         "Corrupt BMP File: a pixel refers to a colour beyond the palette."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto picture = readBytes(c.bytes());
        ASSERT_FALSE(picture);
        EXPECT_EQ(picture.failure().text(), c.status);
        EXPECT_FALSE(reader.ok());
        EXPECT_EQ(reader.status(), c.status);
    }
}

TEST_F(BmpReaderTest, MissingFileNamesThePath)
{
    const std::string path = installation.root() + "absent.bmp";
    EXPECT_FALSE(reader.read(path));
    EXPECT_EQ(reader.status(), "Can't open file for reading :\n" + path);
}

TEST_F(BmpReaderTest, AReadAfterAFailureStartsAfresh)
{
    EXPECT_FALSE(readBytes("XX"));
    BmpFile file;
    file.pixels = std::string("\x01\x02\x03\0", 4);
    ASSERT_TRUE(read(file));
    EXPECT_TRUE(reader.ok());
    EXPECT_EQ(reader.status(), "OK");
}

} // namespace
} // namespace pavonia::test
