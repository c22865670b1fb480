#include "pages/InfoPageLogic.h"

#include "platform/Text.h"

#include <algorithm>

namespace pavonia {

std::array<int, InfoPageLogic::kColumns> InfoPageLogic::columnWidths(int clientWidth)
{
    const int u = std::max(0, clientWidth) / 12;
    // Tenths of u, so the fractions are cut as the widths are computed.
    return {u * 14 / 10, u * 4, u * 18 / 10, u * 37 / 10, u * 18 / 10};
}

std::vector<InfoRow> InfoPageLogic::rows(const ProjectTree& tree) const
{
    const std::vector<TransitionEntry> transitions = transitions_.read().value_or(std::vector<TransitionEntry>{});
    const auto transitionName = [&](int value) -> std::string {
        // Entry i stands for the slide value i - 1 ("Trans%d" with value + 1).
        const long long position = static_cast<long long>(value) + 1;
        if (position < 0 || position >= static_cast<long long>(transitions.size()))
            return {};
        return transitions[static_cast<std::size_t>(position)].name;
    };

    std::vector<InfoRow> rows;
    std::string lastSubTopic;
    int sessionNumber = 0;
    for (const TreeItem* session : tree.sessions()) {
        ++sessionNumber;
        bool first = true;
        for (const auto& child : session->children()) {
            const SlideData* slide = child->slide();
            if (!slide)
                continue;
            InfoRow row;
            if (first)
                row.session = std::to_string(sessionNumber);
            first = false;
            if (rows.empty() || !equalsIgnoreCase(slide->subTopic, lastSubTopic)) {
                row.subTopic = slide->subTopic;
                lastSubTopic = slide->subTopic;
            } else {
                row.subTopic = std::string(1, '-');
            }
            row.delay = formatFixed2(slide->delay);
            row.transition = transitionName(slide->transition);
            row.media = extensionOf(slide->mediaPath);
            for (char& c : row.media)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

} // namespace pavonia
