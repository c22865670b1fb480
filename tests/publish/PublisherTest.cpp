#include "PublishFixture.h"
#include "publish/PreviewShelf.h"

#include "import/FitPicture.h"
#include "import/ReadJpeg.h"
#include "platform/Text.h"
#include "platform/UniqueTempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace pavonia::test {
namespace {

bool exists(const std::string& path)
{
    return fs::exists(path);
}

// Every file under `folder` with its bytes, by relative path.
std::map<std::string, std::string> filesUnder(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = readFile(entry.path().string());
    return files;
}

class PublisherTest : public ::testing::Test {
protected:
    // Gives the project `sessions` sessions of `slides` slides, named
    // "S<session>.<slide>" in their sub-topics.
    void buildTree(int sessions, int slides)
    {
        ProjectTree& tree = f.document.tree();
        TreeItem* session = tree.sessions().front();
        for (int s = 1; s <= sessions; ++s) {
            if (s > 1)
                session = f.operations.AddSession(session);
            TreeItem* slide = session->childCount() ? session->child(0) : nullptr;
            for (int n = 1; n <= slides; ++n) {
                if (!(s == 1 && n == 1))
                    slide = f.operations.AddSlide(slide, "Slide", *session, "");
                slide->slide()->subTopic = "S" + std::to_string(s) + "." + std::to_string(n);
            }
        }
        tree.select(&tree.root());
    }

    // The folder of the last preview.
    std::string user() { return published.substr(0, published.rfind('/') + 1); }

    bool preview()
    {
        Publisher publisher = f.makePublisher();
        PublishRequest request;
        request.preview = true;
        const bool done = publisher.PublishProject(request);
        published = publisher.publishedPage();
        return done;
    }

    std::string page() { return readFile(user() + "Template.htm"); }

    // A picture in the installation's folder for test pictures.
    std::string picture(const std::string& name, int width, int height)
    {
        const std::string path = f.installation.root() + "pictures/" + name;
        fs::create_directories(f.installation.root() + "pictures");
        writeBmp(path, width, height);
        return path;
    }

