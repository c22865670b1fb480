#include "project/SvMngr.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pavonia;
using test::readFile;
using test::ScriptedUi;
using test::TestInstallation;

namespace {

std::string u32(std::uint32_t v)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(v >> (8 * i));
    return out;
}

std::string streamEntry(const std::string& name, const std::string& content, std::uint32_t size)
{
    return u32(static_cast<std::uint32_t>(name.size())) + name + std::string(8, '\1') + u32(size) + content;
}

void setTime(const std::string& path, int secondsAgo)
{
    namespace fs = std::filesystem;
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo));
}

} // namespace

TEST(SvMngr, AddModesAndPrivateCopyNames)
{
    TestInstallation inst(false);
    ScriptedUi ui;
    SvMngr store(inst.tempFolder(), ui);
    EXPECT_EQ(store.folder(), inst.tempFolder() + "~#SvMngr/");
    const auto a = inst.writeFile("a.jpg", "AAA");
    const auto b = inst.writeFile("b.abcdefg", "BB");
    const auto c = inst.writeFile("dir.v2/c", "C");
    setTime(a, 100);

    EXPECT_EQ(store.add(inst.root() + "missing.jpg", SvMngr::kReplace), -1);
    EXPECT_EQ(store.add(a, SvMngr::kReplace), 1);
    EXPECT_EQ(store.add(b, SvMngr::kReplace), 2);
    EXPECT_EQ(store.add(c, SvMngr::kReplace), 3);
    EXPECT_EQ(store.entry(0).privateCopy, store.folder() + "1.jpg");
    EXPECT_EQ(store.entry(1).privateCopy, store.folder() + "2"); // extension longer than 6 with its dot
    EXPECT_EQ(store.entry(2).privateCopy, store.folder() + "3");
    EXPECT_EQ(readFile(store.folder() + "1.jpg"), "AAA");

    EXPECT_EQ(store.add(a, SvMngr::kKeep), -1);
    EXPECT_EQ(store.add(a, SvMngr::kReplaceIfNewer), -1); // not modified since
    std::ofstream(a, std::ios::binary) << "NEWER";
    setTime(a, 0);
    EXPECT_EQ(store.add(a, SvMngr::kReplaceIfNewer), 3);
    EXPECT_EQ(readFile(store.folder() + "1.jpg"), "NEWER");
    EXPECT_EQ(store.find(inst.root() + "A.JPG"), 0);

    store.clear();
    EXPECT_EQ(store.count(), 0);
    EXPECT_FALSE(std::filesystem::exists(store.folder() + "1.jpg"));
}

TEST(SvMngr, StreamRoundTripBothWays)
{
    for (bool deferred : {false, true}) {
        TestInstallation inst(false);
        ScriptedUi ui;
        const auto a = inst.writeFile("one.tjm", std::string(1500000, 'x') + "end");
        const auto b = inst.writeFile("two.tps", "");
        std::string stream;
        {
            SvMngr store(inst.tempFolder(), ui);
            store.setDeferredCopies(deferred);
            store.add(a, SvMngr::kReplaceIfNewer);
            store.add(b, SvMngr::kReplaceIfNewer);
            ASSERT_TRUE(store.writeStream(inst.root() + "pack").valueOr(false));
            const Result<bool> again = store.writeStream(inst.root() + "pack2");
            ASSERT_TRUE(again);
            EXPECT_FALSE(*again); // nothing new since
            stream = readFile(inst.root() + "pack");
        }
        ASSERT_EQ(stream.substr(0, 12), "NBSVMNGR" + u32(2));
        EXPECT_EQ(stream.substr(12, 4), u32(static_cast<std::uint32_t>(a.size())));
        EXPECT_EQ(stream.size(), 12 + 2 * 16 + a.size() + b.size() + 1500003u);

        SvMngr reader(inst.tempFolder(), ui);
        ASSERT_TRUE(reader.readStream(inst.root() + "pack", -1));
        EXPECT_TRUE(reader.complete());
        ASSERT_EQ(reader.count(), 2);
        EXPECT_EQ(reader.entry(0).source, a);
        EXPECT_EQ(reader.entry(0).size, 1500003u);
        EXPECT_EQ(reader.entry(0).fileTime, *SvMngr::fileTimeOf(a));
        EXPECT_EQ(readFile(reader.entry(0).privateCopy), readFile(a));
        EXPECT_EQ(reader.entry(1).privateCopy, reader.folder() + "2.tps");
        EXPECT_TRUE(std::filesystem::exists(reader.entry(1).privateCopy));

        ASSERT_TRUE(reader.readStream(inst.root() + "pack", 1)); // an entry limit
        EXPECT_EQ(reader.count(), 1);
    }
}

