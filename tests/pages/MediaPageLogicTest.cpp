#include "pages/MediaPageLogic.h"
#include "pages/SlideStrip.h"

#include "TestProject.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/StylePageLogic.h"
#include "templates/TemplateLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {

namespace fs = std::filesystem;

struct RecordingShell final : Shell {
    bool open(const std::string& target) override
    {
        opened.push_back(target);
        return succeed;
    }
    std::vector<std::string> opened;
    bool succeed = true;
};

class MediaPageLogicTest : public ::testing::Test, protected test::TestProject {
protected:
    MediaPageLogicTest() : library(inst.folder(), ui), logic(document, library, layers, shell) {}

    void SetUp() override
    {
        operations.createView();
        ASSERT_TRUE(logic.initialise());
        slideItem = document.tree().root().child(0)->child(0);
        logic.showSlide(slideItem);
        document.setDirty(false);
        ui.shown.clear();
    }

    SlideData& slide() { return *slideItem->slide(); }
    std::string file(const std::string& name) { return inst.writeFile("media/" + name, "bytes of " + name); }
    const FileRef* refOf(const std::string& copy)
    {
        const auto index = document.settings().fileRefs.find(copy);
        return index ? &document.settings().fileRefs[*index] : nullptr;
    }

    TemplateLibrary library;
    LayoutLayers layers;
    RecordingShell shell;
    MediaPageLogic logic;
    TreeItem* slideItem = nullptr;
};

TEST_F(MediaPageLogicTest, TextsAreStoredInTheSlideAtEveryEdit)
{
    logic.editSubTopic("Harbour at dawn");
    EXPECT_EQ(slide().subTopic, "Harbour at dawn");
    EXPECT_EQ(slideItem->text(), "Harbour at dawn");
    EXPECT_EQ(slide().hasContent, 1);
    EXPECT_TRUE(document.dirty());

    const std::string label = slideItem->text();
    logic.editDescription("Boats <b>leave</b>");
    EXPECT_EQ(slide().description, "Boats <b>leave</b>");
    EXPECT_EQ(slideItem->text(), label) << "the description is not the label";

    // Nothing typed is lost when another slide is shown and this one again.
    TreeItem* other = operations.AddSlide(slideItem, "other", *slideItem->parent(), {});
    logic.showSlide(other);
    EXPECT_EQ(logic.subTopic(), other->slide()->subTopic);
    logic.showSlide(slideItem);
    EXPECT_EQ(logic.subTopic(), "Harbour at dawn");
    EXPECT_EQ(logic.description(), "Boats <b>leave</b>");
}

TEST_F(MediaPageLogicTest, DelayFieldChecksEveryEdit)
{
    logic.editDelay("12.5");
    EXPECT_FLOAT_EQ(slide().delay, 12.5f);
    struct Case {
        const char* typed;
        const char* shown;
        bool message;
    } cases[] = {
        {"300.5", "12.5", true},  // over 300: refused with the message
        {"-4", "12.5", false},    // a sign is no digit: the previous value
        {"1.2.3", "12.5", false}, // two points
        {"abc", "12.5", false},
        {".", "12.5", false},     // no number yet
        {"300", "300", false},
    };
    for (const Case& c : cases) {
        ui.shown.clear();
        logic.editDelay(c.typed);
        EXPECT_EQ(logic.delayText(), c.shown) << c.typed;
        EXPECT_EQ(ui.shown.size(), c.message ? 1u : 0u) << c.typed;
    }
    EXPECT_EQ(ui.texts(), std::vector<std::string>{});
    EXPECT_FLOAT_EQ(slide().delay, 300.0f);
    logic.editDelay("300.5");
    ASSERT_EQ(ui.texts().size(), 1u);
    EXPECT_EQ(ui.texts()[0], "The maximum delay time setting is 300 seconds.");
    EXPECT_FLOAT_EQ(slide().delay, 300.0f);

    // An emptied field shows the stored default delay once left, and the
    // slide takes it.
    logic.editDelay("");
    EXPECT_EQ(logic.delayText(), "");
    logic.leaveDelay();
    EXPECT_EQ(logic.delayText(), DelayField::format(document.preferences().delay()));
    EXPECT_FLOAT_EQ(slide().delay, float(document.preferences().delay()));
}

