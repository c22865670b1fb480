#pragma once
// Timing and scratch folders shared by the benchmarks.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <unistd.h>

namespace pavonia::bench {

// Whether a timed run first waits for the disk to take what earlier work
// left to write, so that a run does not pay for the writes of the one before.
enum class SyncFirst { no, yes };

// The seconds one run of `work` takes.
template <typename F>
double secondsOf(F&& work, SyncFirst sync = SyncFirst::no)
{
    if (sync == SyncFirst::yes)
        ::sync();
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fastest of `runs` runs of `work`, in seconds.
template <typename F>
double bestSeconds(int runs, F&& work, SyncFirst sync = SyncFirst::no)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, secondsOf(work, sync));
    return best;
}

// A fresh folder under the system temp folder holding a copy of the
// installation data in "install/" and an empty "temp/". Every path ends
// with "/".
struct BenchFolders {
    std::string root;
    std::string install;
    std::string temp;

    // Nothing when the folder cannot be made.
    static std::optional<BenchFolders> make(const std::string& name, const std::string& installData)
    {
        namespace fs = std::filesystem;
        std::string root = (fs::temp_directory_path() / (name + "-XXXXXX")).string();
        if (!::mkdtemp(root.data()))
            return std::nullopt;
        root += "/";
        BenchFolders folders{root, root + "install/", root + "temp/"};
        fs::create_directories(folders.temp);
        fs::copy(installData, folders.install, fs::copy_options::recursive);
        return folders;
    }

    // Removes the whole folder, quietly.
    void remove() const
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

} // namespace pavonia::bench
