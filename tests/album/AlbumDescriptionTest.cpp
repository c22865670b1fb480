#include "album/AlbumDescription.h"
#include "platform/StringTable.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

namespace pavonia {
namespace {

using E = AlbumDescriptionError;

TEST(AlbumDescription, WrittenEntriesReadBackWithCommentsBlankLinesAndCrLf)
{
    const std::vector<AlbumEntry> entries = {
        {AlbumKind::Images, "Ada.tjm", "Ada"},
        {AlbumKind::Messages, "Greetings/Welcome.tps", "Welcome, everyone"},
        {AlbumKind::Messages, "Topics/Deep/Next é.TPS", "Next topic – é"},
    };
    const std::optional<std::string> bytes = albumDescriptionBytes(entries);
    ASSERT_TRUE(bytes);
    std::vector<AlbumEntry> read;
    EXPECT_FALSE(parseAlbumDescription(*bytes, read));
    EXPECT_EQ(read, entries);

    // A hand-written file: Windows line ends, comments, blank lines.
    read.clear();
    EXPECT_FALSE(parseAlbumDescription("PAVONIA-ALBUM 3\r\n# faces\r\n\r\nimage\tAda.tjm\tAda\r\n", read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].title, "Ada");
}

TEST(AlbumDescription, HostileOrDamagedInputIsRefusedWithItsLine)
{
    const std::string head = "PAVONIA-ALBUM 3\n";
    const struct {
        std::string bytes;
        E error;
        std::size_t line;
    } cases[] = {
        {"", E::NotDescription, 1},
        {"PAVONIA-ALBUM 2\nimage\ta.tjm\tA\n", E::NotDescription, 1},
        {head + "image\ta.tjm\n", E::BadLine, 2},
        {head + "image\ta.tjm\tA\textra\n", E::BadLine, 2},
        {head + "picture\ta.tjm\tA\n", E::BadLine, 2},
        {head + "image\t../a.tjm\tA\n", E::BadPath, 2},
        {head + "image\tFaces/../../etc/a.tjm\tA\n", E::BadPath, 2},
        {head + "image\t/etc/a.tjm\tA\n", E::BadPath, 2},
        {head + "image\tFaces\\a.tjm\tA\n", E::BadPath, 2},
        {head + "image\tC:a.tjm\tA\n", E::BadPath, 2},
        {head + "image\tFaces//a.tjm\tA\n", E::BadPath, 2},
        {head + "image\ta.tps\tA\n", E::BadPath, 2},
        {head + "message\t.tps\tA\n", E::BadPath, 2},
        {head + "image\ta/b/c/d/e/f/g/h/i.tjm\tA\n", E::BadPath, 2},
        {head + "image\t" + std::string(kAlbumMaxPath, 'a') + ".tjm\tA\n", E::BadPath, 2},
        {head + "image\ta.tjm\t\n", E::BadTitle, 2},
        {head + "image\ta.tjm\t A\n", E::BadTitle, 2},
        {head + "image\ta.tjm\tA\x01\n", E::BadTitle, 2},
        {head + "image\ta.tjm\t" + std::string(kAlbumMaxTitle + 1, 'x') + "\n", E::BadTitle, 2},
        {head + std::string("image\ta.tjm\tA\0z\n", 16), E::BadTitle, 2},
        {head + "image\ta.tjm\t\xff\n", E::NotUtf8, 0},
        {head + "image\ta.tjm\tA\n# note\nimage\tA.TJM\tB\n", E::Repeated, 4},
        {head + std::string(kAlbumMaxFileSize, '#'), E::TooLarge, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 60));
        std::vector<AlbumEntry> entries = {{AlbumKind::Images, "kept.tjm", "Kept"}};
        const auto refusal = parseAlbumDescription(c.bytes, entries);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->error, c.error);
        EXPECT_EQ(refusal->line, c.line);
        EXPECT_EQ(entries.size(), 1u); // left alone
    }

    std::string many = head;
    for (std::size_t i = 0; i <= kAlbumMaxEntries; ++i)
        many += "image\t" + std::to_string(i) + ".tjm\tA\n";
    std::vector<AlbumEntry> entries;
    const auto refusal = parseAlbumDescription(many, entries);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->error, E::TooLarge);
}

TEST(AlbumDescription, WriterRefusesWhatTheReaderWould)
{
    EXPECT_FALSE(albumDescriptionBytes({{AlbumKind::Images, "../a.tjm", "A"}}));
    EXPECT_FALSE(albumDescriptionBytes({{AlbumKind::Images, "a.tjm", "A\tB"}}));
    EXPECT_FALSE(albumDescriptionBytes({{AlbumKind::Images, "a.tjm", "A"}, {AlbumKind::Images, "A.tjm", "B"}}));
}

TEST(AlbumDescription, FilesReadAndWrittenWithClearFailures)
{
    test::TestInstallation home(false);
    const std::string path = home.folder() + kAlbumDescriptionName;
    const std::vector<AlbumEntry> entries = {{AlbumKind::Messages, "Hello.tps", "Hello"}};
    ASSERT_TRUE(writeAlbumDescription(path, entries).ok());
    Result<std::vector<AlbumEntry>> read = readAlbumDescription(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, entries);

    const Result<std::vector<AlbumEntry>> missing = readAlbumDescription(home.folder() + "none.cnt");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().message, str::AlbumDescriptionUnreadable);

    home.writeFile(std::string("install/") + kAlbumDescriptionName, "PAVONIA-ALBUM 3\nimage\t../x.tjm\tX\n");
    const Result<std::vector<AlbumEntry>> damaged = readAlbumDescription(path);
    ASSERT_FALSE(damaged.ok());
    EXPECT_EQ(damaged.failure().message, str::AlbumDescriptionDamaged);
    EXPECT_NE(damaged.failure().text().find("(line 2)"), std::string::npos) << damaged.failure().text();

    EXPECT_FALSE(writeAlbumDescription(home.folder() + "no/such/folder/" + kAlbumDescriptionName, entries).ok());
}

} // namespace
} // namespace pavonia
