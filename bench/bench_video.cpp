// The video export of a 10-minute presentation of 40 slides (10 narrated
// sessions of 4 slides, pictures and transitions) at 1280 x 720 and 25
// frames a second, through pavonia-cli as a user runs it:
// - the time it takes against the presentation's own length, real time,
//   measured in the same run (goal: at least 5 times faster, under 2
//   minutes);
// - the exporting process's peak memory, against the same 40 slides shown
//   for half as long (goal: no growth with the length).
#include "BenchSupport.h"
#include "DevTools.h"
#include "PresentationPlan.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace pavonia;
using namespace pavonia::bench;

namespace {

constexpr int kSessions = 10;
constexpr int kSlidesPerSession = 4;

void runCli(const std::string& home, const std::string& arguments)
{
    const std::string command = std::string(PAVONIA_CLI) + " --home '" + home + "' " + arguments + " >/dev/null";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

// The highest resident memory of the process `pid` so far, in kB.
long peakMemory(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

struct Export {
    double seconds = 0;
    long peakKb = 0;
};

// Exports `project` as a video, watching the process's memory as it runs.
Export exportVideo(const std::string& home, const std::string& project, const std::string& out)
{
    Export result;
    result.seconds = secondsOf([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(PAVONIA_CLI, PAVONIA_CLI, "--home", home.c_str(), "export", project.c_str(), "--type", "video",
                    out.c_str(), "--size", "1280x720", "--fps", "25", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        while (::waitpid(child, &status, WNOHANG) == 0) {
            result.peakKb = std::max(result.peakKb, peakMemory(child));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "the video export failed\n");
            std::exit(1);
        }
    });
    return result;
}

// A presentation of 40 slides, each shown for `slideSeconds`, every session
// narrated for most of its length.
std::string makeProject(const BenchFolders& folders, float slideSeconds, const std::string& name)
{
    test::PresentationPlan plan;
    plan.sessions.resize(kSessions);
    for (int s = 0; s < kSessions; ++s)
        for (int i = 0; i < kSlidesPerSession; ++i) {
            const int n = s * kSlidesPerSession + i;
            const std::string picture = folders.root + "picture" + std::to_string(n) + ".bmp";
            if (!std::filesystem::exists(picture))
                test::writeTestPicture(picture, n, 1024, 768);
            plan.sessions[s].slides.push_back({slideSeconds, n % 19 - 1, picture, "Slide " + std::to_string(n + 1),
                                               "What slide " + std::to_string(n + 1) + " says."});
        }
    const std::string project = folders.root + name + ".pvp";
    const std::string failure = test::writePresentation(folders.install, folders.temp, plan, project);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::exit(1);
    }
    const int sessionMs = static_cast<int>(slideSeconds * 1000) * kSlidesPerSession;
    const std::string voice = folders.root + name + ".wav";
    test::writeBurstWave(voice, sessionMs - 2000, 2000, 2600, 22050);
    for (int s = 1; s <= kSessions; ++s)
        runCli(folders.install, "voice import '" + project + "' " + std::to_string(s) + " '" + voice + "'");
    return project;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string installData = argc > 1 ? argv[1] : PAVONIA_BENCH_DATA_DIR;
    if (test::findChromium().empty()) {
        std::fprintf(stderr, "chromium is not installed\n");
        return 1;
    }
    const auto folders = BenchFolders::make("pavonia-bench-video", installData);
    if (!folders)
        return 1;

    const std::string half = makeProject(*folders, 7.5f, "five-minutes");
    const std::string whole = makeProject(*folders, 15.0f, "ten-minutes");
    const Export shorter = exportVideo(folders->install, half, folders->root + "five-minutes.mp4");
    const Export longer = exportVideo(folders->install, whole, folders->root + "ten-minutes.mp4");

    const double realSeconds = kSessions * kSlidesPerSession * 15.0;
    std::printf("presentation: %d slides in %d narrated sessions, %.0f s, 1280 x 720 at 25 frames a second\n",
                kSessions * kSlidesPerSession, kSessions, realSeconds);
    std::printf("export of the 10-minute video: %.1f s (goal < 120 s)\n", longer.seconds);
    std::printf("ratio to real time: %.2f times faster (goal >= 5)\n", realSeconds / longer.seconds);
    std::printf("peak memory, 5-minute video:  %.1f MB\n", shorter.peakKb / 1024.0);
    std::printf("peak memory, 10-minute video: %.1f MB\n", longer.peakKb / 1024.0);
    std::printf("ratio 10 / 5 minutes: %.3f (goal <= 1.10)\n", double(longer.peakKb) / double(shorter.peakKb));
    folders->remove();
    return longer.seconds < 120 && realSeconds / longer.seconds >= 5 && longer.peakKb <= shorter.peakKb * 1.1 ? 0 : 1;
}