TEST_F(MediaPageLogicTest, TransitionListFollowsTheKindOfMedia)
{
    const int count = int(logic.transitions().size());
    ASSERT_GT(count, 3);
    // Without media the slide's value + 1 is the position, held to the list.
    for (const auto& [value, position] : std::vector<std::pair<int, int>>{{-1, 0}, {1, 2}, {-7, 0}, {999, count - 1}}) {
        slide().transition = value;
        logic.showSlide(slideItem);
        EXPECT_EQ(logic.selectedTransition(), position) << value;
        EXPECT_TRUE(logic.transitionEnabled());
    }
    logic.selectTransition(3);
    EXPECT_EQ(slide().transition, logic.transitions()[3].value);

    // A clip: the first entry, disabled; a picture afterwards enables it again.
    ASSERT_TRUE(logic.takeMedia(file("clip.WMV")));
    EXPECT_FALSE(logic.transitionEnabled());
    EXPECT_EQ(logic.selectedTransition(), 0);
    EXPECT_EQ(logic.previewPicture(), inst.folder() + "wmv_logo.bmp");
    EXPECT_EQ(document.lastImportKind, slot::MediaClip);
    EXPECT_EQ(logic.mediaDialogOptions().initialFilter, 2);

    ASSERT_TRUE(logic.takeMedia(file("photo.jpg")));
    EXPECT_TRUE(logic.transitionEnabled());
    EXPECT_EQ(logic.previewPicture(), slide().mediaPath);
    EXPECT_EQ(logic.mediaDialogOptions().initialFilter, 1);

    // A picture shows the entry whose value is the slide's transition.
    slide().transition = logic.transitions()[2].value;
    logic.showSlide(slideItem);
    EXPECT_EQ(logic.selectedTransition(), 2);

    // The layout's media area switches Import, the list and the preview off.
    layers.effect = 0;
    EXPECT_FALSE(logic.mediaEnabled());
    EXPECT_FALSE(logic.transitionEnabled());
}

