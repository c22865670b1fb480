#pragma once
// Runs a piece of a test in a child process, for what must not touch the
// test program itself: a limit on file sizes that stands for a full disk.
#include <functional>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pavonia::test {

// Runs `body` in a forked child; returns 0 when it returned true, 1 when
// false, and -1 when the child did not end normally.
inline int inChildProcess(const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body() ? 0 : 1);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Makes every write past `bytes` of a file fail with EFBIG, as a full disk
// would, instead of ending the process.
inline void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace pavonia::test