    PublishFixture f;
    std::string published;
};

TEST_F(PublisherTest, PreviewWritesOneLinePerSlideWithTheSessionFilesOnItsFirstSlideOnly)
{
    buildTree(2, 3);
    ASSERT_TRUE(preview());
    EXPECT_TRUE(f.ui.shown.empty());

    const std::vector<std::string> lines = PublishFixture::pageInfoLines(page());
    ASSERT_EQ(lines.size(), 6u);
    const auto sessions = f.document.tree().sessions();
    for (std::size_t i = 0; i < 6; ++i) {
        const SessionData& session = *sessions[i / 3]->session();
        const bool first = i % 3 == 0;
        const std::string image = first ? fs::path(session.talkingImagePath).filename().string() : "";
        const std::string message = first ? fs::path(session.talkingMessagePath).filename().string() : "";
        EXPECT_EQ(lines[i], "AppendPageInfo(\"" + image + "\", \"" + message + "\", \"?\", 3.00, 17, \"S" +
                                std::to_string(i / 3 + 1) + "." + std::to_string(i % 3 + 1) + "\", \"?\");")
            << i;
        EXPECT_TRUE(exists(user() + image));
        EXPECT_TRUE(exists(user() + message));
        // The page reads the files through data scripts beside them.
        if (first) {
            EXPECT_NE(readFile(user() + image + ".js").find("\"kind\":\"face\""), std::string::npos);
            EXPECT_NE(readFile(user() + message + ".js").find("\"kind\":\"message\""), std::string::npos);
        }
    }

    // The template's companion files and the shared files come along; the
    // page ends before the end marker.
    for (const char* file : {"style.css", "images/frame.gif", "function.js", "face.js", "loading.gif"})
        EXPECT_TRUE(exists(user() + file)) << file;
    EXPECT_EQ(page().find("dropped"), std::string::npos);
    EXPECT_NE(page().find("Start(0, 0, 0, 0, \"\");"), std::string::npos);

    // The message both sessions share went through the exporter once, at the
    // export sound quality; the work file is gone.
    EXPECT_EQ(f.exporter.calls, (std::vector<std::string>{"load orgTps.tps", "save orgTps.tps 2"}));
    const std::string message = fs::path(sessions[0]->session()->talkingMessagePath).filename().string();
    EXPECT_EQ(readFile(user() + message), "voice@q2");
    EXPECT_FALSE(exists(f.installation.tempFolder() + "orgTps.tps"));
}

TEST_F(PublisherTest, SharedFilesAreCopiedOnceAndEveryFileEndsAsItsLastSessionMakesIt)
{
    // Sessions 1 and 3 share the default message and image; session 2 has a
    // message of its own, published under the shared message's name.
    buildTree(3, 1);
    const auto sessions = f.document.tree().sessions();
    const std::string shared = sessions[0]->session()->talkingMessagePath;
    ASSERT_EQ(sessions[2]->session()->talkingMessagePath, shared);
    const std::string sharedName = fs::path(shared).filename().string();
    sessions[1]->session()->talkingMessagePath = f.installation.writeFile("own/" + sharedName, "mine");

    ASSERT_TRUE(preview());
    EXPECT_EQ(f.exporter.calls,
              (std::vector<std::string>{"load orgTps.tps", "save orgTps.tps 2", "load orgTps.tps",
                                        "save orgTps.tps 2", "load orgTps.tps", "save orgTps.tps 2"}));
    EXPECT_EQ(readFile(user() + sharedName), "voice@q2");

    // Without the clash the shared message is re-encoded once.
    sessions[1]->session()->talkingMessagePath = f.installation.writeFile("own/other.tps", "mine");
    f.exporter.calls.clear();
    ASSERT_TRUE(preview());
    EXPECT_EQ(f.exporter.calls,
              (std::vector<std::string>{"load orgTps.tps", "save orgTps.tps 2", "load orgTps.tps",
                                        "save orgTps.tps 2"}));
    EXPECT_EQ(readFile(user() + sharedName), "voice@q2");
    EXPECT_EQ(readFile(user() + "other.tps"), "mine@q2");
}

TEST_F(PublisherTest, StartSlideFollowsTheSelectionUnlessTheFirstIsAsked)
{
    buildTree(2, 3);
    ProjectTree& tree = f.document.tree();
    const auto slides = tree.allSlides();
    const struct {
        TreeItem* selected;
        int expected;
    } cases[] = {
        {slides[2], 2},
        {tree.sessions()[1], 3}, // a session: its first slide
        {&tree.root(), 0},
        {nullptr, 0},
    };
    for (const auto& c : cases) {
        tree.select(c.selected);
        ASSERT_TRUE(preview());
        EXPECT_NE(page().find("Start(" + std::to_string(c.expected) + ","), std::string::npos) << c.expected;
    }
    tree.select(slides[4]);
    Publisher publisher = f.makePublisher();
    PublishRequest request;
    request.startAtFirstSlide = true;
    ASSERT_TRUE(publisher.PublishProject(request));
    EXPECT_NE(page().find("Start(0,"), std::string::npos);
}

TEST_F(PublisherTest, PicturesAreFittedIntoTheMediaAreaAndOtherMediaCopiedUnchanged)
{
    buildTree(1, 5);
    const auto slides = f.slides();
    slides[0]->slide()->mediaPath = picture("wide.bmp", 1000, 500);
    slides[1]->slide()->mediaPath = picture("small.bmp", 100, 50);
    slides[2]->slide()->mediaPath = f.installation.writeFile("pictures/clip.swf", "FWS clip");
    slides[3]->slide()->mediaPath = f.installation.writeFile("pictures/broken.jpg", "not a picture");
    ASSERT_TRUE(preview());

    const auto lines = PublishFixture::pageInfoLines(page());
    ASSERT_EQ(lines.size(), 5u);
    const char* names[] = {"wide.jpg", "small.jpg", "clip.swf", "broken.jpg", "?"};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NE(lines[i].find(std::string("\"") + names[i] + "\", 3.00"), std::string::npos) << lines[i];

    const auto wide = ReadJpeg(user() + "wide.jpg");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->width, 400);
    EXPECT_EQ(wide->height, 200);
    const auto small = ReadJpeg(user() + "small.jpg");
    ASSERT_TRUE(small);
    EXPECT_EQ(small->width, 100);
    EXPECT_EQ(small->height, 50);
    EXPECT_TRUE(exists(f.installation.root() + "pictures/s_wide.jpg")); // beside its source
    EXPECT_EQ(readFile(user() + "clip.swf"), "FWS clip");
    EXPECT_FALSE(exists(user() + "broken.jpg")); // named, but no file
}