TEST_F(MediaPageLogicTest, PreviewsOfEveryKindOfMedia)
{
    const std::string home = inst.folder();
    struct Case {
        std::string media;
        std::string preview;
    } cases[] = {
        {"", ""},
        {file("a.gif"), "itself"},
        {home + "gone.jpg", ""}, // a missing picture shows nothing
        {"/x/a.swf", home + "swf_logo.bmp"},
        {"/x/a.Wmv", home + "wmv_logo.bmp"},
        {"/x/a.rm", home + "rm_logo.bmp"},
        {"/x/a.ram", home + "rm_logo.bmp"},
        {"/x/a.mp4", home + "mp4_logo.bmp"},
        {"/x/a.webm", home + "webm_logo.bmp"},
        {"/x/a.txt", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mediaPreviewPicture(c.media, home), c.preview == "itself" ? c.media : c.preview) << c.media;
    for (const char* placeholder : {"swf_logo.bmp", "wmv_logo.bmp", "rm_logo.bmp", "mp4_logo.bmp", "webm_logo.bmp"})
        EXPECT_TRUE(fs::exists(home + placeholder)) << placeholder << " is part of the installation";
}

TEST_F(MediaPageLogicTest, TheVoicePagesStripShowsTheKindsThePreviewShows)
{
    // The strip hands every picture to the image cache, which says itself
    // when one cannot be read: a missing picture keeps its path there.
    const std::string home = inst.folder();
    std::vector<SlideData> slides(5);
    slides[0].mediaPath = "/x/a.PNG";
    slides[1].mediaPath = "/x/a.jpeg";
    slides[2].mediaPath = "/x/a.mp4";
    slides[3].mediaPath = "/x/a.webm";
    slides[4].mediaPath = "/x/a.txt";
    std::vector<SlideData*> pointers;
    for (SlideData& slide : slides)
        pointers.push_back(&slide);
    SlideStrip strip;
    strip.load(pointers, home);
    EXPECT_EQ(strip.pictures(), (std::vector<std::string>{"/x/a.PNG", "/x/a.jpeg", home + "mp4_logo.bmp",
                                                          home + "webm_logo.bmp", ""}));
}

TEST_F(MediaPageLogicTest, ChoosingMediaSharesWorkingCopiesBySource)
{
    const std::string source = file("shared.jpg");
    TreeItem* second = operations.AddSlide(slideItem, "second", *slideItem->parent(), {});
    ASSERT_TRUE(logic.takeMedia(source));
    logic.showSlide(second);
    ASSERT_TRUE(logic.takeMedia(source));

    const std::string copy = slide().mediaPath;
    EXPECT_EQ(second->slide()->mediaPath, copy);
    EXPECT_EQ(second->slide()->mediaSourcePath, source);
    ASSERT_NE(refOf(copy), nullptr);
    EXPECT_EQ(refOf(copy)->refCount, 2);
    EXPECT_EQ(second->slide()->hasContent, 1);
    EXPECT_TRUE(document.dirty());
    EXPECT_EQ(logic.mediaName(), fs::path(copy).filename().string());
    EXPECT_EQ(logic.mediaFolder() + logic.mediaName(), copy);

    // Replacing the media of one lowers the count to 1 and keeps the file.
    ASSERT_TRUE(logic.takeMedia(file("other.gif")));
    ASSERT_NE(refOf(copy), nullptr);
    EXPECT_EQ(refOf(copy)->refCount, 1);
    EXPECT_TRUE(fs::exists(copy));

    // Choosing a slide's own media again keeps its file.
    logic.showSlide(slideItem);
    ASSERT_TRUE(logic.takeMedia(copy));
    EXPECT_EQ(slide().mediaPath, copy);
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(refOf(copy)->refCount, 1);
}

TEST_F(MediaPageLogicTest, UnsupportedOrUncopiableFilesChangeNothing)
{
    ASSERT_TRUE(logic.takeMedia(file("kept.jpg")));
    const SlideData before = slide();
    document.setDirty(false);
    const std::string notes = file("notes.txt");
    for (const std::string& path : {notes, file("noextension"), file("movie.avi")}) {
        ui.shown.clear();
        EXPECT_FALSE(logic.takeMedia(path)) << path;
        ASSERT_EQ(ui.texts().size(), 1u);
        EXPECT_EQ(ui.texts()[0], StringTable::format(str::UnsupportedFileFormat, {path}));
    }
    ui.shown.clear();
    EXPECT_FALSE(logic.takeMedia(inst.root() + "media/missing.jpg"));
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(slide().mediaPath, before.mediaPath);
    EXPECT_EQ(refOf(before.mediaPath)->refCount, 1);
    EXPECT_FALSE(document.dirty());
}

TEST_F(MediaPageLogicTest, TheMediaDialogOpensInTheRememberedFolderWithTheWidenedFilter)
{
    ui.openAnswers.push_back(std::vector<std::string>{file("dialog.bmp")});
    logic.chooseMedia();
    EXPECT_EQ(ui.lastDialog.filter, StringTable::text(str::MediaFileFilter));
    EXPECT_TRUE(ui.lastDialog.mustExist);
    EXPECT_EQ(extensionOf(slide().mediaPath), "bmp");
    EXPECT_EQ(document.folderMemory().get(slot::MediaPicture), inst.root() + "media/");
    for (const char* ext : {".gif", ".jpg", ".bmp", ".swf", ".wmv", ".rm", ".mp4", ".webm"})
        EXPECT_NE(ui.lastDialog.filter.find(ext), std::string::npos) << ext;

    logic.chooseMedia(); // cancelled: nothing changes
    EXPECT_EQ(extensionOf(slide().mediaPath), "bmp");
}

TEST_F(MediaPageLogicTest, OpeningTheMediaUsesTheShellAndReportsFailure)
{
    logic.openMedia();
    EXPECT_TRUE(shell.opened.empty()) << "no media, nothing to open";
    ASSERT_TRUE(logic.takeMedia(file("open.gif")));
    logic.openMedia();
    EXPECT_EQ(shell.opened, std::vector<std::string>{slide().mediaPath});
    shell.succeed = false;
    logic.openMedia();
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Open Media file error. (" + slide().mediaPath + ")"});
}

TEST(CleanUrl, TrimsQuotesSchemeSlashesAndBlanks)
{
    struct Case {
        const char* typed;
        const char* cleaned;
    } cases[] = {
        {"  www.example.com/my page  ", "http://www.example.com/my%20page"},
        {"HTTP://Example.com", "HTTP://Example.com"},
        {"\"http://a.b/'x'\"", "http://a.b/x"},
        {"a.b\\c\\d e", "http://a.b/c/d%20e"},
        {"https://secure.example", "http://https://secure.example"}, // only "http://" counts as a scheme
        {"", "http://"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cleanUrl(c.typed), c.cleaned) << c.typed;
}

TEST_F(MediaPageLogicTest, AUrlBecomesAnInlineFrameOverTheDescriptionArea)
{
    const LayerRect area = DescriptionAreaRect(library, document.settings(), ui);
    ui.shown.clear();
    logic.applyUrl("example.com/a b");
    EXPECT_TRUE(ui.shown.empty()) << "an empty description is replaced without asking";
    const std::string frame = urlFrameDescription("http://example.com/a%20b", area);
    EXPECT_EQ(slide().description, frame);
    EXPECT_EQ(frame, "<IFRAME ID=IFrame1 FRAMEBORDER=0 SCROLLING=Yes style='left:" + std::to_string(area.left) +
                         "; top:" + std::to_string(area.top) + "; height:" + std::to_string(area.height) +
                         "; width:" + std::to_string(area.width) + ";' SRC='http://example.com/a%20b'></IFRAME>");

    // Replacing a description asks first; Cancel keeps it.
    ui.answers.push_back(Answer::Cancel);
    logic.applyUrl("other.org");
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Continue to replace all description string?"});
    EXPECT_EQ(slide().description, frame);
    logic.applyUrl("other.org");
    EXPECT_EQ(slide().description, urlFrameDescription("http://other.org", area));

    logic.openUrl(" 'docs.org' ");
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://docs.org"});
}

TEST(MediaPageCatalogue, AMissingCatalogueIsReportedAndLeavesAnEmptyList)
{
    test::TestProject project(false);
    TemplateLibrary library(project.inst.folder(), project.ui);
    LayoutLayers layers;
    RecordingShell shell;
    MediaPageLogic logic(project.document, library, layers, shell);
    EXPECT_FALSE(logic.initialise());
    ASSERT_EQ(project.ui.texts().size(), 1u);
    EXPECT_NE(project.ui.texts()[0].find("Ini file lost. ("), std::string::npos);
    EXPECT_TRUE(logic.transitions().empty());
}

} // namespace
} // namespace pavonia
