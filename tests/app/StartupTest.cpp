// Start-up: the command line, the hand-over between instances, the
// installation checks and how the first project comes about.
#include "app/CommandLine.h"
#include "app/OpenRequest.h"
#include "app/Startup.h"
#include "platform/StringTable.h"

#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <QCoreApplication>
#include <QUuid>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
using test::ScriptedUi;
using test::TestInstallation;

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until `done` is ready.
template <typename T>
T served(std::future<T>& done)
{
    application();
    while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done.get();
}

QString uniqueServerName() { return "pavonia-test-" + QUuid::createUuid().toString(QUuid::Id128).left(12); }

TEST(CommandLine, FirstInstanceCleaning)
{
    const struct {
        const char* line;
        const char* cleaned;
    } cases[] = {
        {"", ""},
        {"\"/home/me/My Talks/Show.pvp\"", "/home/me/My Talks/Show.pvp"},
        // Further arguments after the project are dropped.
        {"\"/home/me/My Talks/Show.PVP\" -extra words", "/home/me/My Talks/Show.PVP"},
        {"/home/me/a.pvp /home/me/b.pvp", "/home/me/a.pvp"},
        // A folder whose name holds ".pvp" does not end the path.
        {"/home/me/old.pvp.d/Show.pvp", "/home/me/old.pvp.d/Show.pvp"},
        // ".pvp" at the very start is no project name.
        {".pvp", ".pvp"},
        {"/home/me/notes.txt", "/home/me/notes.txt"},
        // Only one quote goes at each end.
        {"\"\"x.pvp\"\"", "\"x.pvp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cleanFirstInstanceCommandLine(c.line), c.cleaned) << c.line;
    EXPECT_EQ(cleanSecondInstanceCommandLine("\"/a b/c.pvp\" more"), "/a b/c.pvp\" more");
    EXPECT_EQ(joinedCommandLine({"/a b/c.pvp", "-x"}), "/a b/c.pvp -x");
}

TEST(CommandLine, ProjectPathIsExpandedAndItsExtensionChecked)
{
    TestInstallation place(false);
    const std::string upper = place.writeFile("My Talks/Show.PVP", "x");
    const std::string deck = place.writeFile("My Talks/Deck.ppt", "x");

    const Result<std::string> project = checkedProjectPath(place.root() + "My Talks/../My Talks/./Show.PVP");
    ASSERT_TRUE(project.ok());
    EXPECT_EQ(*project, upper);

    const Result<std::string> refused = checkedProjectPath(deck);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().text(), "Cannot open invalid file!\n( File: " + deck + " )");

    // A file that is not there cannot be expanded: the message names it as given.
    const Result<std::string> missing = checkedProjectPath("/no/such/folder/x.pvp");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.failure().text(), "Cannot open invalid file!\n( File: /no/such/folder/x.pvp )");
}

