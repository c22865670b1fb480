// Slide decks through the office program: made by the tests (SlideDecks.h),
// converted for real. Each conversion takes seconds, so the cases share the
// converted decks and stay few.
#include "import/MediaImport.h"
#include "import/ReadJpeg.h"
#include "import/SlideDeckConverter.h"

#include "ImportFixture.h"
#include "SlideDecks.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pavonia::test {
namespace {

namespace fs = std::filesystem;

// Whether a process whose command line mentions `text` is running.
bool processMentioning(const std::string& text)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

std::vector<std::string> entriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    return names;
}

class SlideDeckImportTest : public ImportFixture {
protected:
    void SetUp() override
    {
        if (!officeAvailable())
            GTEST_SKIP() << "soffice and pdftoppm are not installed";
        ImportFixture::SetUp();
        // The office program must leave the user's home alone.
        home = inst.root() + "home";
        fs::create_directories(home);
        savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", home.c_str(), 1);
    }
    void TearDown() override
    {
        if (!home.empty()) {
            EXPECT_EQ(entriesOf(home), std::vector<std::string>{});
            ::setenv("HOME", savedHome.c_str(), 1);
        }
        // No unique temporary folder is left behind.
        for (const std::string& name : entriesOf(inst.tempFolder()))
            EXPECT_NE(name.rfind("_ppt", 0), 0u) << name;
    }

    MediaImport::Outcome importDeck(const std::string& deck, int type = 0)
    {
        ops.selectionChanged(tree().root().child(0));
        return media.importFiles({deck}, type);
    }

    // The colour in the lower middle of a slide's picture, away from its number.
    Colour colourOf(const TreeItem& slide)
    {
        const auto picture = ReadJpeg(slide.slide()->mediaPath);
        if (!picture)
            return {-1, -1, -1};
        const std::size_t at = (std::size_t(picture->height * 9 / 10) * std::size_t(picture->width) +
                                std::size_t(picture->width / 2)) * 3;
        return {picture->rows[at], picture->rows[at + 1], picture->rows[at + 2]};
    }

    std::string home, savedHome;
    LibreOfficeConverter converter{120};
    MediaImport media{document, ops, converter};
};

TEST_F(SlideDeckImportTest, TwelveSlidesComeInDeckOrderFromBothFormats)
{
    for (const char* format : {"pptx", "ppt"}) {
        SCOPED_TRACE(format);
        const auto deck = convertedDeck(12, format);
        ASSERT_TRUE(deck);
        ops.createView();
        ui.shown.clear();
        const auto outcome = importDeck(*deck);
        EXPECT_TRUE(ui.shown.empty()) << ui.texts().front();
        EXPECT_EQ(outcome.added, 12);
        TreeItem& session = *tree().root().child(0);
        ASSERT_EQ(session.childCount(), 12u);
        for (std::size_t i = 0; i < 12; ++i) {
            const TreeItem& slide = *session.child(i);
            // Slide 10 is Slide10.jpg, found by its name.
            EXPECT_EQ(slide.text(), "Slide" + std::to_string(i + 1));
            const Colour c = colourOf(slide);
            EXPECT_TRUE(closeTo(c, slideColour(int(i) + 1)))
                << "slide " << i + 1 << ": " << c.r << "," << c.g << "," << c.b;
        }
        const PictureInfo info = inspectPicture(session.child(0)->slide()->mediaPath);
        EXPECT_EQ(info.width, 720u);
        EXPECT_EQ(info.height, 540u);
        EXPECT_EQ(document.lastImportKind, slot::PowerPoint);
    }
}

TEST_F(SlideDeckImportTest, DeckMeetingTheSlideLimitAddsWhatFitsWithOneMessage)
{
    const auto deck = convertedDeck(12, "pptx");
    ASSERT_TRUE(deck);
    fillSlides(250);
    const auto outcome = importDeck(*deck);
    EXPECT_EQ(outcome.added, 6);
    EXPECT_EQ(tree().slideCount(), 256);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::SlideLimitReached)});
    EXPECT_EQ(tree().root().child(0)->children().back()->text(), "Slide6");
    EXPECT_TRUE(closeTo(colourOf(*tree().root().child(0)->children().back()), slideColour(6)));
}