TEST_F(PublisherTest, ALayoutWithoutMediaAreaPublishesNoMedia)
{
    buildTree(1, 2);
    f.slides()[0]->slide()->mediaPath = picture("a.bmp", 50, 50);
    f.layers.effect = 0;
    ASSERT_TRUE(preview());
    for (const std::string& line : PublishFixture::pageInfoLines(page()))
        EXPECT_NE(line.find("\"?\", 3.00"), std::string::npos) << line;
    EXPECT_FALSE(exists(user() + "a.jpg"));
}

TEST_F(PublisherTest, CdExportKeepsMessagesAndPicturesAtFullQualityWithAPrefix)
{
    buildTree(1, 1);
    const std::string source = picture("photo.bmp", 900, 900);
    f.slides()[0]->slide()->mediaPath = source;
    f.document.preferences().setExportType(1);

    std::string destination;
    Publisher publisher = f.makePublisher();
    PublishRequest request;
    request.usePrefix = true;
    request.prefix = "deck_PVData";
    request.startAtFirstSlide = true;
    request.destination = &destination;
    ASSERT_TRUE(publisher.PublishProject(request));

    // The fresh folder: the system temp folder, "_ppt" and the tick count's
    // low 16 bits in hexadecimal.
    EXPECT_EQ(destination, f.installation.tempFolder() + "_ppt3e8/");
    EXPECT_TRUE(f.exporter.calls.empty());
    const SessionData& session = *f.document.tree().sessions()[0]->session();
    const std::string message = fs::path(session.talkingMessagePath).filename().string();
    EXPECT_EQ(readFile(destination + message), "voice");
    // A message copied as it is still gets its data script.
    EXPECT_NE(readFile(destination + message + ".js").find("\"file\":\"" + message + "\""), std::string::npos);
    const std::string line = PublishFixture::pageInfoLines(readFile(destination + "Template.htm"))[0];
    EXPECT_NE(line.find("\"deck_PVData/" + message + "\""), std::string::npos) << line;
    EXPECT_NE(line.find("\"deck_PVData/photo.jpg\""), std::string::npos) << line;
    EXPECT_NE(readFile(destination + "Template.htm").find("\"deck_PVData\\\");"), std::string::npos);

    // The picture was written at quality 100 rather than the export's 80.
    const std::string published = readFile(destination + "photo.jpg");
    std::string expected;
    ASSERT_TRUE(FitPicture(source, 400, 300, 100, expected));
    EXPECT_EQ(published, readFile(expected));

    // Without ExportType 1 the same run re-encodes at the export qualities.
    f.document.preferences().setExportType(0);
    ASSERT_TRUE(publisher.PublishProject(request));
    EXPECT_EQ(destination, f.installation.tempFolder() + "_ppt3e9/");
    EXPECT_EQ(f.exporter.calls.size(), 2u);
    ASSERT_TRUE(FitPicture(source, 400, 300, 80, expected));
    EXPECT_EQ(readFile(destination + "photo.jpg"), readFile(expected));
}

