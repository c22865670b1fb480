#pragma once
// Saving and loading a project as one .pvp file that carries every working
// file it uses; see docs/project-file.md for the layout. writeProjectFile
// and readProjectFile return their failures; SaveProject and LoadProject
// show them (and the load's warnings) through the document's Ui.
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"

#include <string>
#include <vector>

namespace pavonia {

// Writes the project to `path`: a temporary file beside it is renamed over
// `path` only once complete, so a failed save leaves the old file intact.
// Sets `documentPath` and clears `dirty` on success.
bool SaveProject(ProjectDocument& document, const std::string& path);
Result<> writeProjectFile(ProjectDocument& document, const std::string& path);

// Replaces the tree and working files with the content of `path`. A file
// that is not a project file is refused before anything changes. A load
// that fails later leaves the project without a file name. A file that is
// damaged or cut short loads as far as it can be read, with a warning that
// names the files lost, and sets the document's `loadedDamaged`.
bool LoadProject(ProjectDocument& document, TreeOperations& operations, const std::string& path);
// The same, with what the user is to be told while the load goes on (the
// slide limit, damage) appended to `warnings`.
Result<> readProjectFile(ProjectDocument& document, TreeOperations& operations, const std::string& path,
                         std::vector<Failure>& warnings);

// The final component of a name from a project or pack stream, or an empty
// text when it cannot name a file in a folder of ours ("", ".", "..", NUL).
std::string safeFileName(const std::string& storedName);

} // namespace pavonia
