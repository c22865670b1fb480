// pavonia-cli: the program's core without a display, for batch work and for
// checking the core from outside. Messages the program would show in a box go
// to stderr (or into the JSON of "info"); the exit status is 0 on success.
#include "cli/CliSession.h"
#include "cli/ImportCommands.h"
#include "cli/ExportCommand.h"
#include "cli/ProjectInfo.h"
#include "cli/VoiceCommands.h"
#include "cli/PublishCommands.h"
#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "project/ProjectDocument.h"
#include "project/ProjectFile.h"
#include "project/TreeOperations.h"
#include "templates/TemplateLibrary.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;
using namespace pavonia::cli;

namespace {

const char* kUsage =
    "usage: pavonia-cli [--home DIR] info PROJECT.pvp\n"
    "       pavonia-cli [--home DIR] new OUTPUT.pvp\n"
    "       pavonia-cli [--home DIR] preview PROJECT.pvp [--slide N] [--dpi D]\n"
    "       pavonia-cli [--home DIR] htmlcode PROJECT.pvp PAGE.htm [--dpi D]\n"
    "       pavonia-cli [--home DIR] export PROJECT.pvp --type web|cd|exe OUTPUT [--sound 1-3] [--image 0-100]\n"
    "                   [--no-autorun]\n"
    "       pavonia-cli [--home DIR] export PROJECT.pvp --type video OUT.mp4 [--size WxH] [--fps N] [--crf N]\n"
    "                   [--sample]\n"
    "       pavonia-cli [--home DIR] voice import PROJECT.pvp SESSION AUDIO-FILE [--out OUT.pvp]\n"
    "       pavonia-cli [--home DIR] import PROJECT.pvp FILE... [--mode same|each] [--session N] [--out OUT.pvp]\n"
    "       pavonia-cli tps-info FILE.tps\n"
    "       pavonia-cli --help | help | COMMAND --help | --version\n";

int info(const Workplace& place, const std::string& project)
{
    // Messages go into the JSON rather than to stderr.
    Session session(place, false);
    TemplateLibrary library(place.home(), session.ui);
    LayoutLayers layers;
    const bool loaded = loadCheckedProject(session, library, layers, project);
    std::cout << cli::describeProject(session.document, layers, session.ui.messages())
                     .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
    return loaded ? 0 : 1;
}

int newProject(const Workplace& place, const std::string& output)
{
    Session session(place, true);
    // A project without its session's files is not written.
    if (reportCopyFailure(session))
        return 1;
    return SaveProject(session.document, output) ? 0 : 1;
}

bool asksForHelp(const std::string& arg)
{
    return arg == "--help" || arg == "-h";
}

// "--help", "help" and "COMMAND --help" print the usage on stdout and exit 0;
// "--version" prints the version. Nothing when the call asks for neither.
std::optional<int> helpOrVersion(const std::vector<std::string>& args)
{
    if (args.empty())
        return std::nullopt;
    if (args[0] == "--version") {
        std::cout << "pavonia-cli " << StringTable::text(str::ProductVersion) << '\n';
        return 0;
    }
    if (args[0] == "help" || std::any_of(args.begin(), args.end(), asksForHelp)) {
        std::cout << kUsage;
        return 0;
    }
    return std::nullopt;
}

int run(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string home = programFolder();
    if (args.size() >= 2 && args[0] == "--home") {
        // An empty name would become the current folder, or the root.
        if (args[1].empty()) {
            std::cerr << StringTable::text(str::InstallationFolderEmpty) << '\n';
            return 1;
        }
        std::error_code ec;
        home = withTrailingSeparator(fs::absolute(args[1], ec).lexically_normal().string());
        args.erase(args.begin(), args.begin() + 2);
    }
    if (const auto status = helpOrVersion(args))
        return *status;
    // Lives until the command is done: the run's working folder goes with it.
    Workplace place;
    if (args.size() == 2 && (args[0] == "info" || args[0] == "new") && !openWorkplace(place, home))
        return 1;
    if (args.size() == 2 && args[0] == "info")
        return info(place, args[1]);
    if (args.size() == 2 && args[0] == "new")
        return newProject(place, args[1]);
    if (!args.empty() && (args[0] == "preview" || args[0] == "htmlcode" || args[0] == "export")) {
        if (!openWorkplace(place, home))
            return 1;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        const int status = args[0] == "preview"    ? previewCommand(place, rest)
                           : args[0] == "htmlcode" ? htmlCodeCommand(place, rest)
                                                   : exportCommand(place, rest);
        if (status == 2)
            std::cerr << kUsage;
        return status;
    }
    if (!args.empty() && args[0] == "voice") {
        if (!openWorkplace(place, home))
            return 1;
        const int status = voiceCommand(place, {args.begin() + 1, args.end()});
        if (status == 2)
            std::cerr << kUsage;
        return status;
    }
    if (!args.empty() && args[0] == "import") {
        if (!openWorkplace(place, home))
            return 1;
        const int status = importCommand(place, {args.begin() + 1, args.end()});
        if (status == 2)
            std::cerr << kUsage;
        return status;
    }
    if (!args.empty() && args[0] == "tps-info") {
        const int status = tpsInfoCommand({args.begin() + 1, args.end()});
        if (status == 2)
            std::cerr << kUsage;
        return status;
    }
    std::cerr << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Whatever a command was doing when memory ran out, it ends with a
    // message; the run's working folder goes as the command unwinds.
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << StringTable::text(str::OutOfMemory) << '\n';
        return 1;
    }
}