TEST_F(PublisherTest, Backgrounds)
{
    buildTree(1, 1);
    f.document.settings().backgroundMode = 1;
    f.document.settings().backgroundColour = 0x00ff8000u;
    ASSERT_TRUE(preview());
    EXPECT_NE(page().find("<style>.QBBG { background-color: #0080ff; }</style>"), std::string::npos);
    EXPECT_NE(page().find("<body class=\"defBG\"><div id=\"BGLayer\" class=\"QBBG\""), std::string::npos);

    f.document.settings().backgroundMode = 2;
    f.document.settings().backgroundImagePath = f.installation.writeFile("pictures/bg.jpg", "jpeg bytes");
    f.document.settings().backgroundTile = 1;
    Publisher publisher = f.makePublisher();
    PublishRequest request;
    request.usePrefix = true;
    request.prefix = "deck_PVData";
    ASSERT_TRUE(publisher.PublishProject(request));
    published = publisher.publishedPage();
    EXPECT_NE(page().find("url('deck_PVData/bg.jpg');\nbackground-repeat:repeat; }"), std::string::npos);
    EXPECT_EQ(readFile(user() + "bg.jpg"), "jpeg bytes");

    f.document.settings().backgroundMode = 0;
    ASSERT_TRUE(preview());
    EXPECT_NE(page().find("<style></style>"), std::string::npos);
    EXPECT_EQ(page().find("QBBG"), std::string::npos);
}

TEST_F(PublisherTest, TextsAreConvertedAndTakeTheProjectFontsWhenSet)
{
    buildTree(1, 1);
    ProjectSettings& s = f.document.settings();
    SlideData& slide = *f.slides()[0]->slide();
    slide.subTopic = "a < b";
    slide.description = "<a href=\"x.htm\">50%AP</a>";
    s.subTopicFontSet = 1;
    s.subTopicFont.setFaceName("Arial");
    s.subTopicFont.size = 12;
    s.headingText = "Tom & Jerry";
    s.autoPlay = 1;
    ASSERT_TRUE(preview());
    const std::string line = PublishFixture::pageInfoLines(page())[0];
    EXPECT_NE(line.find("\"<font face='Arial' style='font-size:16px;"), std::string::npos) << line;
    EXPECT_NE(line.find(">a &lt; b</Font>\""), std::string::npos) << line;
    // Quotes of the user's tag are escaped for the script string; the
    // marker-like text stays as typed.
    EXPECT_NE(line.find("\"<a href=\\\"x.htm\\\">50%AP</a>\");"), std::string::npos) << line;
    // Without its font flag the heading goes in unchanged.
    EXPECT_NE(page().find("<h1>Tom & Jerry</h1>"), std::string::npos);

    s.headingFontSet = 1;
    ASSERT_TRUE(preview());
    EXPECT_NE(page().find(">Tom &amp; Jerry</Font></h1>"), std::string::npos);
}

TEST_F(PublisherTest, EachPreviewStaysWholeInAFolderOfItsOwnUntilTenNewerArrive)
{
    buildTree(1, 1);
    const std::string shelf = f.document.workingFolder().userFolder();
    f.installation.writeFile("install/User/old.htm", "old page");
    f.installation.writeFile("install/User/sub/mine.gif", "x");
    std::vector<std::string> folders;
    for (int i = 0; i < kKeptPreviews; ++i) {
        ASSERT_TRUE(preview());
        ASSERT_EQ(user().rfind(shelf + "Preview-", 0), 0u) << user();
        folders.push_back(user());
        // Every earlier preview is still whole: a later one never takes its files.
        for (const std::string& folder : folders)
            EXPECT_TRUE(exists(folder + "function.js") && exists(folder + "Template.htm")) << i << " " << folder;
        // Shelved in turn, a second apart.
        fs::last_write_time(user(), fs::file_time_type::clock::now() - std::chrono::seconds(100 - i));
    }
    ASSERT_TRUE(preview());
    ASSERT_TRUE(preview());
    // The oldest two went as the two newer ones arrived.
    EXPECT_FALSE(exists(folders[0]));
    EXPECT_FALSE(exists(folders[1]));
    for (std::size_t i = 2; i < folders.size(); ++i)
        EXPECT_TRUE(exists(folders[i] + "Template.htm")) << folders[i];
    EXPECT_TRUE(exists(user() + "Template.htm"));
    EXPECT_EQ(readFile(shelf + "old.htm"), "old page");
    EXPECT_EQ(readFile(shelf + "sub/mine.gif"), "x");
    // Published in the run's own temporary folder, and moved from there.
    for (const std::string& name : namesIn(f.installation.tempFolder()))
        EXPECT_NE(name.rfind("_ppt", 0), 0u) << name;
}

