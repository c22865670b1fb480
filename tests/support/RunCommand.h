#pragma once
// Runs a shell command as a test would from a terminal and keeps what it
// printed.
#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace pavonia::test {

struct CommandRun {
    int status = -1; // the exit status; -1 when it could not start or did not exit
    std::string out; // what it wrote to standard output
};

inline CommandRun runCommand(const std::string& command)
{
    CommandRun result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace pavonia::test