TEST(OpenRequest, LayoutAndWhatIsHonoured)
{
    const std::vector<std::uint8_t> data = encodeOpenRequest("/a b/c.PVP");
    ASSERT_EQ(data.size(), kOpenRequestSize);
    EXPECT_TRUE(std::equal(kApplicationIdentifier.begin(), kApplicationIdentifier.end(), data.begin()));
    EXPECT_EQ(std::string(data.begin() + 16, data.begin() + 26), "/a b/c.PVP");
    EXPECT_TRUE(std::all_of(data.begin() + 26, data.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(data[0], 0xd8);
    EXPECT_EQ(data[15], 0xe7);

    EXPECT_EQ(decodeOpenRequest(0, data), "/a b/c.PVP");
    EXPECT_EQ(decodeOpenRequest(1, data), std::nullopt);
    std::vector<std::uint8_t> foreign = data;
    foreign[3] ^= 1;
    EXPECT_EQ(decodeOpenRequest(0, foreign), std::nullopt);
    EXPECT_EQ(decodeOpenRequest(0, std::vector<std::uint8_t>(data.begin(), data.begin() + 15)), std::nullopt);
    // Exactly the identifier: an empty path (bring the window to the front).
    EXPECT_EQ(decodeOpenRequest(0, std::vector<std::uint8_t>(data.begin(), data.begin() + 16)), "");

    // A path longer than the request's 259 bytes is carried whole.
    const std::string deep = "/" + std::string(400, 'x') + ".pvp";
    const std::vector<std::uint8_t> longer = encodeOpenRequest(deep);
    EXPECT_EQ(longer.size(), 16 + deep.size() + 1);
    EXPECT_EQ(decodeOpenRequest(0, longer), deep);
}

TEST(InstanceChannel, NameDependsOnUserAndInstallation)
{
    const QString name = instanceServerName("/opt/pavonia/", 1000);
    EXPECT_EQ(name, instanceServerName("/opt/pavonia/", 1000));
    EXPECT_NE(name, instanceServerName("/opt/pavonia/", 1001));
    EXPECT_NE(name, instanceServerName("/usr/lib/pavonia/", 1000));
    EXPECT_LT(name.size(), 40);
}

// The first instance's window, recording what start-up asks of it.
class FakeWindow final : public StartupWindow {
public:
    void restoreAndRaise() override { ++raised; }
    void showWindow() override { shown = true; }
    bool openProjectFile(const std::string& path) override
    {
        opened.push_back(path);
        return openSucceeds;
    }
    bool runStartupDialogFlow(bool& lost) override
    {
        ++dialogRuns;
        lost = dialogLostLayout;
        return dialogSucceeds;
    }
    bool readLayoutSettings() override
    {
        ++layoutReads;
        return layoutFileThere;
    }

    int raised = 0;
    bool shown = false;
    std::vector<std::string> opened;
    bool openSucceeds = true;
    int dialogRuns = 0;
    bool dialogSucceeds = true;
    bool dialogLostLayout = false;
    int layoutReads = 0;
    bool layoutFileThere = true;
};

class HandOver : public ::testing::Test {
protected:
    HandOver() : name(uniqueServerName()), first(install.folder(), {}, firstUi, name)
    {
        application();
        EXPECT_TRUE(first.becomeFirstInstance());
        EXPECT_TRUE(first.start(window));
    }

    // A second start with `arguments`, run in a thread of its own as a
    // second process would; returns its exit code.
    int secondStart(std::vector<std::string> arguments)
    {
        std::future<int> done = std::async(std::launch::async, [&] {
            Startup second(install.folder(), arguments, secondUi, name);
            if (second.becomeFirstInstance())
                return -1;
            return second.handOver();
        });
        return served(done);
    }

    TestInstallation install{false};
    QString name;
    ScriptedUi firstUi;
    ScriptedUi secondUi;
    FakeWindow window;
    Startup first;
};

TEST_F(HandOver, QuotedPathWithBlanksAndUpperCaseExtension)
{
    const std::string project = install.writeFile("My Talks/Quarter Review.PVP", "x");
    EXPECT_EQ(secondStart({"\"" + project + "\""}), 0);
    EXPECT_EQ(window.opened, std::vector<std::string>{project});
    EXPECT_EQ(window.raised, 2); // once for coming to the front, once with the file
    EXPECT_TRUE(secondUi.shown.empty());

    // The answer carries the open result.
    window.openSucceeds = false;
    EXPECT_EQ(secondStart({project}), 1);
    EXPECT_EQ(window.opened.size(), 2u);
}

TEST_F(HandOver, ForeignFileIsRefusedInTheSecondProcess)
{
    const std::string deck = install.writeFile("Deck.ppt", "x");
    EXPECT_EQ(secondStart({deck}), 1);
    EXPECT_EQ(secondUi.texts(), std::vector<std::string>{"Cannot open invalid file!\n( File: " + deck + " )"});
    EXPECT_EQ(secondUi.shown[0].caption, "Pavonia");
    EXPECT_TRUE(window.opened.empty()); // the first project is untouched
    EXPECT_EQ(window.raised, 1);
    EXPECT_TRUE(firstUi.shown.empty());
}

TEST_F(HandOver, SecondStartWithoutFileOnlyBringsTheWindowForward)
{
    EXPECT_EQ(secondStart({}), 0);
    EXPECT_EQ(window.raised, 1);
    EXPECT_TRUE(window.opened.empty());
}

TEST(InstanceServer, RequestsWaitForTheWindowAndForeignDataIsNotHonoured)
{
    application();
    const QString name = uniqueServerName();
    InstanceServer server(name);
    ASSERT_TRUE(server.claim());
    // A second claim on the same name finds the first listening.
    InstanceServer other(name);
    EXPECT_FALSE(other.claim());

    std::future<std::optional<bool>> early = std::async(std::launch::async, [&] { return sendOpenRequest(name, "/x.pvp"); });
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_NE(early.wait_for(std::chrono::milliseconds(0)), std::future_status::ready);
    std::vector<std::string> handled;
    server.setHandler([&](const std::string& path) {
        handled.push_back(path);
        return true;
    });
    EXPECT_EQ(served(early), true);
    EXPECT_EQ(handled, std::vector<std::string>{"/x.pvp"});
}

TEST(InstanceServer, SocketLeftByADeadInstanceIsTakenOver)
{
    application();
    const QString name = uniqueServerName();
    {
        // A socket file nobody listens on any more.
        QLocalServer dead;
        dead.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(dead.listen(name));
        const std::string path = dead.fullServerName().toStdString();
        dead.close();
        std::ofstream(path) << "";
        ASSERT_TRUE(fs::exists(path));
    }
    InstanceServer server(name);
    EXPECT_TRUE(server.claim());
}

// ---- First start ------------------------------------------------------------

TEST(FirstStart, ProjectNamedOnTheCommandLineIsOpenedWithoutTheDialog)
{
    application();
    TestInstallation install(false);
    const std::string project = install.writeFile("Talks/Show.pvp", "x");
    ScriptedUi ui;
    FakeWindow window;
    Startup startup(install.folder(), {"\"" + project + "\"", "--extra"}, ui, uniqueServerName());
    ASSERT_TRUE(startup.becomeFirstInstance());
    EXPECT_TRUE(startup.start(window));
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(window.opened, std::vector<std::string>{project});
    EXPECT_TRUE(startup.openedFromCommandLine());
    EXPECT_EQ(window.dialogRuns, 0);
}

TEST(FirstStart, ProjectThatCannotBeOpenedLeavesANewProject)
{
    application();
    TestInstallation install(false);
    const std::string project = install.writeFile("Show.pvp", "damaged");
    ScriptedUi ui;
    FakeWindow window;
    window.openSucceeds = false;
    Startup startup(install.folder(), {project}, ui, uniqueServerName());
    ASSERT_TRUE(startup.becomeFirstInstance());
    EXPECT_TRUE(startup.start(window));
    EXPECT_EQ(window.dialogRuns, 0);
    EXPECT_EQ(window.layoutReads, 1);
    EXPECT_FALSE(startup.openedFromCommandLine());

    // A foreign file named on the command line: its message, then the same.
    ScriptedUi ui2;
    FakeWindow window2;
    const std::string deck = install.writeFile("Deck.ppt", "x");
    Startup second(install.folder(), {deck}, ui2, uniqueServerName());
    ASSERT_TRUE(second.becomeFirstInstance());
    EXPECT_TRUE(second.start(window2));
    EXPECT_TRUE(window2.opened.empty());
    EXPECT_EQ(ui2.texts(), std::vector<std::string>{"Cannot open invalid file!\n( File: " + deck + " )"});
}

TEST(FirstStart, DialogFlowFailureFallsBackToTheLayoutSettings)
{
    application();
    TestInstallation install(false);
    const struct {
        bool dialogSucceeds;
        bool lost;
        bool layoutThere;
        bool started;
        int layoutReads;
    } cases[] = {
        {true, false, true, true, 0},
        {false, false, true, true, 1},   // "Load Project" cancelled: the default project
        {false, false, false, false, 1}, // ... but its layout settings are gone
        {false, true, true, false, 0},   // the flow already found them gone
    };
    for (const auto& c : cases) {
        ScriptedUi ui;
        FakeWindow window;
        window.dialogSucceeds = c.dialogSucceeds;
        window.dialogLostLayout = c.lost;
        window.layoutFileThere = c.layoutThere;
        Startup startup(install.folder(), {}, ui, uniqueServerName());
        ASSERT_TRUE(startup.becomeFirstInstance());
        EXPECT_EQ(startup.start(window), c.started);
        EXPECT_EQ(window.dialogRuns, 1);
        EXPECT_EQ(window.layoutReads, c.layoutReads);
    }
}

// ---- Installation checks ----------------------------------------------------

TEST(StartupChecks, MissingPiecesAreReportedInOrder)
{
    // Each entry in check order, with the message its absence gives.
    const struct {
        const char* path;
        const char* message;
    } steps[] = {
        {"LIPSincData/", "[LIPSincData] Folder not found."},
        {"Template/", "[Template] folder not found."},
        {"Template/function.js", "Javascript file not found."},
        {"Template/Pavonia.ini", "[Pavonia.ini] not found."},
        {"rm_logo.bmp", "RM Logo file not found."},
        {"swf_logo.bmp", "SWF Logo file not found."},
        {"wmv_logo.bmp", "WMV Logo file not found."},
        {"default_tjm.tjm", "Default talking image file not found."},
        {"default_tps.tps", "Default talking message file not found."},
    };
    for (std::size_t missing = 0; missing <= std::size(steps); ++missing) {
        TestInstallation install(false);
        for (std::size_t i = 0; i < std::size(steps); ++i) {
            // A missing folder takes what lies in it along.
            if (missing < std::size(steps) && std::string(steps[i].path).rfind(steps[missing].path, 0) == 0)
                continue;
            const std::string path = install.folder() + steps[i].path;
            if (path.back() == '/')
                fs::create_directories(path);
            else
                install.writeFile("install/" + std::string(steps[i].path), "x");
        }
        // Everything after the missing piece is gone too: the first is named.
        if (missing < std::size(steps))
            fs::remove(install.folder() + "default_tps.tps");
        ScriptedUi ui;
        const StartupFolders folders{install.folder(), install.folder() + "Temp/", install.folder() + "User/"};
        const bool passed = StartupChecks(folders, ui);
        if (missing == std::size(steps)) {
            EXPECT_TRUE(passed);
            EXPECT_TRUE(ui.shown.empty());
            // "Temp" and "User" are made without a word.
            EXPECT_TRUE(fs::is_directory(folders.temp));
            EXPECT_TRUE(fs::is_directory(folders.user));
        } else {
            EXPECT_FALSE(passed) << steps[missing].path;
            EXPECT_EQ(ui.texts(), std::vector<std::string>{steps[missing].message}) << steps[missing].path;
        }
    }
}

TEST(StartupChecks, WorkingFoldersThatCannotBeMade)
{
    TestInstallation install;
    // A file where a folder should be: no user can make the folder.
    install.writeFile("install/Temp", "x");
    ScriptedUi ui;
    EXPECT_FALSE(StartupChecks({install.folder(), install.folder() + "Temp/", install.folder() + "User/"}, ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "\"Create [Temp] Folder failed.");

    fs::remove(install.folder() + "Temp");
    install.writeFile("install/User", "x");
    ScriptedUi ui2;
    EXPECT_FALSE(StartupChecks({install.folder(), install.folder() + "Temp/", install.folder() + "User/"}, ui2));
    EXPECT_EQ(ui2.texts(), std::vector<std::string>{"Create [User] Folder failed."});
}

TEST(StartupChecks, NothingIsMadeInAFolderThatIsNoInstallation)
{
    TestInstallation place(false);
    fs::create_directories(place.folder() + "LIPSincData");
    ScriptedUi ui;
    EXPECT_FALSE(StartupChecks({place.folder(), place.folder() + "Temp/", place.folder() + "User/"}, ui));
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"[Template] folder not found."});
    EXPECT_FALSE(fs::exists(place.folder() + "Temp"));
    EXPECT_FALSE(fs::exists(place.folder() + "User"));
}

} // namespace
} // namespace pavonia
