// Cabinets of single files, read back by cabextract and gcab.
#include "CabinetTools.h"

#include "export/CabinetFormat.h"
#include "export/CabinetWriter.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace pavonia::test {
namespace {

std::uint16_t u16(const std::string& s, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8);
}

std::uint32_t u32(const std::string& s, std::size_t at)
{
    return u16(s, at) | std::uint32_t(u16(s, at + 2)) << 16;
}

class CabinetWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveCabinetReaders())
            GTEST_SKIP() << "cabextract and gcab are not installed";
    }

    // Writes `content` to a file, packs it into a cabinet and returns the
    // cabinet's bytes.
    std::string pack(const std::string& content, CabinetEntry entry = {"tempcab.cb"})
    {
        const std::string source = installation.writeFile("source.bin", content);
        EXPECT_EQ(CabinetWriter().writeFile(source, entry, cabinet), CabinetStatus::Ok);
        return readFile(cabinet);
    }

    TestInstallation installation{false};
    std::string cabinet = installation.root() + "out.cab";
};

TEST_F(CabinetWriterTest, BothReadersExtractEveryContentExactly)
{
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"one byte", "x"},
        {"exactly one block", proseBytes(cab::kBlockSize)},
        {"one block and a byte", proseBytes(cab::kBlockSize + 1)},
        {"prose over several blocks", proseBytes(5 * cab::kBlockSize + 1234)},
        {"random bytes", randomBytes(3 * cab::kBlockSize + 17)},
        {"random then prose", randomBytes(cab::kBlockSize + 500) + proseBytes(2 * cab::kBlockSize)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pack(c.content);
        EXPECT_EQ(runCommand("cabextract -t -q '" + cabinet + "' 2>&1").status, 0);
        const Extracted out = extractBoth(cabinet, installation.root() + "x");
        EXPECT_EQ(out.problem, "");
        EXPECT_TRUE(out.byCabextract == c.content) << out.byCabextract.size() << " bytes";
        EXPECT_TRUE(out.byGcab == c.content) << out.byGcab.size() << " bytes";
    }
}

TEST_F(CabinetWriterTest, TheLayoutHasOneMszipFolderSetIdAndCkBlocks)
{
    const std::string content = proseBytes(2 * cab::kBlockSize) + randomBytes(cab::kBlockSize) + "end";
    const std::string bytes = pack(content);
    EXPECT_EQ(bytes.substr(0, 4), "MSCF");
    EXPECT_EQ(u32(bytes, 8), bytes.size());
    EXPECT_EQ(u16(bytes, 26), 1);     // folders
    EXPECT_EQ(u16(bytes, 28), 1);     // files
    EXPECT_EQ(u16(bytes, 30), 0);     // no previous or next cabinet, no reserved areas
    EXPECT_EQ(u16(bytes, 32), 12345); // set ID
    EXPECT_EQ(u16(bytes, 40), 4);     // data blocks
    EXPECT_EQ(u16(bytes, 42), 1);     // MSZIP

    std::size_t at = u32(bytes, 36);
    std::vector<std::size_t> compressed;
    std::uint32_t uncompressed = 0;
    for (int block = 0; block < 4; ++block) {
        EXPECT_EQ(bytes.substr(at + 8, 2), "CK");
        EXPECT_LE(u16(bytes, at + 6), cab::kBlockSize);
        compressed.push_back(u16(bytes, at + 4));
        uncompressed += u16(bytes, at + 6);
        at += 8 + u16(bytes, at + 4);
    }
    EXPECT_EQ(at, bytes.size());
    EXPECT_EQ(uncompressed, content.size());
    EXPECT_LT(compressed[0], 8000u);                                 // prose shrinks
    EXPECT_EQ(compressed[2], 2 + cab::kStoredOverhead + cab::kBlockSize); // random bytes are stored
}

TEST_F(CabinetWriterTest, TheFileRecordCarriesTheLocalWriteTimeAndAttributes)
{
    const std::string source = installation.writeFile("dated.txt", "dated");
    std::tm local{};
    local.tm_year = 2004 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 31;
    local.tm_hour = 15;
    local.tm_min = 30;
    local.tm_sec = 58;
    local.tm_isdst = -1;
    const struct timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    ::chmod(source.c_str(), 0444);

    CabinetEntry entry;
    ASSERT_TRUE(describeCabinetEntry(source, "tempcab.cb", entry));
    EXPECT_EQ(entry.dosDate, (24 << 9) | (12 << 5) | 31);
    EXPECT_EQ(entry.dosTime, (15 << 11) | (30 << 5) | 29);
    EXPECT_EQ(entry.attributes, cab::kAttributeArchive | cab::kAttributeReadOnly);
    ASSERT_EQ(CabinetWriter().writeFile(source, entry, cabinet), CabinetStatus::Ok);
    EXPECT_NE(runCommand("cabextract -l '" + cabinet + "'").out.find("31.12.2004 15:30:58 | tempcab.cb"),
              std::string::npos);
    EXPECT_NE(runCommand("gcab -l '" + cabinet + "'").out.find("2004-12-31 15:30:58"), std::string::npos);

    const std::string hidden = installation.writeFile(".hidden", "h");
    ASSERT_TRUE(describeCabinetEntry(hidden, "tempcab.cb", entry));
    EXPECT_EQ(entry.attributes, cab::kAttributeArchive | cab::kAttributeHidden);
    EXPECT_FALSE(describeCabinetEntry(installation.root() + "missing", "tempcab.cb", entry));
}

TEST_F(CabinetWriterTest, AFileLargerThanAFolderHoldsIsRefusedBeforeAnythingIsRead)
{
    // A sparse file: nothing of it needs to be written to disk.
    const std::string source = installation.writeFile("huge.bin", "");
    ASSERT_EQ(::truncate(source.c_str(), static_cast<off_t>(cab::kMaxFileSize + 1)), 0);
    EXPECT_EQ(CabinetWriter().writeFile(source, {"tempcab.cb"}, cabinet), CabinetStatus::SourceTooLarge);
    EXPECT_EQ(std::filesystem::file_size(cabinet), 0u);
}

} // namespace
} // namespace pavonia::test
