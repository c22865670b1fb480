#pragma once
// Projects made to order for the browser tests, the page benchmark and the
// screenshot tool: sessions of slides with chosen delays, transitions,
// pictures and texts, saved as a project file through the core, as the
// program would save them. Talking messages are taken in afterwards with
// `pavonia-cli voice import`, as a user would.
#include <string>
#include <vector>

namespace pavonia::test {

struct SlidePlan {
    float delay = 1.0f;      // seconds
    int transition = -1;     // -1: none
    std::string picture;     // a picture file to show, or none
    std::string subTopic;
    std::string description;
};

struct SessionPlan {
    std::vector<SlidePlan> slides;
};

struct PresentationPlan {
    std::vector<SessionPlan> sessions;
    std::string heading = "Pavonia";
    int autoPlay = 1;
    int autoLoop = 0;
    int autoJump = 1;
    int styleNumber = 0;
    int layoutNumber = 0;
    std::string resolutionKey = "0_800";
};

// Saves `plan` as the project `path`, working in the installation `home` and
// the temp folder `temp` (both ending with "/"). Returns "" on success, else
// what went wrong.
std::string writePresentation(const std::string& home, const std::string& temp, const PresentationPlan& plan,
                              const std::string& path);

// Writes a 16-bit mono wave of `ms` milliseconds: a voiced buzz during the
// first `voicedMs` of every `periodMs`, silence for the rest of the period.
void writeBurstWave(const std::string& path, int ms, int voicedMs = 300, int periodMs = 600, int rate = 16000);

// Writes a 24-bit picture of `width` x `height`: a colour wash numbered by
// `seed`, different for every seed.
void writeTestPicture(const std::string& path, int seed, int width = 320, int height = 240);

} // namespace pavonia::test
