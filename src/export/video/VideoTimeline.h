#pragma once
// When each slide of a published page is on screen, as the page's player
// lays the presentation out: sessions end to end, each as long as its
// slides' delays or its voice, whichever is longer; a slide from the end of
// the delays before it in its session; the last slide of a session up until
// the session ends; a slide without delay of its own passed over. Also the
// transition a slide runs and how far it has come at a moment, worked out
// the way the page's picture of a moment (`renderAt`) works it out, so a
// frame of the video shows what the page shows at the same moment.
#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

struct VideoSession {
    std::int64_t startMs = 0;
    std::int64_t durationMs = 0;
    std::string talkingImage;   // published file name; empty for none
    std::string talkingMessage; // published file name; empty for none
    bool voice = false;         // the page plays a voice for this session
    int firstSlide = 0;
    int slideCount = 0;
};

struct VideoSlide {
    int session = 0;
    std::int64_t startMs = 0;  // on the whole timeline
    std::int64_t offsetMs = 0; // from the start of its session
    std::int64_t delayMs = 0;
    int transition = -1;       // as the page stores it, -1 for none
    std::string title;         // the sub-topic as plain text
    // Which of the areas the slide fills: sub-topic, media, description.
    bool subTopic = false;
    bool media = false;
    bool description = false;
};

// A stretch of the timeline showing one slide.
struct VideoChapter {
    int slide = 0;
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    std::string title;
};

// The transition a slide runs at a moment: `from` is the slide going out.
struct VideoTransition {
    int type = -1; // 0 to 17
    int from = -1;
    double progress = 1; // 0 to 1
};

class VideoTimeline {
public:
    static constexpr int kTransitionMs = 800;
    static constexpr int kTransitionCount = 18; // values 0 to 17 run one transition
    static constexpr int kRandomTransition = 18;

    VideoTimeline() = default;
    VideoTimeline(std::vector<VideoSession> sessions, std::vector<VideoSlide> slides);
    // From the page player's own `slides` and `sessions` (their start times
    // as the player computed them), in the shape VideoPage reads them.
    static std::optional<VideoTimeline> fromJson(const nlohmann::json& page);

    const std::vector<VideoSession>& sessions() const { return sessions_; }
    const std::vector<VideoSlide>& slides() const { return slides_; }
    std::int64_t durationMs() const { return totalMs_; }

    // The session and the slide on screen at `ms` (clamped to the timeline).
    int sessionAt(std::int64_t ms) const;
    int slideAt(std::int64_t ms) const;
    // The transition running at `ms`, with its progress; type -1 when none.
    VideoTransition transitionAt(std::int64_t ms) const;
    // The transition slide `index` runs: its own value, or for the random
    // entry the one chosen from its number; -1 for none.
    int transitionOf(int index) const;
    // How long the transition of slide `index` takes: its full length, or
    // half the slide's own time when that is shorter.
    double transitionLengthMs(int index) const;

    // One chapter per slide that is on screen for a while, up to `endMs`.
    std::vector<VideoChapter> chapters(std::int64_t endMs) const;

private:
    std::int64_t ownTimeMs(int index) const;

    std::vector<VideoSession> sessions_;
    std::vector<VideoSlide> slides_;
    std::int64_t totalMs_ = 0;
};

} // namespace pavonia