TEST_F(PublisherTest, TheLibrarysSharedFilesAreFoundInAnyCase)
{
    buildTree(1, 1);
    const std::string root = f.installation.folder() + "Template/";
    fs::rename(root + "function.js", root + "Function.JS");
    fs::rename(root + "loading.gif", root + "LOADING.GIF");
    ASSERT_TRUE(preview());
    EXPECT_EQ(readFile(user() + "function.js"), "function Start() {}\n");
    EXPECT_EQ(readFile(user() + "loading.gif"), "GIF89a");
}

TEST_F(PublisherTest, PicturesThatCannotBeReadAreReportedOnceAndStayNamed)
{
    buildTree(1, 3);
    const auto slides = f.slides();
    slides[0]->slide()->mediaPath = f.installation.writeFile("pictures/broken.jpg", "not a picture");
    slides[1]->slide()->mediaPath = picture("fine.bmp", 20, 10);
    slides[2]->slide()->mediaPath = f.installation.writeFile("pictures/empty.bmp", "");
    ASSERT_TRUE(preview());
    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_EQ(f.ui.texts().back(), "These pictures cannot be read and are left out of the page:\nbroken.jpg\nempty.jpg");
    const auto lines = PublishFixture::pageInfoLines(page());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[2].find("\"empty.jpg\""), std::string::npos) << lines[2];
    EXPECT_TRUE(exists(user() + "fine.jpg"));
}

TEST_F(PublisherTest, ProjectFilesNeverReplaceTheTemplatesOrThePlayersFiles)
{
    buildTree(1, 3);
    const auto slides = f.slides();
    slides[0]->slide()->mediaPath = f.installation.writeFile("pictures/function.js", "MEDIA");
    slides[1]->slide()->mediaPath = f.installation.writeFile("pictures/LOADING.GIF", "not a picture");
    // A media file named like the data script of the session's talking image.
    const std::string face = finalComponent(f.document.tree().sessions()[0]->session()->talkingImagePath);
    slides[2]->slide()->mediaPath = f.installation.writeFile("pictures/" + face + ".js", "CLIP");
    ASSERT_TRUE(preview());

    EXPECT_EQ(readFile(user() + "function.js"), "function Start() {}\n");
    EXPECT_EQ(readFile(user() + "function_1.js"), "MEDIA");
    EXPECT_EQ(readFile(user() + "loading.gif"), "GIF89a");
    EXPECT_EQ(readFile(user() + face + "_1.js"), "CLIP");
    EXPECT_EQ(readFile(user() + face + ".js").find("CLIP"), std::string::npos);
    const auto lines = PublishFixture::pageInfoLines(page());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("\"function_1.js\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("\"LOADING_1.GIF\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("\"" + face + "_1.js\""), std::string::npos) << lines[2];
}

