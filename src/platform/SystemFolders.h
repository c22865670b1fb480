#pragma once
// Where the system keeps the user's documents and temporary files.
#include <optional>
#include <string>

namespace pavonia {

// The user's documents folder, with a trailing "/", when the desktop tells one
// (XDG_DOCUMENTS_DIR, the user-dirs file, or ~/Documents when it exists).
std::optional<std::string> userDocumentsFolder();
// The system temporary folder with a trailing "/".
std::string systemTempFolder();
// Appends "/" when `folder` does not end in one.
std::string withTrailingSeparator(std::string folder);
// Drops the trailing "/"s of `path`, though never the root's.
std::string withoutTrailingSeparator(std::string path);

} // namespace pavonia
