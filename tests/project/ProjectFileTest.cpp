#include "project/ProjectFile.h"

#include "platform/StringTable.h"
#include "project/ProjectFileFormat.h"
#include "TestProject.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace pavonia;
using test::readFile;

namespace {

namespace fs = std::filesystem;

std::string u32(std::uint32_t v)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(v >> (8 * i));
    return out;
}

std::uint32_t u32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

// A project file written record by record, for files the program itself
// would never write.
struct FileBuilder {
    std::string records;
    int count = 0;
    std::string pack;
    int packCount = 0;

    FileBuilder& record(const char (&tag)[5], const std::string& payload)
    {
        records += u32(pvp::tag(tag)) + u32(static_cast<std::uint32_t>(payload.size())) + payload;
        ++count;
        return *this;
    }
    FileBuilder& packed(const std::string& name, const std::string& content)
    {
        pack += u32(static_cast<std::uint32_t>(name.size())) + name + std::string(8, '\0') +
                u32(static_cast<std::uint32_t>(content.size())) + content;
        ++packCount;
        return *this;
    }
    std::string bytes(int recordCount = -1) const
    {
        const std::string stream = "NBSVMNGR" + u32(static_cast<std::uint32_t>(packCount)) + pack;
        const std::string body = records + stream;
        return u32(pvp::kMagic) + u32(static_cast<std::uint32_t>(12 + body.size())) +
               u32(static_cast<std::uint32_t>(recordCount < 0 ? count : recordCount)) + body;
    }
};

class ProjectFileTest : public ::testing::Test, protected test::TestProject {
protected:
    void SetUp() override { operations.createView(); }

    std::string path(const std::string& name) const { return inst.root() + name; }
    bool load(const std::string& file) { return LoadProject(document, operations, file); }
    bool save(const std::string& file) { return SaveProject(document, file); }
    std::string write(const std::string& name, const std::string& bytes) const { return inst.writeFile(name, bytes); }

    TreeItem& session(std::size_t i) { return *document.tree().root().child(i); }
    SlideData& slide(std::size_t s, std::size_t i) { return *session(s).child(i)->slide(); }
    int count(const std::string& path)
    {
        auto index = document.settings().fileRefs.find(path);
        return index ? document.settings().fileRefs[*index].refCount : 0;
    }
};

} // namespace

TEST_F(ProjectFileTest, NewProjectHasTwentySevenRecordsInTheFixedLayout)
{
    ASSERT_TRUE(save(path("p.pvp")));
    const std::string bytes = readFile(path("p.pvp"));
    EXPECT_EQ(bytes.substr(0, 4), " API");
    EXPECT_EQ(u32At(bytes, 4), bytes.size());
    EXPECT_EQ(u32At(bytes, 8), 27u);
    EXPECT_EQ(bytes.substr(12, 8), " ITM" + u32(0));
    EXPECT_EQ(bytes.substr(20, 9), " FMB" + u32(1) + "0");
    EXPECT_EQ(bytes.substr(29, 8), " FTM" + u32(52));
    EXPECT_EQ(u32At(bytes, 37 + 32), 12u); // the font's default size
    EXPECT_EQ(document.documentPath, path("p.pvp"));
    EXPECT_FALSE(document.dirty());

    // The pack holds the session's talking image and message, once each.
    const auto magic = bytes.find("NBSVMNGR");
    ASSERT_NE(magic, std::string::npos);
    EXPECT_EQ(u32At(bytes, magic + 8), 2u);
}

