#pragma once
// The information page: one row per slide of the project, in tree order, with
// its session's number, sub-topic, delay, transition name and media type.
// It only displays; the rows are made again each time the page is shown.
#include "project/ProjectTree.h"
#include "templates/TransitionList.h"

#include <array>
#include <string>
#include <vector>

namespace pavonia {

struct InfoRow {
    std::string session;    // "%d" on a session's first row, else empty
    std::string subTopic;   // "-" when it repeats the sub-topic shown last
    std::string delay;      // "%.2f"
    std::string transition; // the catalogue's name; empty when it has none
    std::string media;      // the media file's extension in upper case

    bool operator==(const InfoRow&) const = default;
};

class InfoPageLogic {
public:
    static constexpr int kColumns = 5;

    explicit InfoPageLogic(const TransitionList& transitions) : transitions_(transitions) {}

    // The column widths for a list whose client area is `clientWidth` wide:
    // with u = clientWidth / 12, 1.4u, 4u, 1.8u, 3.7u and 1.8u, cut to whole
    // pixels.
    static std::array<int, kColumns> columnWidths(int clientWidth);

    // The rows for `tree`; the transition names are read from the catalogue
    // on every call, so a changed catalogue shows at the next refresh.
    std::vector<InfoRow> rows(const ProjectTree& tree) const;

private:
    const TransitionList& transitions_;
};

} // namespace pavonia
