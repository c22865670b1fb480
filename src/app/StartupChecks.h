#pragma once
// The checks made on the installation before the program shows a project:
// in a fixed order, the first that fails is reported and ends the checks.
#include "platform/Result.h"
#include "platform/Ui.h"

#include <string>

namespace pavonia {

struct StartupFolders {
    std::string installation; // the read-only data, ending with "/"
    std::string temp;         // the "Temp" working folder, ending with "/"
    std::string user;         // the "User" working folder, ending with "/"
};

// Runs the checks: "LIPSincData" is there; "Temp" and "User" are there or
// are made; the template library with its script and catalogue, the three
// clip logos and the default talking image and message are there. A
// missing "Temp" or "User" is made only in a folder that is an installation
// (or in the user's own working folders): elsewhere a later check fails.
Result<> runStartupChecks(const StartupFolders& folders);
// The same, showing the failure's message; false after it.
bool StartupChecks(const StartupFolders& folders, Ui& ui);

} // namespace pavonia
