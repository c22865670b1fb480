#pragma once
// The JSON description of a loaded project that "pavonia-cli info" prints.
#include "project/ProjectDocument.h"
#include "templates/LayoutLayers.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace pavonia::cli {

// `layers` are the layer flags of the project's layout; `messages` what was
// shown while loading and checking the project.
nlohmann::ordered_json describeProject(const ProjectDocument& document, const LayoutLayers& layers,
                                       const std::vector<std::string>& messages);

// SHA-256 of a file's bytes in lower-case hex, read in blocks; nothing when
// the file cannot be read.
std::optional<std::string> sha256OfFile(const std::string& path);

} // namespace pavonia::cli
