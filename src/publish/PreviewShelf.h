#pragma once
// Where published previews live: each in a folder of its own, "Preview-"
// and six letters, in the "User" folder of the working area. A preview is
// published into a folder of the run's own and moved onto the shelf whole,
// so a page that was printed or opened stays complete after the run that
// made it has ended, whatever other runs publish meanwhile. The shelf keeps
// the newest kKeptPreviews previews; older ones go as new ones arrive.
#include <string>

namespace pavonia {

inline constexpr int kKeptPreviews = 10;

// Moves the published folder `staged` onto `shelf` (both ending with "/")
// and returns its new path, ending with "/", after removing the previews
// beyond the newest kKeptPreviews. Empty, with errno set and `staged` left
// where it is, when it cannot be moved.
std::string shelvePreview(const std::string& staged, const std::string& shelf);

} // namespace pavonia
