// Screenshots of the published sample in every stock style of the template
// library, at desktop (1280 x 720) and phone (390 x 844) size, taken in
// headless Chromium. Run by tools/page-screenshots.sh.
// Usage: page_screenshots OUTPUT-FOLDER
#include "DevTools.h"

#include "platform/Clock.h"
#include "platform/ConsoleUi.h"
#include "platform/Registry.h"
#include "project/ProjectFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pavonia;

namespace {

// A stock style as a project selects it.
struct StockStyle {
    std::string name; // e.g. "Style0", "Special-stylec1"
    int number = 0;
    std::string resolutionKey;
};

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The styles of the library folder `root`, each at its largest page size.
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

// The sample project `from` with `style` selected, saved as `to`.
bool withStyle(const std::string& home, const std::string& temp, const std::string& from, const StockStyle& style,
               const std::string& to)
{
    ConsoleUi ui{true};
    SystemClock clock;
    EmptyRegistry registry;
    ProjectDocument document{DocumentEnvironment{home, temp, ui, clock, registry}};
    TreeOperations operations{document};
    if (!LoadProject(document, operations, from))
        return false;
    document.settings().styleNumber = style.number;
    document.settings().layoutNumber = 0;
    document.settings().resolutionKey = style.resolutionKey;
    const bool saved = SaveProject(document, to);
    document.workingFolder().reset();
    return saved;
}

std::string run(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    if (!pipe || ::pclose(pipe) != 0)
        return {};
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: page_screenshots OUTPUT-FOLDER\n";
        return 2;
    }
    const fs::path output = fs::absolute(argv[1]);
    fs::create_directories(output);
    std::string root = (fs::temp_directory_path() / "pavonia-screenshots-XXXXXX").string();
    if (!::mkdtemp(root.data()))
        return 1;
    const std::string home = root + "/install/", temp = root + "/temp/";
    fs::create_directories(temp);
    fs::copy(PAVONIA_DATA_DIR, home, fs::copy_options::recursive);

    test::ChromiumOptions options;
    options.autoplay = true;
    test::Chromium browser(options);
    int written = 0, failed = 0;
    for (const StockStyle& style : stockStyles(fs::path(home) / "Template")) {
        const std::string project = root + "/" + style.name + ".pvp";
        std::string page;
        if (withStyle(home, temp, PAVONIA_SAMPLE_PROJECT, style, project))
            page = run(std::string(PAVONIA_CLI) + " --home '" + home + "' preview '" + project + "'");
        if (page.empty()) {
            std::cerr << style.name << ": could not publish\n";
            ++failed;
            continue;
        }
        for (const auto& [size, viewport] :
             {std::pair{"desktop", test::BrowserPage::desktop()}, std::pair{"phone", test::BrowserPage::phone()}}) {
            test::BrowserPage tab(browser, viewport);
            if (!tab.open(test::fileUrl(page)) || !tab.waitFor("window.PavoniaPlayer && PavoniaPlayer.state().slide > 0", 10000)) {
                std::cerr << style.name << " " << size << ": the page did not start\n" << tab.errorText();
                ++failed;
                continue;
            }
            // Mid-sentence on the first slide, with the pictures arrived.
            tab.browser().pump(800);
            tab.eval("PavoniaPlayer.renderAt(2300)");
            tab.browser().pump(600);
            const fs::path file = output / (style.name + "-" + size + ".png");
            std::ofstream(file, std::ios::binary) << tab.screenshot();
            const double width = tab.eval("document.documentElement.scrollWidth").get<double>();
            std::cout << file.string() << (width > viewport.width ? "  (scrolls sideways: " + std::to_string(int(width)) + " px wide)" : "")
                      << "\n";
            if (!tab.errors().empty())
                std::cout << "  page errors:\n" << tab.errorText();
            ++written;
        }
    }
    std::error_code ec;
    fs::remove_all(root, ec);
    std::cout << written << " screenshots written to " << output.string() << "\n";
    return failed == 0 && written > 0 ? 0 : 1;
}
