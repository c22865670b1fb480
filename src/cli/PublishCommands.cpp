#include "cli/PublishCommands.h"

#include "cli/CliArguments.h"
#include "cli/CliSession.h"
#include "cli/LoadedProject.h"
#include "platform/Text.h"
#include "project/ProjectFile.h"
#include "publish/HtmlCodeCopy.h"
#include "publish/Publisher.h"
#include "templates/TemplateLibrary.h"
#include "voice/TpsMessageExporter.h"

#include <filesystem>
#include <iostream>
#include <optional>

namespace fs = std::filesystem;

namespace pavonia::cli {

namespace {

struct PublishOptions {
    std::vector<std::string> positional;
    int slide = 0;
    int dpi = kDefaultDotsPerInch;
};

std::optional<PublishOptions> parse(const std::vector<std::string>& args, bool takesSlide)
{
    PublishOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (takesSlide && args[i] == "--slide" && hasValue) {
            const auto value = wholeNumber(args[++i], 0, 1 << 20);
            if (!value)
                return std::nullopt;
            options.slide = *value;
        } else if (args[i] == "--dpi" && hasValue) {
            const auto value = wholeNumber(args[++i], 1, 10000);
            if (!value)
                return std::nullopt;
            options.dpi = *value;
        } else if (args[i].rfind("--", 0) == 0) {
            return std::nullopt;
        } else {
            options.positional.push_back(args[i]);
        }
    }
    return options;
}

} // namespace

int previewCommand(const Workplace& place, const std::vector<std::string>& args)
{
    const auto options = parse(args, true);
    if (!options || options->positional.size() != 1)
        return 2;
    LoadedProject project(place, options->dpi);
    if (!project.load(options->positional[0]))
        return 1;
    ProjectTree& tree = project.session.document.tree();
    const std::vector<TreeItem*> slides = tree.allSlides();
    if (static_cast<std::size_t>(options->slide) >= slides.size()) {
        std::cerr << "The project has no slide " << options->slide << " (it has " << slides.size() << ").\n";
        return 2;
    }
    tree.select(slides[static_cast<std::size_t>(options->slide)]);
    if (!PreviewInBrowser(project.publisher))
        return 1;
    std::cout << project.publisher.publishedPage() << '\n';
    return 0;
}

int htmlCodeCommand(const Workplace& place, const std::vector<std::string>& args)
{
    const auto options = parse(args, false);
    if (!options || options->positional.size() != 2)
        return 2;
    std::error_code ec;
    const std::string page = fs::absolute(options->positional[1], ec).lexically_normal().string();
    if (ec || !fs::is_regular_file(page, ec)) {
        std::cerr << "No such page: " << options->positional[1] << '\n';
        return 1;
    }
    LoadedProject project(place, options->dpi);
    if (!project.load(options->positional[0]))
        return 1;
    HtmlCodeCopy logic(project.publisher, project.session.document);
    if (!logic.pickPage(page) || !logic.process())
        return 1;
    std::cout << logic.code() << '\n';
    return 0;
}

} // namespace pavonia::cli
