// Importing a 50-slide deck (.pptx) as slides, against the bare conversion
// the import is built on, measured in the same run: the office program
// turning the deck into a PDF, then pdftoppm writing one 720 x 540 JPEG per
// slide. The baseline reuses one warm profile of the office program, and so
// does the import (the profile it keeps beside its "User" folder). Prints the best of three runs
// of each and their ratio (goal: within 1.2).
#include "BenchProject.h"
#include "BenchSupport.h"
#include "SlideDecks.h"
#include "import/MediaImport.h"
#include "import/SlideDeckConverter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace pavonia;
using namespace pavonia::bench;

namespace {

int run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

} // namespace

int main(int argc, char** argv)
{
    const std::string installData = argc > 1 ? argv[1] : PAVONIA_BENCH_DATA_DIR;
    const int slides = 50;
    if (!test::officeAvailable()) {
        std::fprintf(stderr, "soffice and pdftoppm are needed\n");
        return 1;
    }
    const auto folders = BenchFolders::make("pavonia-bench-import", installData);
    if (!folders)
        return 1;
    const auto& [root, install, temp] = *folders;

    // The deck: written as flat XML, saved as .pptx once (not timed).
    const std::string source = root + "deck.fodp";
    test::writeText(source, test::flatPresentation(slides));
    const std::string profile = "-env:UserInstallation=" + fileUrl(root + "profile");
    if (run("soffice --headless " + profile + " --convert-to pptx --outdir '" + root + "' '" + source + "'") != 0 ||
        !fs::exists(root + "deck.pptx")) {
        std::fprintf(stderr, "the deck could not be made\n");
        folders->remove();
        return 1;
    }
    const std::string deck = root + "deck.pptx";

    const std::string out = root + "bare/";
    const double bare = bestSeconds(3, [&] {
        fs::remove_all(out);
        fs::create_directories(out);
        run("soffice --headless " + profile + " --convert-to pdf --outdir '" + out + "' '" + deck + "'");
        run("pdftoppm -jpeg -scale-to-x 720 -scale-to-y 540 '" + out + "deck.pdf' '" + out + "Slide'");
    });

    int added = 0;
    const double ours = bestSeconds(3, [&] {
        BenchProject core{install, temp};
        LibreOfficeConverter converter(120);
        converter.setKeptProfile(keptOfficeProfile(core.document));
        MediaImport import(core.document, core.operations, converter);
        core.operations.selectionChanged(core.document.tree().root().child(0));
        added = import.importFiles({deck}, 0).added;
    });

    std::printf("deck of %d slides: %d slides added\n", slides, added);
    std::printf("soffice --convert-to pdf + pdftoppm: %.3f s\n", bare);
    std::printf("import:                              %.3f s\n", ours);
    std::printf("ratio: %.2f (goal: within 1.2)\n", ours / bare);
    folders->remove();
    return added == slides ? 0 : 1;
}
