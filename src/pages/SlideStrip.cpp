#include "pages/SlideStrip.h"

#include "pages/MediaPageLogic.h"

#include <algorithm>

namespace pavonia {

void SlideStrip::load(const std::vector<SlideData*>& slides, const std::string& installationFolder)
{
    pictures_.clear();
    subTopics_.clear();
    for (const SlideData* slide : slides) {
        pictures_.push_back(mediaPicture(slide->mediaPath, installationFolder));
        subTopics_.push_back(slide->subTopic);
    }
}

void SlideStrip::marksFromDelays(const std::vector<SlideData*>& slides)
{
    restartMarks();
    for (const SlideData* slide : slides)
        marks_.push_back(marks_.back() + std::int64_t(double(slide->delay) * 1000.0 + 0.5));
}

void SlideStrip::shiftMarks(std::int64_t offset)
{
    for (std::size_t i = 1; i < marks_.size(); ++i)
        marks_[i] += offset;
}

void SlideStrip::writeDelays(const std::vector<SlideData*>& slides) const
{
    for (std::size_t i = 0; i < slides.size() && i + 1 < marks_.size(); ++i)
        slides[i]->delay = float(double(marks_[i + 1] - marks_[i]) * 0.001);
}

int SlideStrip::pictureAt(std::int64_t ms) const
{
    int shown = 0;
    for (std::size_t i = 0; i < marks_.size(); ++i)
        if (marks_[i] <= ms)
            shown = int(i);
    return std::min(shown, std::max(count() - 1, 0));
}

std::string SlideStrip::numberText() const
{
    if (pictures_.size() <= 1)
        return "1 / 1";
    return std::to_string(current_ + 1) + " / " + std::to_string(pictures_.size());
}

} // namespace pavonia
