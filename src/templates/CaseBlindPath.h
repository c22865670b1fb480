#pragma once
// Finding files of the template library without regard to ASCII case. The
// library's names ("Style3", "L2", "Template.htm") are compared without case,
// so a library copied from a case-blind file system, with its names in any
// case, resolves on a case-sensitive one.
#include <string>
#include <vector>

namespace pavonia {

// `folder` (ending with "/") joined with the "/"-separated `relative` path,
// each component replaced by the entry of its folder that equals it without
// regard to case (the exact name first). From the first component that
// exists in no case on, the rest is appended as written.
std::string resolveCaseBlind(const std::string& folder, const std::string& relative);

// The names of the entries of `folder` that match the wildcard `pattern`
// without regard to case, ordered by their lower-case names. Empty when the
// folder cannot be read.
std::vector<std::string> matchingEntries(const std::string& folder, const std::string& pattern);

bool isFile(const std::string& path);
bool isFolder(const std::string& path);

} // namespace pavonia
