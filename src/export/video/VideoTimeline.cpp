#include "export/video/VideoTimeline.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace pavonia {

namespace {

// The page's small seeded generator (its first number), so the random
// transition of a slide is the one the page runs.
double firstSeeded(std::uint32_t seed)
{
    std::uint32_t state = seed * 2654435761u;
    state = state * 1664525u + 1013904223u;
    return state / 4294967296.0;
}

} // namespace

VideoTimeline::VideoTimeline(std::vector<VideoSession> sessions, std::vector<VideoSlide> slides)
    : sessions_(std::move(sessions)), slides_(std::move(slides))
{
    for (const VideoSession& s : sessions_)
        totalMs_ = std::max(totalMs_, s.startMs + s.durationMs);
}

std::optional<VideoTimeline> VideoTimeline::fromJson(const nlohmann::json& page)
{
    if (!page.is_object() || !page["sessions"].is_array() || !page["slides"].is_array())
        return std::nullopt;
    const auto whole = [](const nlohmann::json& value) -> std::int64_t {
        return value.is_number() ? static_cast<std::int64_t>(std::llround(value.get<double>())) : 0;
    };
    std::vector<VideoSession> sessions;
    for (const nlohmann::json& item : page["sessions"]) {
        VideoSession s;
        s.startMs = whole(item["startMs"]);
        s.durationMs = std::max<std::int64_t>(0, whole(item["durationMs"]));
        s.talkingImage = item.value("talkingImage", "");
        s.talkingMessage = item.value("talkingMessage", "");
        s.voice = item.value("voice", false);
        s.firstSlide = static_cast<int>(whole(item["firstSlide"]));
        s.slideCount = static_cast<int>(whole(item["slideCount"]));
        sessions.push_back(std::move(s));
    }
    std::vector<VideoSlide> slides;
    for (const nlohmann::json& item : page["slides"]) {
        VideoSlide k;
        k.session = static_cast<int>(whole(item["session"]));
        k.startMs = whole(item["startMs"]);
        k.offsetMs = whole(item["offsetMs"]);
        k.delayMs = std::max<std::int64_t>(0, whole(item["delayMs"]));
        k.transition = static_cast<int>(whole(item["transition"]));
        k.title = item.value("title", "");
        k.subTopic = item.value("subTopic", false);
        k.media = item.value("media", false);
        k.description = item.value("description", false);
        if (k.session < 0 || k.session >= static_cast<int>(sessions.size()))
            return std::nullopt;
        slides.push_back(std::move(k));
    }
    for (const VideoSession& s : sessions)
        if (s.firstSlide < 0 || s.slideCount < 1 || s.firstSlide + s.slideCount > static_cast<int>(slides.size()))
            return std::nullopt;
    return VideoTimeline(std::move(sessions), std::move(slides));
}

int VideoTimeline::sessionAt(std::int64_t ms) const
{
    for (std::size_t i = 0; i < sessions_.size(); ++i)
        if (ms < sessions_[i].startMs + sessions_[i].durationMs)
            return static_cast<int>(i);
    return static_cast<int>(sessions_.size()) - 1;
}

int VideoTimeline::slideAt(std::int64_t ms) const
{
    if (sessions_.empty())
        return -1;
    ms = std::clamp<std::int64_t>(ms, 0, totalMs_);
    const VideoSession& s = sessions_[sessionAt(ms)];
    const std::int64_t inSession = std::clamp<std::int64_t>(ms - s.startMs, 0, s.durationMs);
    const int last = s.firstSlide + s.slideCount - 1;
    for (int k = s.firstSlide; k < last; ++k)
        if (inSession < slides_[k].offsetMs + slides_[k].delayMs)
            return k;
    return last;
}

int VideoTimeline::transitionOf(int index) const
{
    const int value = slides_[index].transition;
    if (value == kRandomTransition)
        return static_cast<int>(std::floor(firstSeeded(static_cast<std::uint32_t>(index + 1)) * kTransitionCount));
    return value >= 0 && value < kTransitionCount ? value : -1;
}

std::int64_t VideoTimeline::ownTimeMs(int index) const
{
    const VideoSlide& slide = slides_[index];
    const VideoSession& s = sessions_[slide.session];
    const bool last = index == s.firstSlide + s.slideCount - 1;
    return last ? s.durationMs - slide.offsetMs : slide.delayMs;
}

double VideoTimeline::transitionLengthMs(int index) const
{
    const std::int64_t own = ownTimeMs(index);
    return own > 0 ? std::min<double>(kTransitionMs, own / 2.0) : kTransitionMs;
}

VideoTransition VideoTimeline::transitionAt(std::int64_t ms) const
{
    VideoTransition result;
    const int k = slideAt(ms);
    if (k <= 0)
        return result;
    const int type = transitionOf(k);
    if (type < 0)
        return result;
    ms = std::clamp<std::int64_t>(ms, 0, totalMs_);
    const double p = double(ms - slides_[k].startMs) / transitionLengthMs(k);
    if (p >= 1)
        return result;
    result.type = type;
    result.from = k - 1;
    result.progress = std::max(0.0, p);
    return result;
}

std::vector<VideoChapter> VideoTimeline::chapters(std::int64_t endMs) const
{
    std::vector<VideoChapter> list;
    endMs = std::min(endMs, totalMs_);
    for (std::size_t k = 0; k < slides_.size(); ++k) {
        const VideoSlide& slide = slides_[k];
        const std::int64_t start = slide.startMs;
        const std::int64_t end = std::min(endMs, start + ownTimeMs(static_cast<int>(k)));
        if (end > start)
            list.push_back({static_cast<int>(k), start, end, slide.title});
    }
    return list;
}

} // namespace pavonia
