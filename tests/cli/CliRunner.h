#pragma once
// pavonia-cli run as a user would run it from a shell.
#include "RunCommand.h"

#include <string>

namespace pavonia::test {

// `text` in single quotes, for a path or argument with blanks.
inline std::string quoted(const std::string& text)
{
    return "'" + text + "'";
}

// Runs pavonia-cli with `arguments`; its error output is dropped, or folded
// into the output with `withErrors`.
inline CommandRun runCli(const std::string& arguments, bool withErrors = false)
{
    return runCommand(std::string(PAVONIA_CLI) + " " + arguments + (withErrors ? " 2>&1" : " 2>/dev/null"));
}

} // namespace pavonia::test
