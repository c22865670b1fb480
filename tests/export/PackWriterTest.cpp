// The pack: its sizes, headers and trailer through each step, embedding
// behind a stub, and what it refuses.
#include "CabinetTools.h"

#include "export/PackLayout.h"
#include "export/PackWriter.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

pack::Trailer trailerOf(const std::string& bytes)
{
    pack::Trailer trailer;
    EXPECT_GE(bytes.size(), pack::kTrailerSize);
    EXPECT_TRUE(trailer.decode(reinterpret_cast<const std::uint8_t*>(bytes.data() + bytes.size() - pack::kTrailerSize)));
    return trailer;
}

pack::EntryHeader headerAt(const std::string& bytes, std::size_t at)
{
    pack::EntryHeader header;
    EXPECT_TRUE(header.decode(reinterpret_cast<const std::uint8_t*>(bytes.data() + at)));
    return header;
}

class PackWriterTest : public ::testing::Test {
protected:
    TestInstallation installation{false};
    std::string work = installation.root() + "__pvpack.pok";
    std::string a = installation.writeFile("pub/Show.htm", proseBytes(70000));
    std::string b = installation.writeFile("pub/images/face.bin", randomBytes(1000));
    PackWriter writer;
};

TEST_F(PackWriterTest, AFreshPackIsTheTrailerAlone)
{
    ASSERT_TRUE(writer.create(work));
    ASSERT_TRUE(writer.close().ok());
    const std::string bytes = readFile(work);
    ASSERT_EQ(bytes.size(), 804u);
    EXPECT_EQ(bytes.substr(0, 4), "\xFF\x88\x16\xC1");
    EXPECT_EQ(bytes.substr(4), std::string(800, '\0'));
}

TEST_F(PackWriterTest, TwoFilesAreTwoCompleteEntriesBeforeTheTrailer)
{
    ASSERT_TRUE(writer.create(work));
    const std::string prefix = installation.root() + "pub/";
    ASSERT_TRUE(writer.addFile(a, prefix));
    ASSERT_TRUE(writer.addFile(b, prefix));
    ASSERT_TRUE(writer.close().ok());

    // Each entry's data is the cabinet the cabinet writer makes of the file.
    const std::string cabA = installation.root() + "a.cab";
    const std::string cabB = installation.root() + "b.cab";
    CabinetEntry entry;
    ASSERT_TRUE(describeCabinetEntry(a, "tempcab.cb", entry));
    ASSERT_EQ(CabinetWriter().writeFile(a, entry, cabA), CabinetStatus::Ok);
    ASSERT_TRUE(describeCabinetEntry(b, "tempcab.cb", entry));
    ASSERT_EQ(CabinetWriter().writeFile(b, entry, cabB), CabinetStatus::Ok);
    const std::string bytes = readFile(work);
    const std::size_t sizeA = fs::file_size(cabA), sizeB = fs::file_size(cabB);
    ASSERT_EQ(bytes.size(), 288 + sizeA + 288 + sizeB + 804);

    const pack::EntryHeader first = headerAt(bytes, 0);
    EXPECT_EQ(first.entrySize, 288 + sizeA);
    EXPECT_EQ(first.headerSize, 288u);
    EXPECT_EQ(first.flags, 1u);
    EXPECT_EQ(first.name, "Show.htm");
    EXPECT_TRUE(bytes.substr(288, sizeA) == readFile(cabA));
    const pack::EntryHeader second = headerAt(bytes, first.entrySize);
    EXPECT_EQ(second.flags, 1u);
    EXPECT_EQ(second.name, "images/face.bin");
    EXPECT_TRUE(bytes.substr(first.entrySize + 288, sizeB) == readFile(cabB));
    const pack::Trailer trailer = trailerOf(bytes);
    EXPECT_EQ(trailer.count, 2u);
    EXPECT_EQ(trailer.dataOffset, 0u);
}

TEST_F(PackWriterTest, EmbeddingPutsTheStubFirstAndSetsTheDataOffset)
{
    const std::string stub = installation.writeFile("pkseed.exe", std::string(5000, 's'));
    const std::string output = installation.root() + "out/Show.exe";
    fs::create_directories(installation.root() + "out");
    ASSERT_TRUE(writer.create(work));
    ASSERT_TRUE(writer.addFile(a, installation.root() + "pub/"));
    ASSERT_TRUE(writer.addFile(b, installation.root() + "pub/"));
    ASSERT_TRUE(writer.setPlayer("pvplayer.exe"));
    ASSERT_TRUE(writer.setCommandLine("Show.htm 800 600"));
    ASSERT_TRUE(writer.embed(output, stub, true));
    EXPECT_FALSE(fs::exists(work));
    ASSERT_TRUE(writer.close().ok());

    const std::string bytes = readFile(output);
    EXPECT_EQ(bytes.substr(0, 5000), std::string(5000, 's'));
    const pack::Trailer trailer = trailerOf(bytes);
    EXPECT_EQ(trailer.dataOffset, 5000u);
    EXPECT_EQ(trailer.count, 2u);
    EXPECT_EQ(trailer.player, "pvplayer.exe");
    EXPECT_EQ(trailer.commandLine, "Show.htm 800 600");
    EXPECT_EQ(headerAt(bytes, 5000).name, "Show.htm");
    EXPECT_TRUE(fs::status(output).permissions() == (fs::perms::owner_all | fs::perms::group_read |
                                                      fs::perms::group_exec | fs::perms::others_read |
                                                      fs::perms::others_exec));
    // Nothing but the executable is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(installation.root() + "out"), fs::directory_iterator()), 1);

    // cabextract finds both cabinets behind the stub.
    if (haveCabinetReaders()) {
        const CommandRun listed = runCommand("cabextract -l '" + output + "'");
        EXPECT_EQ(listed.status, 0);
        std::size_t found = 0;
        for (std::size_t at = 0; (at = listed.out.find("| tempcab.cb", at)) != std::string::npos; ++at)
            ++found;
        EXPECT_EQ(found, 2u);
        EXPECT_TRUE(runCommand("cabextract -q -p '" + output + "'").out == readFile(a) + readFile(b));
    }
}

