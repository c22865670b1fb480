// pavonia-cli: the program's core without a display, for batch work and for
// checking the core from outside. Messages the program would show in a box go
// to stderr (or into the JSON of "info"); the exit status is 0 on success.
#include "cli/ProjectInfo.h"
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "project/ProjectDocument.h"
#include "project/ProjectFile.h"
#include "project/TreeOperations.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;

namespace {

const char* kUsage =
    "usage: pavonia-cli [--home DIR] info PROJECT.pvp\n"
    "       pavonia-cli [--home DIR] new OUTPUT.pvp\n";

std::string programFolder()
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("./") : withTrailingSeparator(self.parent_path().string());
}

// A private system temp folder for this run, so that two runs at once never
// share the pack store; removed on exit.
class RunTempFolder {
public:
    RunTempFolder()
    {
        std::string pattern = systemTempFolder() + "pavonia-cli-XXXXXX";
        if (::mkdtemp(pattern.data()))
            path_ = pattern + "/";
        else
            path_ = systemTempFolder();
        owned_ = path_ != systemTempFolder();
    }
    ~RunTempFolder()
    {
        std::error_code ec;
        if (owned_)
            fs::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool owned_ = false;
};

// One project of the core, as the program's window would hold it.
struct Session {
    Session(const std::string& home, bool echo)
        : ui(echo),
          registry(home + IniRegistry::fileName()),
          document(DocumentEnvironment{home, temp.path(), ui, clock, registry}),
          operations(document)
    {
        operations.CreateView();
    }
    RunTempFolder temp;
    ConsoleUi ui;
    SystemClock clock;
    IniRegistry registry;
    ProjectDocument document;
    TreeOperations operations;
};

// The working folders live in the installation: say so plainly when it
// cannot be written to, instead of failing later on every file.
bool installationWritable(const std::string& home)
{
    if (::access(home.c_str(), W_OK) == 0)
        return true;
    std::cerr << StringTable::format(str::InstallationNotWritable, {home, systemErrorText(errno)}) << '\n';
    return false;
}

int info(const std::string& home, const std::string& project)
{
    Session session(home, false);
    const bool loaded = LoadProject(session.document, session.operations, project);
    std::cout << cli::describeProject(session.document, session.ui.messages())
                     .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
    return loaded ? 0 : 1;
}

int newProject(const std::string& home, const std::string& output)
{
    Session session(home, true);
    return SaveProject(session.document, output) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string home = programFolder();
    if (args.size() >= 2 && args[0] == "--home") {
        std::error_code ec;
        home = withTrailingSeparator(fs::absolute(args[1], ec).lexically_normal().string());
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() == 2 && (args[0] == "info" || args[0] == "new") && !installationWritable(home))
        return 1;
    if (args.size() == 2 && args[0] == "info")
        return info(home, args[1]);
    if (args.size() == 2 && args[0] == "new")
        return newProject(home, args[1]);
    std::cerr << kUsage;
    return 2;
}
