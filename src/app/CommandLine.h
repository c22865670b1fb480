#pragma once
// The project path named on the program's command line, cleaned the way the
// first and a second instance each clean it before opening or handing it on.
#include "platform/Result.h"

#include <string>
#include <vector>

namespace pavonia {

// The command line as one text: the arguments after the program's name,
// joined by blanks (a shell has already taken the quotes off them).
std::string joinedCommandLine(const std::vector<std::string>& arguments);

// A first instance: one leading and, independently, one trailing double
// quote go; when ".pvp" (in any case) occurs after the first character and
// ends the text or is followed by a blank or a quote, the text is cut right
// behind the first such ".pvp" (further arguments are dropped). The letters
// keep their case: file names are case-sensitive here.
std::string cleanFirstInstanceCommandLine(std::string text);
// A second instance: one leading and one trailing double quote go.
std::string cleanSecondInstanceCommandLine(std::string text);

// The full form of `path` (made absolute against the current folder, with
// "." and ".." resolved); empty when there is no such file.
std::string expandedProjectPath(const std::string& path);

// The path to open: the expanded form of `cleaned`, when its extension is
// "pvp" in any case. Otherwise the failure "Cannot open invalid file!", which
// names the expanded path (or the cleaned text when it did not expand).
Result<std::string> checkedProjectPath(const std::string& cleaned);

} // namespace pavonia
