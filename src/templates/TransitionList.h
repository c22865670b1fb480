#pragma once
// The transitions a slide can take, as the template catalogue "Pavonia.ini"
// in the installation's "Template" folder lists them: section "Global", key
// "TransitionCount" = N (the highest index, 0 when missing), and section
// "Transition", keys "Trans0" to "TransN" holding the names. Entry i sits at
// list position i and stands for slide transition i - 1, so the first entry
// is the slide value -1.
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

struct TransitionEntry {
    std::string name;
    int value = -1; // what a slide stores: the list position minus 1

    bool operator==(const TransitionEntry&) const = default;
};

class TransitionList {
public:
    static constexpr const char* kCatalogueName = "Pavonia.ini";
    // The highest index taken from the catalogue; a larger count is read as
    // this one, so a damaged count cannot make the list endless.
    static constexpr int kMaxIndex = 255;

    explicit TransitionList(const std::string& installationFolder);

    const std::string& cataloguePath() const { return cataloguePath_; }

    // The list as the catalogue holds it now; nothing when the catalogue is
    // missing. A "Trans" key missing inside 0..N keeps its position with an
    // empty name, so every later entry keeps the position and value that
    // slides and the preferences store for it.
    std::optional<std::vector<TransitionEntry>> read() const;

    // "Ini file lost. (%s)" naming the catalogue, for when read() fails.
    std::string lostMessage() const;

private:
    std::string cataloguePath_;
};

} // namespace pavonia
