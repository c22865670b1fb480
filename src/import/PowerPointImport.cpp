#include "import/PowerPointImport.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "platform/UniqueTempFolder.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace pavonia {

PowerPointImport::PowerPointImport(ProjectDocument& document, TreeOperations& operations,
                                   SlideDeckConverter& converter)
    : document_(document), operations_(operations), converter_(converter)
{
}

std::string PowerPointImport::learnBaseName(const std::string& folder)
{
    std::string best;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (!wildcardMatch("*1.jpg", name) || !entry.is_regular_file(ec))
            continue;
        if (best.empty() || name.size() < best.size() || (name.size() == best.size() && name < best))
            best = name;
    }
    if (best.empty())
        return "*";
    const std::string title = baseNameOf(best);
    return title.substr(0, title.size() - 1);
}

void PowerPointImport::report(const DeckConversion& conversion, const std::string& path)
{
    switch (conversion.status) {
    case DeckConversion::Status::Ok:
        return;
    case DeckConversion::Status::CannotStart:
        document_.message(StringTable::format(str::PresentationCannotStart,
                                              {path, systemErrorText(int(parseLeadingInteger(conversion.detail)))}));
        return;
    case DeckConversion::Status::OpenFailed:
        document_.message(StringTable::format(str::PresentationOpenFailed, {path}));
        return;
    case DeckConversion::Status::NoSlides:
        document_.message(StringTable::format(str::PresentationNoSlides, {path}));
        return;
    case DeckConversion::Status::ExportFailed:
        document_.message(StringTable::format(str::PresentationExportFailed, {path}));
        return;
    case DeckConversion::Status::TimedOut:
        document_.message(StringTable::format(str::PresentationTimedOut, {conversion.detail, path}));
        return;
    case DeckConversion::Status::Cancelled:
        document_.message(StringTable::format(str::PresentationCancelled, {path}));
        return;
    }
}

TreeItem* PowerPointImport::ImportPowerPoint(const std::string& path, int importType)
{
    added_ = 0;
    BusyCursor busy(document_.ui());
    if (!converter_.available()) {
        document_.message(StringTable::text(str::PowerPointNotFound));
        return nullptr;
    }
    const std::string folder = makeUniqueTempFolder(document_.systemTempFolder(), document_.clock());
    if (folder.empty()) {
        document_.message(StringTable::text(str::CreateTempDirectoryFailed));
        return nullptr;
    }

    // Pictures past the first one the slide limit refuses would never be
    // used: they are not made.
    const int count = document_.tree().slideCount();
    const int wanted = std::max(1, ProjectTree::kSlideLimit - count + 1);
    const DeckConversion conversion = converter_.convert(path, folder, wanted);
    report(conversion, path);

    TreeItem* kept = nullptr;
    // An export that stopped half-way still gives slides for the pictures
    // that were written; any other failure leaves none.
    if (conversion.status == DeckConversion::Status::Ok ||
        conversion.status == DeckConversion::Status::ExportFailed) {
        const std::string base = learnBaseName(folder);
        int c = count;
        for (int n = 1;; ++n) {
            const std::string picture = folder + base + std::to_string(n) + ".jpg";
            std::error_code ec;
            if (base == "*" || !fs::is_regular_file(picture, ec))
                break;
            kept = operations_.ImportSlide(picture, importType);
            if (kept)
                ++added_;
            if (c > ProjectTree::kSlideLimit - 1) {
                // The count can reach the limit while the tree still took
                // the slide (an empty first slide made way for it): the
                // slides left out are then reported here, once.
                if (kept && n < conversion.slides)
                    document_.message(StringTable::text(str::SlideLimitReached));
                break;
            }
            ++c;
        }
    }
    deleteUniqueTempFolder(folder, document_.systemTempFolder());
    return kept;
}

} // namespace pavonia
