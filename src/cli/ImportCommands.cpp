#include "cli/ImportCommands.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "import/MediaImport.h"
#include "import/SlideDeckConverter.h"
#include "platform/StringTable.h"
#include "project/ProjectFile.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace pavonia::cli {

namespace {

struct ImportArguments {
    std::string project;
    std::vector<std::string> files;
    int importType = 0;
    std::string sessionText; // empty: the last session
    std::string out;
};

std::optional<ImportArguments> parse(const std::vector<std::string>& args)
{
    ImportArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--mode" && hasValue) {
            const std::string& mode = args[++i];
            if (mode != "same" && mode != "each")
                return std::nullopt;
            parsed.importType = mode == "each" ? 1 : 0;
        } else if (a == "--session" && hasValue) {
            parsed.sessionText = args[++i];
        } else if (a == "--out" && hasValue) {
            parsed.out = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return std::nullopt;
        } else if (parsed.project.empty()) {
            parsed.project = a;
        } else {
            parsed.files.push_back(a);
        }
    }
    if (parsed.project.empty() || parsed.files.empty())
        return std::nullopt;
    return parsed;
}

} // namespace

int importCommand(const Workplace& place, const std::vector<std::string>& args)
{
    const std::optional<ImportArguments> parsed = parse(args);
    if (!parsed)
        return 2;
    Session session(place, true);
    if (!loadProjectToSave(session, parsed->project, parsed->out))
        return 1;
    ProjectDocument& document = session.document;

    const auto sessions = document.tree().sessions();
    std::size_t index = sessions.size();
    if (!parsed->sessionText.empty()) {
        const std::optional<int> number = wholeNumber(parsed->sessionText, 1, 999999999);
        index = number ? std::size_t(*number) : 0;
    }
    if (index == 0 || index > sessions.size()) {
        std::cerr << StringTable::format(str::VoiceSessionNotFound, {parsed->sessionText}) << '\n';
        return 1;
    }
    session.operations.selectionChanged(sessions[index - 1]);

    // The media source paths are kept as given: make them whole.
    std::vector<std::string> files;
    for (const std::string& file : parsed->files) {
        std::error_code ec;
        const fs::path whole = fs::absolute(file, ec);
        files.push_back(ec ? file : whole.lexically_normal().string());
    }

    LibreOfficeConverter converter(document.preferences().convertTimeout());
    converter.setKeptProfile(keptOfficeProfile(document));
    MediaImport import(document, session.operations, converter);
    const MediaImport::Outcome outcome = import.importFiles(files, parsed->importType);
    if (outcome.added == 0)
        return 1;
    return SaveProject(document, parsed->out.empty() ? parsed->project : parsed->out) ? 0 : 1;
}

} // namespace pavonia::cli
