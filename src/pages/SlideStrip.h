#pragma once
// The picture strip of the slide voice page: for each slide of the session
// the picture shown for it and its sub-topic, which picture is shown now, and
// the marks, the times in the voice at which each slide starts (from the
// slides' delays, or taken while syncing or recording).
#include "project/Records.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pavonia {

class SlideStrip {
public:
    // Reads the pictures and sub-topics of `slides`; a medium that is no
    // picture shows the program's logo of its kind, one without a logo shows
    // nothing. The marks are not touched.
    void load(const std::vector<SlideData*>& slides, const std::string& installationFolder);

    // Marks from the slides' delays: 0, then the end of each slide.
    void marksFromDelays(const std::vector<SlideData*>& slides);
    // Marks taken afresh: only the start at 0.
    void restartMarks() { marks_.assign(1, 0); }
    void addMark(std::int64_t ms) { marks_.push_back(ms); }
    // Moves every mark after the start by `offset`.
    void shiftMarks(std::int64_t offset);
    // Each slide's delay becomes the time from its mark to the next one;
    // slides without a following mark keep theirs.
    void writeDelays(const std::vector<SlideData*>& slides) const;
    // The picture a preview shows at `ms`: the last one whose mark has passed.
    int pictureAt(std::int64_t ms) const;

    int count() const { return int(pictures_.size()); }
    int current() const { return current_; }
    void setCurrent(int index) { current_ = index; }
    // "%d / %d": the picture shown of how many.
    std::string numberText() const;

    const std::vector<std::string>& pictures() const { return pictures_; }
    const std::vector<std::string>& subTopics() const { return subTopics_; }
    const std::vector<std::int64_t>& marks() const { return marks_; }

private:
    std::vector<std::string> pictures_;
    std::vector<std::string> subTopics_;
    std::vector<std::int64_t> marks_;
    int current_ = 0;
};

} // namespace pavonia
