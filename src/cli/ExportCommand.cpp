#include "cli/ExportCommand.h"

#include "cli/CliArguments.h"
#include "cli/LoadedProject.h"
#include "export/ExportPresentation.h"
#include "export/video/VideoExport.h"
#include "platform/StringTable.h"
#include "platform/Ui.h"

#include <atomic>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pavonia::cli {

namespace {

struct ExportOptions {
    std::vector<std::string> positional;
    std::optional<ExportKind> kind;
    bool video = false;
    ExportChoice choice;
    VideoOptions videoOptions;
    bool videoOnly = false; // an option only a video takes was given
};

std::optional<ExportKind> kindNamed(const std::string& name)
{
    if (name == "web")
        return ExportKind::Web;
    if (name == "cd")
        return ExportKind::Cd;
    if (name == "exe")
        return ExportKind::Exe;
    return std::nullopt;
}

std::optional<ExportOptions> parse(const std::vector<std::string>& args)
{
    ExportOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--type" && hasValue) {
            options.video = args[++i] == "video";
            options.kind = options.video ? ExportKind::Video : kindNamed(args[i]);
            if (!options.kind)
                return std::nullopt;
        } else if (args[i] == "--size" && hasValue) {
            options.videoOptions.size = VideoExport::parseSize(args[++i]);
            if (!options.videoOptions.size)
                return std::nullopt;
            options.videoOnly = true;
        } else if (args[i] == "--fps" && hasValue) {
            const auto value = wholeNumber(args[++i], 1, 120);
            if (!value)
                return std::nullopt;
            options.videoOptions.fps = *value;
            options.videoOnly = true;
        } else if (args[i] == "--crf" && hasValue) {
            const auto value = wholeNumber(args[++i], 0, 51);
            if (!value)
                return std::nullopt;
            options.videoOptions.crf = *value;
            options.videoOnly = true;
        } else if (args[i] == "--sample") {
            options.videoOptions.sample = true;
            options.videoOnly = true;
        } else if (args[i] == "--sound" && hasValue) {
            const auto value = wholeNumber(args[++i], 1, 3);
            if (!value)
                return std::nullopt;
            options.choice.qualities.sound = *value;
        } else if (args[i] == "--image" && hasValue) {
            const auto value = wholeNumber(args[++i], 0, 100);
            if (!value)
                return std::nullopt;
            options.choice.qualities.image = *value;
        } else if (args[i] == "--no-autorun") {
            options.choice.includeAutoRun = false;
        } else if (args[i].rfind("--", 0) == 0) {
            return std::nullopt;
        } else {
            options.positional.push_back(args[i]);
        }
    }
    if (!options.kind || options.positional.size() != 2 || (options.videoOnly && !options.video))
        return std::nullopt;
    options.choice.kind = *options.kind;
    return options;
}

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) { interrupted = true; }

// The video: a progress line on stderr, Ctrl+C cancels (leaving no file).
int exportVideo(LoadedProject& project, const VideoOptions& options, const std::string& output)
{
    interrupted = false;
    const auto previousInt = std::signal(SIGINT, onInterrupt);
    const auto previousTerm = std::signal(SIGTERM, onInterrupt);
    const bool terminal = ::isatty(2);
    long lastSecond = -1;
    auto progress = [terminal, &lastSecond](const VideoProgress& step) {
        // One line a second is enough where the lines are kept.
        if (step.phase == VideoProgress::Phase::Encoding && !terminal) {
            const long second = std::lround(step.secondsLeft);
            if (second == lastSecond && step.done != step.total)
                return !interrupted.load();
            lastSecond = second;
        }
        std::cerr << (terminal ? "\r\033[K" : "") << step.text() << (terminal ? "" : "\n") << std::flush;
        return !interrupted.load();
    };
    const Result<std::uint64_t> written = VideoExport(project.context(), options, progress).exportTo(output);
    if (terminal)
        std::cerr << '\n';
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    if (!written) {
        showFailure(project.session.ui, written.failure());
        return 1;
    }
    std::cout << ExportPresentation::sizeMessage(*written) << '\n';
    return 0;
}

} // namespace

int exportCommand(const Workplace& place, const std::vector<std::string>& args)
{
    const auto options = parse(args);
    if (!options)
        return 2;
    std::error_code ec;
    const std::string output = fs::absolute(options->positional[1], ec).lexically_normal().string();
    if (ec)
        return 2;
    LoadedProject project(place, kDefaultDotsPerInch);
    if (!project.load(options->positional[0]))
        return 1;
    if (options->video)
        return exportVideo(project, options->videoOptions, output);

    // Publishing reads the kind from the preferences, where the export
    // dialog leaves it; the user's stored choice is put back afterwards.
    Preferences& preferences = project.session.document.preferences();
    const int storedKind = preferences.exportType();
    const int storedAutoRun = preferences.includeAutoRun();
    preferences.setExportType(static_cast<int>(options->choice.kind));
    preferences.setIncludeAutoRun(options->choice.includeAutoRun ? 1 : 0);

    ExportContext context(project.context());
    context.showSize = [](const std::string& text) { std::cout << text << '\n'; };
    const bool exported = ExportPresentation(context).exportTo(options->choice, output);

    preferences.setExportType(storedKind);
    preferences.setIncludeAutoRun(storedAutoRun);
    return exported ? 0 : 1;
}

} // namespace pavonia::cli
