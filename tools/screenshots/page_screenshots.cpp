// Screenshots of the published sample in every stock style of the template
// library, at desktop (1280 x 720) and phone (390 x 844) size, taken in
// headless Chromium. Run by tools/page-screenshots.sh.
// Usage: page_screenshots OUTPUT-FOLDER
#include "DevTools.h"
#include "StockStyles.h"

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
    for (const test::StockStyle& style : test::stockStyles(fs::path(home) / "Template")) {
        const std::string project = root + "/" + style.name + ".pvp";
        std::string page;
        if (test::saveWithStyle(home, temp, PAVONIA_SAMPLE_PROJECT, style, project))
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
            // Mid-sentence on the second slide, which has a picture.
            tab.browser().pump(800);
            tab.eval("PavoniaPlayer.renderAt(9000)");
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
