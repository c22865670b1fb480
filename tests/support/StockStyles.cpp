#include "StockStyles.h"

#include "project/ProjectFile.h"
#include "project/ProjectHolder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace fs = std::filesystem;

namespace pavonia::test {

namespace {

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

} // namespace

std::vector<StockStyle> stockStyles(const fs::path& root)
{
    std::vector<StockStyle> styles;
    for (const bool special : {false, true}) {
        const fs::path folder = special ? root / "Special" : root;
        if (!fs::is_directory(folder))
            continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            const std::string lower = lowered(name);
            StockStyle style;
            bool custom = false;
            if (lower.starts_with("stylec") && lower.size() > 6) {
                custom = true;
                style.number = 999 + std::atoi(lower.c_str() + 6);
            } else if (lower.starts_with("style") && lower.size() > 5) {
                style.number = std::atoi(lower.c_str() + 5);
            } else {
                continue;
            }
            // The first layout folder's largest page size.
            fs::path layout;
            for (const auto& sub : fs::directory_iterator(entry.path()))
                if (sub.is_directory() && lowered(sub.path().filename().string()).starts_with("l") &&
                    (layout.empty() || sub.path() < layout))
                    layout = sub.path();
            int size = 0;
            if (!layout.empty())
                for (const auto& sub : fs::directory_iterator(layout))
                    if (sub.is_directory())
                        size = std::max(size, std::atoi(sub.path().filename().string().c_str()));
            if (size == 0)
                continue;
            style.name = (special ? "Special-" : "") + name;
            style.resolutionKey = std::string(special ? "-1" : custom ? "1" : "0") + "_" + std::to_string(size);
            styles.push_back(style);
        }
    }
    std::sort(styles.begin(), styles.end(), [](const StockStyle& a, const StockStyle& b) { return a.name < b.name; });
    return styles;
}

bool saveWithStyle(const std::string& home, const std::string& temp, const std::string& from, const StockStyle& style,
               const std::string& to)
{
    ConsoleProject held({home, temp}, ConsoleUi(true));
    ProjectDocument& document = held.document;
    if (!LoadProject(document, held.operations, from))
        return false;
    document.settings().styleNumber = style.number;
    document.settings().layoutNumber = 0;
    document.settings().resolutionKey = style.resolutionKey;
    const bool saved = SaveProject(document, to);
    document.workingFolder().reset();
    return saved;
}

} // namespace pavonia::test
