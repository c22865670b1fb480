#pragma once
// Saving and loading a project as one .pvp file that carries every working
// file it uses. Both report failures through the document's Ui and return
// false; see docs/project-file.md for the layout.
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"

#include <string>

namespace pavonia {

// Writes the project to `path`: a temporary file beside it is renamed over
// `path` only once complete, so a failed save leaves the old file intact.
// Sets `documentPath` and clears `dirty` on success.
bool SaveProject(ProjectDocument& document, const std::string& path);

// Replaces the tree and working files with the content of `path`. A file
// that is not a project file is refused before anything changes. A load
// that fails later leaves the project without a file name.
bool LoadProject(ProjectDocument& document, TreeOperations& operations, const std::string& path);

// The final component of a name from a project or pack stream, or an empty
// text when it cannot name a file in a folder of ours ("", ".", "..", NUL).
std::string safeFileName(const std::string& storedName);

} // namespace pavonia
