// Saving and loading a project of 256 slides whose media add up to more than
// 200 MB, against copying the same bytes into one file with `cat`, measured
// in the same run. Prints the ratios and the peak memory of the process.
#include "BenchProject.h"
#include "BenchSupport.h"
#include "project/ProjectFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;
using namespace pavonia::bench;

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string installData = argc > 1 ? argv[1] : PAVONIA_BENCH_DATA_DIR;
    const int slides = 256;
    const std::size_t mediaSize = 800 * 1024; // 256 x 800 KiB = 200 MiB
    const auto folders = BenchFolders::make("pavonia-bench", installData);
    if (!folders)
        return 1;
    const auto& [root, install, temp] = *folders;
    fs::create_directories(root + "media");

    std::mt19937_64 random(42);
    std::vector<std::string> media;
    std::vector<char> bytes(mediaSize);
    for (int i = 0; i < slides; ++i) {
        for (auto& b : bytes)
            b = static_cast<char>(random());
        media.push_back(root + "media/picture" + std::to_string(i) + ".jpg");
        std::ofstream(media.back(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const long baseMemory = peakKilobytes();

    bench::BenchProject core{install, temp};
    ProjectDocument& document = core.document;
    TreeOperations& operations = core.operations;
    document.tree().select(document.tree().root().child(0)->child(0));
    for (int i = 1; i < slides; ++i)
        operations.AddItem(media[static_cast<std::size_t>(i)]);
    std::printf("slides: %d, media: %.1f MB\n", document.tree().slideCount(),
                static_cast<double>(slides - 1) * mediaSize / 1e6);

    // The baseline: the same working copies, concatenated by cat.
    std::string command = "cat";
    for (const TreeItem* slide : document.tree().allSlides())
        if (!slide->slide()->mediaPath.empty())
            command += " '" + slide->slide()->mediaPath + "'";
    command += " > '" + root + "cat.out'";
    // Each run below starts with nothing left to write back from the one before.
    const double catSeconds = bestSeconds(5, [&] {
        if (std::system(command.c_str()) != 0)
            std::abort();
    }, SyncFirst::yes);

    const std::string project = root + "bench.pvp";
    const double saveSeconds = bestSeconds(5, [&] {
        if (!SaveProject(document, project))
            std::abort();
    }, SyncFirst::yes);
    const double loadSeconds = bestSeconds(5, [&] {
        if (!LoadProject(document, operations, project))
            std::abort();
    }, SyncFirst::yes);
    std::printf("project file: %.1f MB\n", static_cast<double>(fs::file_size(project)) / 1e6);
    std::printf("cat:  %.3f s\nsave: %.3f s  ratio %.2f (goal <= 1.50)\nload: %.3f s  ratio %.2f (goal <= 1.50)\n",
                catSeconds, saveSeconds, saveSeconds / catSeconds, loadSeconds, loadSeconds / catSeconds);
    std::printf("peak memory: %.1f MB (%.1f MB before the project existed; one media file is %.1f MB)\n",
                peakKilobytes() / 1024.0, baseMemory / 1024.0, mediaSize / 1048576.0);
    folders->remove();
    return 0;
}