TEST(SvMngr, DamagedStreamsStopAtTheDamage)
{
    TestInstallation inst(false);
    ScriptedUi ui;
    SvMngr store(inst.tempFolder(), ui);
    const std::string good = streamEntry("C:\\x\\a.jpg", "abc", 3);
    struct Case {
        const char* what;
        std::string stream;
        bool accepted;
        int entries;
        bool complete = false; // every announced entry was there whole
    } cases[] = {
        {"wrong magic", "NBSVMNGX" + u32(1) + good, false, 0, true},
        {"whole", "NBSVMNGR" + u32(1) + good, true, 1, true},
        {"no count", "NBSVMNGR", true, 0},
        {"negative count", "NBSVMNGR" + u32(0xFFFFFFFF) + good, true, 0},
        {"count beyond the entries", "NBSVMNGR" + u32(1000000) + good, true, 1},
        {"negative name length", "NBSVMNGR" + u32(2) + good + u32(0x80000000) + "zz", true, 1},
        {"name longer than the data", "NBSVMNGR" + u32(2) + good + u32(1000) + "zz", true, 1},
        {"name longer than a path", "NBSVMNGR" + u32(1) + streamEntry(std::string(70000, 'n'), "", 0), true, 0},
        {"content cut short", "NBSVMNGR" + u32(2) + good + streamEntry("b.jpg", "12", 4000000000u), true, 2},
    };
    for (const auto& c : cases) {
        const auto path = inst.writeFile("pack", c.stream);
        EXPECT_EQ(store.readStream(path, -1), c.accepted) << c.what;
        EXPECT_EQ(store.count(), c.entries) << c.what;
        EXPECT_EQ(store.complete(), c.complete) << c.what;
    }
    EXPECT_EQ(readFile(store.entry(1).privateCopy), "12");
    EXPECT_TRUE(store.entry(1).cutShort);
    EXPECT_FALSE(store.entry(0).cutShort);
    // The name is never used as a path, whatever it says.
    const auto path = inst.writeFile("pack", "NBSVMNGR" + u32(1) + streamEntry("../../../etc/evil.jpg", "x", 1));
    ASSERT_TRUE(store.readStream(path, -1));
    EXPECT_EQ(store.entry(0).privateCopy, store.folder() + "1.jpg");
}

TEST(SvMngr, FolderThatCannotBeMadeIsReported)
{
    TestInstallation inst(false);
    ScriptedUi ui;
    inst.writeFile("systemp-file", "");
    SvMngr store(inst.root() + "systemp-file/", ui);
    EXPECT_EQ(store.folder(), "");
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Create Temp Directory Failed !"});
}

TEST(SvMngr, CopiesNeverGoThroughPlantedLinksAndAFailedPrivateCopyIsPackedFromItsSource)
{
    namespace fs = std::filesystem;
    TestInstallation inst(false);
    ScriptedUi ui;
    const auto a = inst.writeFile("a.tjm", "face bytes");
    const auto b = inst.writeFile("b.tps", "voice bytes");
    const auto outside = inst.writeFile("outside.txt", "keep");
    {
        SvMngr store(inst.tempFolder(), ui);
        // Where the first private copy goes stands a folder, which cannot be
        // replaced; where the second goes, a link to a file elsewhere.
        fs::create_directory(store.folder() + "1.tjm");
        fs::create_symlink(outside, store.folder() + "2.tps");
        store.add(a, SvMngr::kReplace);
        store.add(b, SvMngr::kReplace);
        EXPECT_EQ(readFile(outside), "keep");
        EXPECT_FALSE(fs::is_symlink(store.folder() + "2.tps"));
        ASSERT_TRUE(store.writeStream(inst.root() + "pack").valueOr(false));
    }
    const std::string stream = readFile(inst.root() + "pack");
    EXPECT_NE(stream.find("face bytes"), std::string::npos); // not zeros
    EXPECT_NE(stream.find("voice bytes"), std::string::npos);

    // Unpacked files replace links planted where they go.
    const std::string target = inst.root() + "unpacked.tps";
    fs::create_symlink(outside, target);
    SvMngr reader(inst.tempFolder(), ui);
    FileHandle in = FileHandle::openRead(inst.root() + "pack");
    const auto placer = [&](const std::string& name) {
        SvMngr::Placement placement;
        placement.kind = name == b ? SvMngr::Placement::Path : SvMngr::Placement::Skip;
        placement.path = target;
        return placement;
    };
    const Result<bool> read = reader.readStream(in, in.size(), -1, placer);
    ASSERT_TRUE(read.ok()) << read.failure().text();
    EXPECT_TRUE(read.value());
    EXPECT_EQ(readFile(outside), "keep");
    EXPECT_FALSE(fs::is_symlink(target));
    EXPECT_EQ(readFile(target), "voice bytes");
}