TEST_F(ProjectFileTest, SavingTwiceGivesIdenticalFilesAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(save(path("a.pvp")));
    ASSERT_TRUE(save(path("b.pvp")));
    EXPECT_EQ(readFile(path("a.pvp")), readFile(path("b.pvp")));
    int files = 0;
    for (const auto& e : fs::directory_iterator(inst.root()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 2);
}

TEST_F(ProjectFileTest, RoundTripKeepsEveryFieldAndFile)
{
    ProjectSettings& s = document.settings();
    s.headingText = "Caf\xC3\xA9 \xE2\x82\xAC";
    s.headingFontSet = 1;
    s.headingFont.setFaceName("Verdana");
    s.headingFont.size = 20;
    s.headingFont.bold = 1;
    s.headingFont.colour = 0x00FF8000;
    s.descriptionFont.italic = 1;
    s.backgroundTile = 0;
    s.autoPlay = 1;
    s.autoJump = 1;
    s.backgroundMode = 1;
    s.backgroundColour = 0x123456;
    s.styleNumber = 1002;
    s.layoutNumber = 3;
    s.opaqueText = "opaque";
    s.resolutionKey = "1_1024";
    const auto pic = inst.writeFile("pics/sun.jpg", std::string(300000, 's'));
    document.tree().select(&session(0));
    TreeItem* media = operations.AddItem(pic); // a new session with the picture
    ASSERT_NE(media, nullptr);
    media->slide()->description = "Line 1\r\nLine 2";
    media->slide()->delay = 2.5f;
    media->slide()->transition = 4;
    ASSERT_TRUE(save(path("p.pvp")));
    const std::string mediaCopy = media->slide()->mediaPath;

    // Another installation opens it.
    test::TestProject other;
    other.operations.createView();
    ASSERT_TRUE(LoadProject(other.document, other.operations, path("p.pvp")));
    EXPECT_TRUE(other.ui.shown.empty());
    ProjectDocument& second = other.document;
    const ProjectSettings& t = second.settings();
    EXPECT_EQ(t.headingText, s.headingText);
    EXPECT_EQ(t.headingFont, s.headingFont);
    EXPECT_EQ(t.descriptionFont, s.descriptionFont);
    EXPECT_EQ(t.headingFontSet, 1);
    EXPECT_EQ(t.backgroundTile, 0);
    EXPECT_EQ(t.autoPlay, 1);
    EXPECT_EQ(t.autoJump, 1);
    EXPECT_EQ(t.backgroundMode, 1);
    EXPECT_EQ(t.backgroundColour, 0x123456u);
    EXPECT_EQ(t.styleNumber, 1002);
    EXPECT_EQ(t.layoutNumber, 3);
    EXPECT_EQ(t.opaqueText, "opaque");
    EXPECT_EQ(t.resolutionKey, "1_1024");
    EXPECT_EQ(t.headerRecordCount, 18 + 3 * 2 + 6 * 2);
    EXPECT_EQ(second.documentPath, path("p.pvp"));
    EXPECT_FALSE(second.dirty());

    const auto sessions = second.tree().sessions();
    ASSERT_EQ(sessions.size(), 2u);
    EXPECT_EQ(sessions[0]->text(), "Session 1");
    EXPECT_EQ(sessions[1]->text(), "Session 2");
    const SlideData& loaded = *sessions[1]->child(0)->slide();
    EXPECT_EQ(loaded.subTopic, "sun");
    EXPECT_EQ(sessions[1]->child(0)->text(), "sun");
    EXPECT_EQ(loaded.description, "Line 1\r\nLine 2");
    EXPECT_FLOAT_EQ(loaded.delay, 2.5f);
    EXPECT_EQ(loaded.transition, 4);
    EXPECT_EQ(loaded.hasContent, 1);
    EXPECT_EQ(loaded.mediaPath, other.inst.folder() + "Temp/" + fs::path(mediaCopy).filename().string());
    EXPECT_EQ(readFile(loaded.mediaPath), readFile(pic));
    EXPECT_EQ(readFile(sessions[1]->session()->talkingMessagePath), readFile(inst.folder() + "default_tps.tps"));
}

TEST_F(ProjectFileTest, LargeProjectsKeepEveryByteAndLeaveNoOldFiles)
{
    // Large enough to be written on several threads and to have the previous
    // files deleted in the background.
    document.tree().select(document.tree().root().child(0)->child(0));
    std::vector<TreeItem*> slides;
    for (int i = 0; i < 4; ++i) {
        std::string content(6 << 20, static_cast<char>('a' + i));
        content[i * 1000] = 'X';
        slides.push_back(operations.AddItem(inst.writeFile("big" + std::to_string(i) + ".jpg", content)));
    }
    ASSERT_TRUE(save(path("big.pvp")));
    std::vector<std::string> copies;
    for (TreeItem* slide : slides)
        copies.push_back(readFile(slide->slide()->mediaPath));

    ASSERT_TRUE(load(path("big.pvp")));
    ASSERT_TRUE(load(path("big.pvp")));
    document.workingFolder().finishDeletions();
    ASSERT_EQ(session(0).childCount(), 5u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(readFile(slide(0, i + 1).mediaPath), copies[i]) << i;
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(inst.folder() + "Temp")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 6u); // image, message and four pictures
}

TEST_F(ProjectFileTest, SharedTalkingImageIsPackedOnceAndSharedAfterLoading)
{
    document.tree().select(&session(0));
    operations.AddItem();
    ASSERT_EQ(session(0).session()->talkingImagePath, session(1).session()->talkingImagePath);
    ASSERT_TRUE(save(path("p.pvp")));
    const std::string bytes = readFile(path("p.pvp"));
    EXPECT_EQ(u32At(bytes, bytes.find("NBSVMNGR") + 8), 2u); // one image, one message

    ASSERT_TRUE(load(path("p.pvp")));
    const std::string image = session(0).session()->talkingImagePath;
    EXPECT_EQ(session(1).session()->talkingImagePath, image);
    EXPECT_EQ(count(image), 2);
    EXPECT_TRUE(fs::exists(image));
    EXPECT_EQ(document.settings().fileRefs.size(), 2u); // no stray default copies
}

TEST_F(ProjectFileTest, WrongMagicIsRefusedBeforeAnythingChanges)
{
    document.settings().headingText = "mine";
    document.documentPath = "/somewhere/mine.pvp";
    const std::string before = session(0).session()->talkingImagePath;
    const auto file = write("bad.pvp", "PK\3\4 this is no project");
    EXPECT_FALSE(load(file));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Not a valid Pavonia Project file.\n(" + file + ")"});
    EXPECT_EQ(document.settings().headingText, "mine");
    EXPECT_EQ(document.documentPath, "/somewhere/mine.pvp");
    EXPECT_TRUE(fs::exists(before));

    ui.shown.clear();
    EXPECT_FALSE(load(path("missing.pvp")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Open Project File Error. (" + path("missing.pvp") + ")\nError: ", 0), 0u);
}

TEST_F(ProjectFileTest, ThreeHundredSlidesLoadAsTwoHundredFiftySix)
{
    FileBuilder file;
    for (int s = 0; s < 3; ++s) {
        file.record(" ISS", "_SLIDE_").record(" MJT", "").record(" SPT", "");
        for (int i = 0; i < 100; ++i)
            file.record(" ISM", "_MEDIA_").record(" ITS", "slide " + std::to_string(s * 100 + i));
    }
    file.record(" ISS", "").record(" ISM", ""); // a session arriving at the limit
    ASSERT_TRUE(load(write("big.pvp", file.bytes())));
    EXPECT_EQ(document.tree().slideCount(), 256);
    EXPECT_EQ(document.tree().sessions().size(), 3u);
    EXPECT_EQ(session(2).childCount(), 56u);
    EXPECT_EQ(session(2).child(55)->text(), "slide 255");
    EXPECT_EQ(ui.texts(),
              std::vector<std::string>{"Cannot add tree item; Because has a limitation of  256 slides only."});
}

TEST_F(ProjectFileTest, EmptyPayloadsLoadAsDefaultsAndUnknownTagsAreSkipped)
{
    document.settings().headingText = "kept when absent";
    FileBuilder file;
    file.record(" IYS", "").record(" ITL", "").record(" ISR", "").record(" XYZ", "junk\0junk")
        .record(" ICB", "4294967295").record(" ISS", "").record(" ISM", "").record(" IYD", "1.25");
    ASSERT_TRUE(load(write("e.pvp", file.bytes())));
    const ProjectSettings& s = document.settings();
    EXPECT_EQ(s.styleNumber, 1);
    EXPECT_EQ(s.layoutNumber, 0);
    EXPECT_EQ(s.resolutionKey, "0_800");
    EXPECT_EQ(s.backgroundColour, 0xFFFFFFu);
    EXPECT_EQ(s.headingText, "kept when absent");
    EXPECT_EQ(session(0).session()->marker, "_SLIDE_");
    EXPECT_EQ(slide(0, 0).marker, "_MEDIA_");
    EXPECT_FLOAT_EQ(slide(0, 0).delay, 1.25f);

    struct Key {
        const char* stored;
        const char* loaded;
    } keys[] = {{"800", "0_800"}, {"-1_640", "-1_640"}, {"1_", "1_"}};
    for (const auto& k : keys) {
        FileBuilder f;
        f.record(" ISR", k.stored);
        ASSERT_TRUE(load(write("k.pvp", f.bytes())));
        EXPECT_EQ(document.settings().resolutionKey, k.loaded) << k.stored;
    }
}

TEST_F(ProjectFileTest, DelaysOutsideTheFieldsRangeAreClamped)
{
    const struct {
        const char* stored;
        float loaded;
    } delays[] = {{"nan", 0.0f}, {"inf", 300.0f}, {"-inf", 0.0f}, {"1e39", 300.0f},
                  {"-2.5", 0.0f}, {"300.01", 300.0f}, {"299.5", 299.5f}, {"", 0.0f}};
    for (const auto& d : delays) {
        FileBuilder file;
        file.record(" ISS", "").record(" ISM", "").record(" IYD", d.stored);
        ASSERT_TRUE(load(write("delay.pvp", file.bytes())));
        EXPECT_EQ(slide(0, 0).delay, d.loaded) << d.stored;
    }
}

TEST_F(ProjectFileTest, ShortFontPayloadFillsOnlyWhatItHas)
{
    FileBuilder file;
    file.record(" FTM", std::string("Arial\0\0\0", 8)).record(" FTS", std::string(60, 'A'));
    ASSERT_TRUE(load(write("f.pvp", file.bytes())));
    EXPECT_EQ(document.settings().headingFont.faceName(), "Arial");
    EXPECT_EQ(document.settings().headingFont.size, 12);
    EXPECT_EQ(document.settings().subTopicFont.size, 0x41414141);
}

TEST_F(ProjectFileTest, FilesPairWithTheirEntriesByName)
{
    // The background is named but was not packed, a media file is packed
    // under a Windows path, and one entry names no record at all.
    FileBuilder file;
    file.record(" IFB", "Bg200401011200 1.jpg")
        .record(" ISS", "_SLIDE_").record(" MJT", "face.tjm").record(" SPT", "voice.tps")
        .record(" ISM", "_MEDIA_").record(" IFM", "Media200401011200 2.JPG")
        .packed("C:\\Program Files\\P\\Temp\\face.tjm", "FACE")
        .packed("/old/Temp/voice.tps", "VOICE")
        .packed("/old/Temp/stray.gif", "STRAY")
        .packed("C:\\Temp\\media200401011200 2.jpg", "MEDIA")
        .packed("..", "DOTS");
    ASSERT_TRUE(load(write("n.pvp", file.bytes())));
    const std::string temp = inst.folder() + "Temp/";
    EXPECT_EQ(document.settings().backgroundImagePath, temp + "Bg200401011200 1.jpg");
    EXPECT_FALSE(fs::exists(document.settings().backgroundImagePath));
    EXPECT_EQ(readFile(session(0).session()->talkingImagePath), "FACE");
    EXPECT_EQ(readFile(session(0).session()->talkingMessagePath), "VOICE");
    EXPECT_EQ(readFile(slide(0, 0).mediaPath), "MEDIA");
    EXPECT_FALSE(fs::exists(temp + "stray.gif"));
    EXPECT_EQ(readFile(inst.folder() + "default_tjm.tjm").empty(), false);
    // A named file that was never packed is no damage.
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_FALSE(document.loadedDamaged);
}

TEST_F(ProjectFileTest, StoredNamesNeverLeaveTheWorkingFolder)
{
    FileBuilder file;
    file.record(" ISS", "").record(" ISM", "")
        .record(" IFM", "..").record(" IFM", "C:\\evil\\..\\..\\x.jpg").record(" MJT", "../../../escape.tjm")
        .packed("../../../escape.tjm", "ESCAPE").packed("x.jpg", "X");
    ASSERT_TRUE(load(write("d.pvp", file.bytes())));
    EXPECT_FALSE(fs::exists(inst.root() + "escape.tjm"));
    EXPECT_EQ(session(0).session()->talkingImagePath, inst.folder() + "Temp/escape.tjm");
    EXPECT_EQ(readFile(session(0).session()->talkingImagePath), "ESCAPE");
    EXPECT_EQ(slide(0, 0).mediaPath, inst.folder() + "Temp/x.jpg");
}

TEST_F(ProjectFileTest, Windows1252TextIsReadAsSuch)
{
    FileBuilder file;
    file.record(" ITM", "Pr\xE9sentation \x93quoted\x94");
    ASSERT_TRUE(load(write("w.pvp", file.bytes())));
    EXPECT_EQ(document.settings().headingText, "Pr\xC3\xA9sentation \xE2\x80\x9Cquoted\xE2\x80\x9D");
}

TEST_F(ProjectFileTest, DamagedFilesNeverCrashOrHang)
{
    document.tree().select(&session(0));
    operations.AddItem(inst.writeFile("p.gif", std::string(5000, 'g')));
    ASSERT_TRUE(save(path("good.pvp")));
    const std::string good = readFile(path("good.pvp"));
    // Every truncation of a good file.
    for (std::size_t n = 0; n <= good.size(); n += (n < 2000 ? 1 : 97)) {
        const auto file = write("cut.pvp", good.substr(0, n));
        const bool ok = load(file);
        EXPECT_EQ(ok, n >= 12) << n;
        if (ok) {
            EXPECT_EQ(document.loadedDamaged, n < good.size()) << n;
        }
        EXPECT_LE(document.tree().slideCount(), 256);
    }
    // Counts and lengths that lie.
    FileBuilder liar;
    liar.record(" ITM", "x");
    std::string bytes = liar.bytes(0x7FFFFFFF);
    ASSERT_TRUE(load(write("count.pvp", bytes)));
    EXPECT_EQ(document.settings().headingText, "x");
    for (std::uint32_t length : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 1000u}) {
        std::string b = u32(pvp::kMagic) + u32(0) + u32(3) + u32(pvp::tag(" ITM")) + u32(length) + "abc";
        ASSERT_TRUE(load(write("len.pvp", b))) << length;
    }
}

TEST_F(ProjectFileTest, ACutShortProjectLoadsWithAWarningThatNamesWhatIsLost)
{
    document.tree().select(&session(0));
    operations.AddItem(inst.writeFile("p.gif", std::string(5000, 'g')));
    ASSERT_TRUE(save(path("good.pvp")));
    const std::string good = readFile(path("good.pvp"));
    // The names of the project's files in record order, each once (the
    // picture last).
    std::string names;
    std::string last;
    const auto name = [&](const std::string& file) {
        last = fs::path(file).filename().string();
        if (!file.empty() && (", " + names + ", ").find(", " + last + ", ") == std::string::npos)
            names += (names.empty() ? "" : ", ") + last;
    };
    for (TreeItem* s : document.tree().sessions()) {
        name(s->session()->talkingImagePath);
        name(s->session()->talkingMessagePath);
        for (const auto& item : s->children())
            name(item->slide()->mediaPath);
    }
    ASSERT_EQ(fs::path(last).extension(), ".gif");
    const std::size_t pack = good.find("NBSVMNGR");

    struct Case {
        const char* what;
        std::size_t length;
        std::string text;
    } cases[] = {
        {"inside the last file", good.size() - 1000,
         StringTable::format(str::ProjectDamagedFiles, {path("cut.pvp"), last})},
        {"inside the first entry's name", pack + 30,
         StringTable::format(str::ProjectDamagedFiles, {path("cut.pvp"), names})},
        {"inside the records", 40, StringTable::format(str::ProjectDamaged, {path("cut.pvp")})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.shown.clear();
        ASSERT_TRUE(load(write("cut.pvp", good.substr(0, c.length))));
        EXPECT_TRUE(document.loadedDamaged);
        EXPECT_EQ(document.documentPath, path("cut.pvp"));
        EXPECT_EQ(ui.texts(), std::vector<std::string>{c.text});
    }

    // A save makes the project whole again; a whole file loads in silence.
    ASSERT_TRUE(save(path("again.pvp")));
    EXPECT_FALSE(document.loadedDamaged);
    ui.shown.clear();
    ASSERT_TRUE(load(path("good.pvp")));
    EXPECT_FALSE(document.loadedDamaged);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ProjectFileTest, MissingRecordsKeepPreviousValues)
{
    document.settings().autoLoop = 1;
    document.settings().layoutNumber = 7;
    FileBuilder file;
    file.record(" ITM", "only the heading");
    ASSERT_TRUE(load(write("m.pvp", file.bytes())));
    EXPECT_EQ(document.settings().autoLoop, 1);
    EXPECT_EQ(document.settings().layoutNumber, 7);
    EXPECT_TRUE(document.tree().sessions().empty());
}

TEST_F(ProjectFileTest, FailedSaveKeepsThePreviousFileAndState)
{
    ASSERT_TRUE(save(path("p.pvp")));
    const std::string before = readFile(path("p.pvp"));
    document.setDirty(true);
    // The target is now a folder: the rename into place fails.
    fs::create_directories(path("folder.pvp/inner"));
    EXPECT_FALSE(save(path("folder.pvp")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("Open Output Project File Error. (" + path("folder.pvp") + ")", 0), 0u);
    EXPECT_EQ(document.documentPath, path("p.pvp"));
    EXPECT_TRUE(document.dirty());
    EXPECT_TRUE(fs::is_directory(path("folder.pvp/inner")));

    EXPECT_FALSE(save(path("no/such/folder/p.pvp")));
    EXPECT_EQ(readFile(path("p.pvp")), before);
    for (const auto& e : fs::directory_iterator(inst.root()))
        EXPECT_EQ(e.path().filename().string().find(".saving-"), std::string::npos);
}

TEST_F(ProjectFileTest, FileTooLargeForThePackIsRefused)
{
    const std::string huge = inst.writeFile("install/Temp/huge.jpg", "");
    fs::resize_file(huge, 0x100000001ull); // sparse: no disk used
    slide(0, 0).mediaPath = huge;
    EXPECT_FALSE(save(path("p.pvp")));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.rfind("File too large to be kept in a project", 0), 0u);
    EXPECT_FALSE(fs::exists(path("p.pvp")));
}

TEST_F(ProjectFileTest, LoadThatFailsHalfWayLeavesNoFileName)
{
    ASSERT_TRUE(save(path("p.pvp")));
    document.documentPath = path("p.pvp");
    // Working files cannot be written: Temp is a file.
    fs::remove_all(inst.folder() + "Temp");
    inst.writeFile("install/Temp", "not a folder");
    EXPECT_FALSE(load(path("p.pvp")));
    EXPECT_EQ(document.documentPath, "");
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text.rfind("Temp Project File Error.\nError: ", 0), 0u);
}
