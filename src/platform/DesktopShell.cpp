#include "platform/DesktopShell.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace pavonia {

bool DesktopShell::open(const std::string& pathOrUrl)
{
    if (pathOrUrl.empty())
        return false;
    // The argument is passed as one word, never through a shell.
    std::string program = "xdg-open";
    std::string argument = pathOrUrl;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
        return false;
    // xdg-open hands over to the chosen program and ends; waiting for it
    // leaves no zombie behind and tells whether it found a handler.
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace pavonia
