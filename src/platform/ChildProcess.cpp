#include "platform/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <string>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace pavonia {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPoll = std::chrono::milliseconds(20);
constexpr auto kAskEvery = std::chrono::milliseconds(50);
// How long a stopped group has to end after SIGTERM before SIGKILL.
constexpr auto kGrace = std::chrono::milliseconds(1500);

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra)
{
    std::vector<std::string> result;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& x : extra)
            replaced = replaced || nameOf(x) == nameOf(entry);
        if (!replaced)
            result.push_back(entry);
    }
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

// Whether a process of the group still runs. A member that has ended but
// waits to be reaped (its parent gone and the system's first process slow to
// reap it, as in some containers) counts as gone: it holds nothing and
// cannot be stopped further, and waiting for it would only add seconds.
bool groupAlive(pid_t group)
{
    if (::kill(-group, 0) != 0 && errno != EPERM)
        return false;
    DIR* processes = ::opendir("/proc");
    if (!processes)
        return true;
    bool alive = false;
    while (const dirent* entry = ::readdir(processes)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        const std::string path = std::string("/proc/") + entry->d_name + "/stat";
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        char text[512];
        const ssize_t got = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (got <= 0)
            continue;
        text[got] = '\0';
        // "pid (name) state ppid pgrp ...": the name may hold anything but
        // ends at the last ")".
        const char* afterName = std::strrchr(text, ')');
        char state = 0;
        int parent = 0, processGroup = 0;
        if (afterName && std::sscanf(afterName + 1, " %c %d %d", &state, &parent, &processGroup) == 3 &&
            processGroup == group && state != 'Z' && state != 'X') {
            alive = true;
            break;
        }
    }
    ::closedir(processes);
    return alive;
}

// Stops the whole group: SIGTERM first, SIGKILL for whatever is still there
// after a grace period. Reaps the leader.
void stopGroup(pid_t leader)
{
    ::kill(-leader, SIGTERM);
    const auto until = Clock::now() + kGrace;
    bool reaped = false;
    while (Clock::now() < until) {
        if (!reaped) {
            int status = 0;
            reaped = ::waitpid(leader, &status, WNOHANG) == leader;
        }
        if (reaped && !groupAlive(leader))
            return;
        std::this_thread::sleep_for(kPoll);
    }
    ::kill(-leader, SIGKILL);
    if (!reaped) {
        int status = 0;
        ::waitpid(leader, &status, 0);
    }
    // Members other than the leader are children of it (or of init once it
    // is gone); give the kill a moment to land.
    for (int i = 0; i < 50 && groupAlive(leader); ++i)
        std::this_thread::sleep_for(kPoll);
}

} // namespace

std::string findProgram(const std::string& program)
{
    if (program.empty())
        return {};
    auto executable = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
    };
    if (program.find('/') != std::string::npos)
        return executable(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.empty())
            folder = ".";
        const std::string candidate = folder + "/" + program;
        if (executable(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

ProgramRun runProgram(const std::vector<std::string>& argv, const ProgramOptions& options)
{
    ProgramRun run;
    if (argv.empty()) {
        run.error = EINVAL;
        return run;
    }
    const std::string program = findProgram(argv[0]);
    if (program.empty()) {
        run.error = ENOENT;
        return run;
    }

    std::vector<std::string> args = argv;
    std::vector<char*> argPointers;
    for (std::string& a : args)
        argPointers.push_back(a.data());
    argPointers.push_back(nullptr);
    std::vector<std::string> env = mergedEnvironment(options.environment);
    std::vector<char*> envPointers;
    for (std::string& e : env)
        envPointers.push_back(e.data());
    envPointers.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string output = options.outputFile.empty() ? std::string("/dev/null") : options.outputFile;
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);

    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argPointers.data(),
                                      envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        run.error = spawned;
        return run;
    }

    const auto started = Clock::now();
    auto lastAsked = started;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) {
                run.end = ProgramRun::End::Exited;
                run.exitStatus = WEXITSTATUS(status);
            } else {
                run.end = ProgramRun::End::Signalled;
            }
            // Anything the program left behind in its group goes with it.
            if (groupAlive(pid)) {
                ::kill(-pid, SIGKILL);
                for (int i = 0; i < 50 && groupAlive(pid); ++i)
                    std::this_thread::sleep_for(kPoll);
            }
            return run;
        }
        if (done < 0 && errno != EINTR) {
            run.end = ProgramRun::End::Signalled;
            return run;
        }
        const auto now = Clock::now();
        if (options.timeoutMs > 0 && now - started >= std::chrono::milliseconds(options.timeoutMs)) {
            stopGroup(pid);
            run.end = ProgramRun::End::TimedOut;
            return run;
        }
        if (options.keepGoing && now - lastAsked >= kAskEvery) {
            lastAsked = now;
            if (!options.keepGoing()) {
                stopGroup(pid);
                run.end = ProgramRun::End::Cancelled;
                return run;
            }
        }
        std::this_thread::sleep_for(kPoll);
    }
}

} // namespace pavonia
