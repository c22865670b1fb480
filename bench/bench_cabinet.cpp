// The cabinet writer against gcab -c -z on the same files in the same run:
// each file made into a one-file MSZIP cabinet by both, as the executable
// export packs them. Prints the throughput and the total cabinet size of
// each and their ratios.
#include "BenchSupport.h"

#include "export/CabinetWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pavonia;

namespace {

constexpr std::size_t kFileSize = 16u << 20;

// What a presentation holds: page text and scripts that compress well,
// pictures and voice that hardly compress, and raw pictures in between.
void writeFiles(const std::string& folder, std::vector<std::string>& files)
{
    std::mt19937 random(11);
    auto write = [&](const std::string& name, auto&& byteAt) {
        std::string bytes(kFileSize, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(byteAt(i));
        std::ofstream(folder + name, std::ios::binary) << bytes;
        files.push_back(folder + name);
    };
    std::string prose;
    for (int line = 0; prose.size() < kFileSize; ++line)
        prose += "AppendPageInfo(\"face.tjm\", \"voice" + std::to_string(line % 37) + ".tps\", \"picture" +
                 std::to_string(line % 101) + ".jpg\", 3.00, " + std::to_string(line % 24) + ", \"?\", \"?\");\n";
    write("page.htm", [&](std::size_t i) { return prose[i]; });
    write("voice.tps", [&](std::size_t) { return random(); });
    write("picture.jpg", [&](std::size_t) { return random(); });
    // A raw picture: smooth gradients with a little noise.
    write("picture.bmp", [&](std::size_t i) { return ((i / 3) % 1024) / 4 + (random() & 7); });
}

} // namespace

int main()
{
    std::string root = (fs::temp_directory_path() / "pavonia-bench-cabinet-XXXXXX").string();
    if (!::mkdtemp(root.data())) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    root += "/";
    if (std::system("command -v gcab >/dev/null") != 0) {
        std::fprintf(stderr, "gcab is not installed\n");
        return 1;
    }
    std::vector<std::string> files;
    writeFiles(root, files);
    std::uint64_t input = 0;
    for (const std::string& file : files)
        input += fs::file_size(file);

    // The two writers take turns, so that both meet the same load on the
    // machine; the fastest of each one's runs counts.
    std::uint64_t ours = 0;
    std::uint64_t theirs = 0;
    double oursSeconds = 1e9;
    double theirsSeconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        oursSeconds = std::min(oursSeconds, bench::secondsOf([&] {
            ours = 0;
            for (const std::string& file : files) {
                CabinetEntry entry;
                describeCabinetEntry(file, "tempcab.cb", entry);
                CabinetWriter().writeFile(file, entry, file + ".ours.cab");
                ours += fs::file_size(file + ".ours.cab");
            }
        }));
        theirsSeconds = std::min(theirsSeconds, bench::secondsOf([&] {
            theirs = 0;
            for (const std::string& file : files) {
                const std::string command = "gcab -c -z -n '" + file + ".gcab.cab' '" + file + "'";
                if (std::system(command.c_str()) != 0)
                    std::fprintf(stderr, "gcab failed on %s\n", file.c_str());
                theirs += fs::file_size(file + ".gcab.cab");
            }
        }));
    }

    const double megabytes = double(input) / (1 << 20);
    std::printf("input: %zu files, %.0f MiB\n", files.size(), megabytes);
    std::printf("cabinet writer: %7.1f MiB/s, %10llu bytes (%.2f%% of input)\n", megabytes / oursSeconds,
                static_cast<unsigned long long>(ours), 100.0 * double(ours) / double(input));
    std::printf("gcab -c -z:     %7.1f MiB/s, %10llu bytes (%.2f%% of input)\n", megabytes / theirsSeconds,
                static_cast<unsigned long long>(theirs), 100.0 * double(theirs) / double(input));
    std::printf("throughput ratio (ours / gcab): %.2f; size ratio (ours / gcab): %.4f\n", theirsSeconds / oursSeconds,
                double(ours) / double(theirs));
    fs::remove_all(root);
    return 0;
}
