// pavonia-cli import, run as a user would run it.
#include "CliProjectTest.h"
#include "PictureFiles.h"
#include "SlideDecks.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

namespace fs = std::filesystem;
using namespace pavonia::test;

namespace {

class ImportCliTest : public CliProjectTest {
protected:
    ImportCliTest() : CliProjectTest("p.pvp") {}
    // The slide labels of each session of a project: "Session 1[a,b] ...".
    std::string shape(const std::string& path)
    {
        const CommandRun info = cli("info " + pavonia::test::quoted(path));
        EXPECT_EQ(info.status, 0);
        std::string out;
        const auto json = nlohmann::json::parse(info.out);
        for (const auto& session : json["sessions"]) {
            out += (out.empty() ? "" : " ") + session["label"].get<std::string>() + "[";
            bool first = true;
            for (const auto& slide : session["slides"]) {
                out += (first ? "" : ",") + slide["subTopic"].get<std::string>();
                first = false;
            }
            out += "]";
        }
        return out;
    }
    std::string bmp(const std::string& name)
    {
        const std::string path = inst.root() + "pictures/" + name;
        fs::create_directories(inst.root() + "pictures");
        writeBmp24(path, 16, 12, [](int x, int) { return Rgb8{std::uint8_t(x * 10), 40, 90}; });
        return path;
    }
};

TEST_F(ImportCliTest, PicturesAndADeckBecomeSlidesThatPreviewPublishes)
{
    const std::string pictures = pavonia::test::quoted(bmp("c.bmp")) + " " + pavonia::test::quoted(bmp("a.bmp")) + " " + pavonia::test::quoted(bmp("b.bmp"));
    ASSERT_EQ(cli("import " + pavonia::test::quoted(project) + " " + pictures).status, 0);
    EXPECT_EQ(shape(project), "Session 1[a,b,c]");

    if (!officeAvailable())
        GTEST_SKIP() << "soffice and pdftoppm are not installed";
    const auto deck = convertedDeck(12, "pptx");
    ASSERT_TRUE(deck);
    const std::string out = inst.root() + "out.pvp";
    const CommandRun run = cli("import " + pavonia::test::quoted(project) + " " + pavonia::test::quoted(*deck) + " --mode each --session 1 --out " +
                               pavonia::test::quoted(out), true);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "");
    std::string expected = "Session 1[a,b,c]";
    for (int n = 1; n <= 12; ++n)
        expected += " Session " + std::to_string(n + 1) + "[Slide" + std::to_string(n) + "]";
    EXPECT_EQ(shape(out), expected);
    EXPECT_EQ(shape(project), "Session 1[a,b,c]") << "--out leaves the project alone";

    const CommandRun preview = cli("preview " + pavonia::test::quoted(out));
    ASSERT_EQ(preview.status, 0);
    // Every slide's picture is on the page, the bitmaps published as JPEG.
    const std::string page = readFile(preview.out.substr(0, preview.out.find_last_not_of("\r\n") + 1));
    int onPage = 0;
    for (std::size_t at = page.find(".jpg\""); at != std::string::npos; at = page.find(".jpg\"", at + 1))
        ++onPage;
    EXPECT_EQ(onPage, 15);
}

TEST_F(ImportCliTest, NothingImportableFailsAndLeavesTheProjectAlone)
{
    const std::string before = readFile(project);
    const std::string ram = inst.writeFile("talk.ram", "ram");
    const CommandRun run = cli("import " + pavonia::test::quoted(project) + " " + pavonia::test::quoted(ram), true);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("This file format is unsupport."), std::string::npos);
    EXPECT_EQ(readFile(project), before);

    EXPECT_EQ(cli("import " + pavonia::test::quoted(project) + " " + pavonia::test::quoted(bmp("a.bmp")) + " --session 2").status, 1);
    EXPECT_EQ(cli("import " + pavonia::test::quoted(project)).status, 2);
    EXPECT_EQ(cli("import " + pavonia::test::quoted(project) + " a.bmp --mode both").status, 2);
    EXPECT_EQ(readFile(project), before);
}

TEST_F(ImportCliTest, AProjectReadFromADamagedFileIsNotSavedOverIt)
{
    const std::string bytes = readFile(project);
    const std::string cut = inst.writeFile("cut.pvp", bytes.substr(0, bytes.size() - 200));
    const std::string picture = pavonia::test::quoted(bmp("a.bmp"));
    const CommandRun refused = cli("import " + pavonia::test::quoted(cut) + " " + picture, true);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("saving over that file would make the loss permanent"), std::string::npos)
        << refused.out;
    EXPECT_EQ(readFile(cut), bytes.substr(0, bytes.size() - 200));

    const std::string out = inst.root() + "out.pvp";
    ASSERT_EQ(cli("import " + pavonia::test::quoted(cut) + " " + picture + " --out " + pavonia::test::quoted(out)).status,
              0);
    EXPECT_EQ(shape(out), "Session 1[a]");
}

} // namespace