TEST_F(PublisherTest, FailuresAreReportedAndReturnFalse)
{
    buildTree(1, 1);
    Publisher publisher = f.makePublisher();
    PublishRequest request;

    f.document.settings().resolutionKey = "800";
    EXPECT_FALSE(publisher.PublishProject(request));
    EXPECT_EQ(f.ui.texts().back(), "Resolution information error [800].\nUnable to export template.");
    EXPECT_FALSE(exists(f.document.workingFolder().userFolder() + "function.js"));

    f.document.settings().resolutionKey = "0_1024";
    EXPECT_FALSE(publisher.PublishProject(request));
    const std::string missing = f.installation.folder() + "Template/Style0/L0/1024/Template.htm";
    EXPECT_EQ(f.ui.texts().back(),
              "Open file error.[" + missing + "]\nError: No such file or directory\nUnable to apply template.");

    f.document.settings().resolutionKey = "0_800";
    const std::string source = f.installation.folder() + "Template/Style0/L0/800/Template.htm";
    const std::string blocked = f.installation.root() + "no/such/folder/Template.htm";
    EXPECT_FALSE(publisher.ApplyTemplate(source, blocked, false, std::nullopt, false));
    EXPECT_EQ(f.ui.texts().back(),
              "Open file error.[" + blocked + "]\nError: No such file or directory\nUnable to apply template.");
    EXPECT_EQ(f.ui.shown.size(), 3u);
}

// Files of this process may grow to `bytes` only while it lives: a write
// past that fails with EFBIG instead of ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(PublisherTest, APageThatCannotBeWrittenWholeLeavesThePreviousPage)
{
    buildTree(1, 1);
    Publisher publisher = f.makePublisher();
    const std::string source = f.installation.folder() + "Template/Style0/L0/800/Template.htm";
    const std::string folder = f.installation.root() + "out/";
    fs::create_directories(folder);
    ASSERT_TRUE(publisher.ApplyTemplate(source, folder + "Template.htm", false, std::nullopt, false));
    const std::string previous = readFile(folder + "Template.htm");
    ASSERT_GT(previous.size(), 64u);

    bool applied = true;
    {
        FileSizeLimit limit(64);
        applied = publisher.ApplyTemplate(source, folder + "Template.htm", false, std::nullopt, false);
    }
    EXPECT_FALSE(applied);
    EXPECT_EQ(f.ui.texts().back(), "Open file error.[" + folder + "Template.htm]\nError: File too large\nUnable to apply template.");
    EXPECT_EQ(readFile(folder + "Template.htm"), previous);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().filename().string().find(".saving-"), std::string::npos) << entry.path();
}

TEST_F(PublisherTest, ACopyThatCannotBeWrittenFailsThePageAndKeepsThePreviousOne)
{
    buildTree(1, 2);
    SessionData& session = *f.document.tree().sessions().front()->session();
    SlideData& slide = *f.slides()[1]->slide();
    const std::string small = session.talkingMessagePath;
    const std::string large = f.installation.writeFile("files/large.bin", std::string(8192, 'x'));
    const std::string source = f.installation.folder() + "Template/Style0/L0/800/Template.htm";
    const std::string work = f.document.systemTempFolder() + "orgTps.tps";
    // A fresh folder for each case: a file already there keeps its name.
    const std::string folder = f.installation.root() + "out/";
    const struct {
        const char* what;
        std::string message, media;
        int saveError;
        std::string names; // empty: published
        const char* error;
    } cases[] = {
        {"a message larger than the disk allows", large, "", 0, work, "File too large"},
        {"a message that cannot be re-encoded", small, "", ENOSPC, work, "No space left on device"},
        {"a clip larger than the disk allows", small, f.installation.writeFile("files/clip.swf", std::string(8192, 'c')),
         0, folder + "clip.swf", "File too large"},
        {"a clip that is not there is passed over", small, f.installation.root() + "files/gone.swf", 0, "", ""},
    };
    for (const auto& c : cases) {
        fs::remove_all(folder);
        session.talkingMessagePath = c.message;
        slide.mediaPath = c.media;
        f.exporter.saveError = c.saveError;
        f.installation.writeFile("out/Template.htm", "previous");
        Publisher publisher = f.makePublisher();
        const std::size_t shown = f.ui.shown.size();
        bool applied = false;
        {
            FileSizeLimit limit(4096);
            applied = publisher.ApplyTemplate(source, folder + "Template.htm", false, std::nullopt, false);
        }
        EXPECT_FALSE(exists(work)) << c.what;
        if (c.names.empty()) {
            EXPECT_TRUE(applied) << c.what;
            EXPECT_EQ(f.ui.shown.size(), shown) << c.what;
            continue;
        }
        EXPECT_FALSE(applied) << c.what;
        ASSERT_EQ(f.ui.shown.size(), shown + 1) << c.what;
        EXPECT_EQ(f.ui.texts().back(),
                  "Open file error.[" + c.names + "]\nError: " + c.error + "\nUnable to apply template.")
            << c.what;
        EXPECT_EQ(readFile(folder + "Template.htm"), "previous") << c.what;
    }
}

