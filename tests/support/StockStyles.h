#pragma once
// The stock styles of a template library, and the sample project switched to
// one of them: for the screenshot tool and the page layout tests.
#include <filesystem>
#include <string>
#include <vector>

namespace pavonia::test {

// A stock style as a project selects it.
struct StockStyle {
    std::string name; // the folder's name, "Special-" in front for a special style
    int number = 0;
    std::string resolutionKey; // at the style's largest page size
};

// The styles of the library folder `root` ("Template" of an installation).
std::vector<StockStyle> stockStyles(const std::filesystem::path& root);

// The project `from` with `style` selected (layout 0), saved as `to`, working
// in the installation `home` and temp folder `temp`. False when it cannot be
// loaded or saved.
bool saveWithStyle(const std::string& home, const std::string& temp, const std::string& from,
                   const StockStyle& style, const std::string& to);

} // namespace pavonia::test
