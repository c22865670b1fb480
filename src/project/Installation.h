#pragma once
// What makes a folder an installation: the marks the command line and the
// program look for before they write or delete anything in it.
#include <string>

namespace pavonia {

inline constexpr const char* kTemplateFolderName = "Template";
inline constexpr const char* kDefaultTalkingImageName = "default_tjm.tjm";
inline constexpr const char* kDefaultTalkingMessageName = "default_tps.tps";

// Empty when `folder` (ending with "/") is an installation folder: it holds
// the template library (a "Template" folder, in any case) and the default
// talking image and message. Otherwise the message that says why not; an
// empty `folder` is never one.
std::string installationProblem(const std::string& folder);

} // namespace pavonia
