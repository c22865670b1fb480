#include "cli/ExportCommand.h"

#include "cli/CliArguments.h"
#include "cli/LoadedProject.h"
#include "export/ExportPresentation.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace pavonia::cli {

namespace {

struct ExportOptions {
    std::vector<std::string> positional;
    std::optional<ExportKind> kind;
    ExportChoice choice;
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
            options.kind = kindNamed(args[++i]);
            if (!options.kind)
                return std::nullopt;
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
    if (!options.kind || options.positional.size() != 2)
        return std::nullopt;
    options.choice.kind = *options.kind;
    return options;
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