TEST_F(PackWriterTest, TheStoredNameDropsAPrefixMatchedWithoutRegardToCase)
{
    EXPECT_EQ(PackWriter::storedName("c:\\pub\\Show.htm", "C:\\Pub\\"), "Show.htm");
    EXPECT_EQ(PackWriter::storedName("d:\\other\\Show.htm", "C:\\Pub\\"), "d:\\other\\Show.htm");
    EXPECT_EQ(PackWriter::storedName("/tmp/_ppt1f/Show.htm", "/tmp/_PPT1F/"), "Show.htm");
    EXPECT_EQ(PackWriter::storedName("/tmp", "/tmp/_ppt1f/"), "/tmp");
}

TEST_F(PackWriterTest, WhatDoesNotFitIsRefusedAndLeavesThePackAsItWas)
{
    EXPECT_EQ(writer.addFile(a, "").failure().message, str::ExportFailedToPack);
    EXPECT_EQ(writer.setPlayer("pvplayer.exe").failure().message, str::ExportFailedToPack);
    ASSERT_TRUE(writer.create(work));
    ASSERT_TRUE(writer.addFile(a, installation.root() + "pub/"));

    // 275 characters fit the name field with its NUL; 276 do not.
    const std::string longName = std::string(200, 'n') + "/" + std::string(74, 'n');
    const std::string longest = installation.writeFile("pub/" + longName, "n");
    const std::string tooLong = installation.writeFile("pub/" + longName + "x", "n");
    EXPECT_EQ(writer.addFile(tooLong, installation.root() + "pub/").failure().message, str::ExportNameTooLong);
    const Result<> missing = writer.addFile(installation.root() + "pub/missing", installation.root() + "pub/");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().text(), "Failed to pack file " + installation.root() + "pub/missing");
    EXPECT_EQ(missing.failure().systemError, ENOENT);
    EXPECT_EQ(writer.setPlayer(std::string(264, 'p')).failure().message, str::ExportCommandLineTooLong);
    EXPECT_EQ(writer.setCommandLine(std::string(264, 'c')).failure().message, str::ExportCommandLineTooLong);
    EXPECT_TRUE(writer.setCommandLine(std::string(263, 'c')));
    EXPECT_TRUE(writer.addFile(longest, installation.root() + "pub/"));
    ASSERT_TRUE(writer.close().ok());

    const std::string bytes = readFile(work);
    const pack::Trailer trailer = trailerOf(bytes);
    EXPECT_EQ(trailer.count, 2u);
    EXPECT_EQ(trailer.player, "");
    EXPECT_EQ(trailer.commandLine, std::string(263, 'c'));
    const pack::EntryHeader first = headerAt(bytes, 0);
    EXPECT_EQ(headerAt(bytes, first.entrySize).name, longName);
    EXPECT_EQ(first.entrySize + headerAt(bytes, first.entrySize).entrySize + 804, bytes.size());
}

TEST_F(PackWriterTest, AFailedEmbedLeavesNoOutputAndTheWorkPackOpen)
{
    ASSERT_TRUE(writer.create(work));
    ASSERT_TRUE(writer.addFile(a, installation.root() + "pub/"));
    const std::string output = installation.root() + "Show.exe";
    EXPECT_EQ(writer.embed(output, installation.root() + "no-stub.exe", true).failure().message, str::ExportFailedToEmbed);
    EXPECT_EQ(writer.embed(installation.root() + "no/such/folder/Show.exe", a, true).failure().message, str::ExportFailedToEmbed);
    EXPECT_FALSE(fs::exists(output));
    EXPECT_TRUE(writer.isOpen());
    writer.discard();
    EXPECT_FALSE(fs::exists(work));
    for (const auto& left : fs::directory_iterator(installation.root()))
        EXPECT_TRUE(left.is_directory()) << left.path(); // no temporary is left behind
}

} // namespace
} // namespace pavonia::test