TEST_F(PublisherTest, ProgressCountsTheFilesAndStopsPublishingWithoutAMessage)
{
    buildTree(1, 3);
    for (TreeItem* slide : f.slides())
        slide->slide()->mediaPath = picture(slide->slide()->subTopic + ".bmp", 40, 30);
    std::vector<std::pair<std::size_t, std::size_t>> seen;
    PublishContext context{f.document, f.library, f.layers, f.exporter};
    context.progress = [&](std::size_t done, std::size_t total) {
        seen.emplace_back(done, total);
        return true;
    };
    PublishRequest request;
    request.preview = true;
    ASSERT_TRUE(Publisher(context).PublishProject(request));
    ASSERT_GE(seen.size(), 4u); // three pictures, a message and a talking image at least
    EXPECT_EQ(seen.front().first, 0u);
    EXPECT_EQ(seen.back().first, seen.back().second);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].first, i);

    // Stopped after the second file: no page, no message, no folder left.
    const auto before = filesUnder(f.document.workingFolder().userFolder());
    context.progress = [](std::size_t done, std::size_t) { return done < 2; };
    Publisher stopped(context);
    EXPECT_FALSE(stopped.PublishProject(request));
    EXPECT_TRUE(stopped.publishedPage().empty());
    EXPECT_TRUE(f.ui.shown.empty()) << f.ui.texts().front();
    EXPECT_EQ(filesUnder(f.document.workingFolder().userFolder()), before);
    for (const auto& entry : fs::directory_iterator(f.document.systemTempFolder()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("_ppt")) << entry.path();
}

TEST_F(PublisherTest, APageOrDataScriptPlantedAsALinkIsReplacedNotWrittenThrough)
{
    buildTree(1, 1);
    const std::string source = f.installation.folder() + "Template/Style0/L0/800/Template.htm";
    const std::string folder = f.installation.root() + "out/";
    const std::string outside = f.installation.writeFile("outside.htm", "keep");
    fs::create_directories(folder);
    fs::create_symlink(outside, folder + "Template.htm");
    Publisher publisher = f.makePublisher();
    ASSERT_TRUE(publisher.ApplyTemplate(source, folder + "Template.htm", false, std::nullopt, false));
    EXPECT_EQ(readFile(outside), "keep");
    EXPECT_FALSE(fs::is_symlink(folder + "Template.htm"));
    EXPECT_NE(readFile(folder + "Template.htm").find("AppendPageInfo("), std::string::npos);
}

TEST_F(PublisherTest, PublishingFailsWhenTheTemplatesFilesCannotBeCopied)
{
    buildTree(1, 1);
    f.installation.writeFile("install/Template/Style0/L0/800/images/large.gif", std::string(8192, 'g'));
    bool published = true;
    {
        FileSizeLimit limit(4096);
        published = preview();
    }
    EXPECT_FALSE(published);
    ASSERT_EQ(f.ui.shown.size(), 1u);
    EXPECT_NE(f.ui.texts().back().find("\nError: File too large\nUnable to apply template."), std::string::npos)
        << f.ui.texts().back();
    // The folder it was published into is gone.
    for (const std::string& name : namesIn(f.document.systemTempFolder()))
        EXPECT_NE(name.rfind("_ppt", 0), 0u) << name;
}