TEST_F(SlideDeckImportTest, DeckOfThreeHundredSlidesFillsTheProject)
{
    // Flat XML under the OpenDocument extension: the office program looks at
    // the content.
    const std::string deck = inst.root() + "long.odp";
    writeText(deck, flatPresentation(300));
    std::vector<std::pair<int, int>> told;
    converter.setPicturesDone([&](int done, int total) { told.emplace_back(done, total); });
    const auto outcome = importDeck(deck, 1);
    EXPECT_EQ(outcome.added, 256);
    // How many pictures are written is told as they come, of the 256 asked.
    ASSERT_FALSE(told.empty());
    for (std::size_t i = 0; i < told.size(); ++i) {
        EXPECT_EQ(told[i].second, 256);
        EXPECT_LE(told[i].first, 256);
        if (i > 0)
            EXPECT_GE(told[i].first, told[i - 1].first);
    }
    EXPECT_EQ(tree().slideCount(), 256);
    EXPECT_EQ(tree().sessions().size(), 256u);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::SlideLimitReached)});
    EXPECT_EQ(tree().sessions().back()->child(0)->text(), "Slide256");
}

TEST_F(SlideDeckImportTest, DecksThatCannotBeOpenedAddNoSlides)
{
    const std::string damaged = inst.writeFile("decks/damaged.pptx", "PK\x03\x04 this is no presentation");
    const std::string empty = inst.writeFile("decks/empty.ppt", "");
    const std::string locked = inst.writeFile("decks/locked.odp", passwordProtectedPresentation());
    for (const std::string& deck : {damaged, empty, locked}) {
        SCOPED_TRACE(deck);
        ui.shown.clear();
        const auto outcome = importDeck(deck);
        EXPECT_EQ(outcome.added, 0);
        EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::format(str::PresentationOpenFailed, {deck})});
        EXPECT_EQ(shape(), "Session 1[]");
    }
}

TEST_F(SlideDeckImportTest, ConversionPastTheTimeLimitIsStoppedWithNothingLeftRunning)
{
    const std::string deck = inst.root() + "long.odp";
    writeText(deck, flatPresentation(300));
    LibreOfficeConverter hurried(1);
    MediaImport quick(document, ops, hurried);
    ops.selectionChanged(tree().root().child(0));
    const auto outcome = quick.importFiles({deck}, 0);
    EXPECT_EQ(outcome.added, 0);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::format(str::PresentationTimedOut, {"1", deck})});
    EXPECT_FALSE(processMentioning(inst.tempFolder() + "_ppt"));
}

TEST_F(SlideDeckImportTest, AKeptProfileServesOneConversionAtATime)
{
    const auto deck = convertedDeck(2, "pptx");
    ASSERT_TRUE(deck);
    const std::string kept = inst.root() + "kept/";
    converter.setKeptProfile(kept);
    const std::string first = inst.root() + "first/";
    fs::create_directories(first);
    EXPECT_EQ(converter.convert(*deck, first, 10).status, DeckConversion::Status::Ok);
    EXPECT_FALSE(fs::exists(first + "profile"));
    EXPECT_TRUE(fs::is_directory(kept + "user"));

    // While another conversion holds it, one makes its own profile.
    const int held = ::open((kept + "pavonia-in-use.lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const std::string second = inst.root() + "second/";
    fs::create_directories(second);
    EXPECT_EQ(converter.convert(*deck, second, 10).status, DeckConversion::Status::Ok);
    EXPECT_TRUE(fs::is_directory(second + "profile"));
    ::close(held);

    // A conversion stopped part-way may leave the profile half set up: it
    // goes, and the next conversion sets up a fresh one.
    converter.setKeepGoing([] { return false; });
    const std::string third = inst.root() + "third/";
    fs::create_directories(third);
    EXPECT_EQ(converter.convert(*deck, third, 10).status, DeckConversion::Status::Cancelled);
    EXPECT_EQ(entriesOf(kept), std::vector<std::string>{"pavonia-in-use.lock"});
}

TEST(SlideDeckConverterTest, MissingOfficeProgramIsNotAvailable)
{
    LibreOfficeConverter absent(5, {"/nonexistent/soffice", "pdftoppm", "pdfinfo"});
    EXPECT_FALSE(absent.available());
    EXPECT_EQ(fileUrl("/tmp/a b/#%é"), "file:///tmp/a%20b/%23%25%C3%A9");
}

} // namespace
} // namespace pavonia::test
