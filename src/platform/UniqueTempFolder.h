#pragma once
// Fresh working folders in the system temporary folder: the temporary folder
// path followed by "_ppt" and a counter in lower-case hexadecimal. The
// counter starts at the low 16 bits of the millisecond tick count and goes up
// (modulo 65,536) until no file or folder of that name exists.
#include "platform/Clock.h"

#include <string>

namespace pavonia {

// Creates the folder and returns it with a trailing "/"; empty when every
// name is taken or the folder cannot be created. `systemTempFolder` ends
// with "/".
std::string makeUniqueTempFolder(const std::string& systemTempFolder, const Clock& clock);

// Removes such a folder with everything in it. Refuses anything that is not
// a "_ppt" folder directly inside `systemTempFolder`, so that the temporary
// folder itself (or any other) is never removed.
bool deleteUniqueTempFolder(const std::string& folder, const std::string& systemTempFolder);

} // namespace pavonia