TEST(PublisherBoundsTest, ATemplateThatWouldGrowAHugePageIsRefusedWithAMessage)
{
    std::string markers;
    for (int i = 0; i < 100000; ++i)
        markers += "%INIT";
    PublishFixture f(markers);
    TreeItem* session = f.document.tree().sessions().front();
    TreeItem* slide = session->childCount() ? session->child(0) : f.operations.AddSlide(nullptr, "Slide", *session, "");
    slide->slide()->description = std::string(200, 'd');
    Publisher publisher = f.makePublisher();
    PublishRequest request;
    request.preview = true;
    EXPECT_FALSE(publisher.PublishProject(request));
    ASSERT_EQ(f.ui.shown.size(), 1u);
    const std::string text = f.ui.texts().back();
    EXPECT_EQ(text.rfind("The page template repeats its markers so often that the page would take ", 0), 0u) << text;
    EXPECT_NE(text.find("Template/Style0/L0/800/Template.htm]\nUnable to apply template."), std::string::npos) << text;
    const std::string shelf = f.document.workingFolder().userFolder();
    EXPECT_TRUE(!fs::exists(shelf) || namesIn(shelf).empty());
}

TEST_F(PublisherTest, FittingOnManyThreadsGivesTheSameFilesAsOneAfterTheOther)
{
    buildTree(2, 4);
    const auto slides = f.slides();
    // Six pictures, one used twice, and a pair whose fitted copies share the
    // name s_same.jpg: the later one must win, as it would one at a time.
    const std::string folder = f.installation.root() + "pictures/";
    fs::create_directories(folder);
    writeBmp(folder + "same.bmp", 700, 300, 40);
    writeBmp(folder + "p1.bmp", 800, 900, 80);
    writeBmp(folder + "p2.bmp", 300, 200, 120);
    writeBmp(folder + "p3.bmp", 1200, 400, 160);
    std::string sameJpeg;
    ASSERT_TRUE(FitPicture(folder + "p3.bmp", 2000, 2000, 50, sameJpeg));
    fs::rename(sameJpeg, folder + "same.jpg");
    const char* media[] = {"p1.bmp", "same.bmp", "p2.bmp", "p1.bmp", "same.jpg", "p3.bmp", "", "p2.bmp"};
    for (std::size_t i = 0; i < slides.size(); ++i)
        slides[i]->slide()->mediaPath = *media[i] ? folder + media[i] : "";

    std::map<unsigned, std::map<std::string, std::string>> published;
    for (unsigned workers : {1u, 4u}) {
        std::string destination;
        Publisher publisher = f.makePublisher(workers);
        PublishRequest request;
        request.destination = &destination;
        ASSERT_TRUE(publisher.PublishProject(request));
        published[workers] = filesUnder(destination);
        f.clock.ticks += 1;
    }
    EXPECT_EQ(published[1], published[4]);
    EXPECT_EQ(published[1].count("same.jpg"), 1u);
}

TEST(UniqueTempFolderTest, NamesAreTakenInTurnAndOnlySuchFoldersAreDeleted)
{
    TestInstallation installation(false);
    FixedClock clock;
    clock.ticks = 0x1fffe;
    fs::create_directories(installation.tempFolder() + "_pptfffe");
    std::ofstream(installation.tempFolder() + "_pptffff") << "a file takes the name too";
    const std::string folder = makeUniqueTempFolder(installation.tempFolder(), clock);
    EXPECT_EQ(folder, installation.tempFolder() + "_ppt0/"); // wrapped past ffff
    EXPECT_TRUE(fs::is_directory(folder));

    std::ofstream(folder + "page.htm") << "x";
    EXPECT_FALSE(deleteUniqueTempFolder(installation.tempFolder(), installation.tempFolder()));
    EXPECT_FALSE(deleteUniqueTempFolder(installation.root(), installation.tempFolder()));
    EXPECT_TRUE(deleteUniqueTempFolder(folder, installation.tempFolder()));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fs::exists(installation.tempFolder()));
}

} // namespace
} // namespace pavonia::test
