// pkseed.exe: the head of an executable export. Reads the pack at the end of
// its own file, checks every entry, unpacks the files into a fresh private
// folder, runs the player the pack names with the page and window size,
// waits for it, and removes the folder. Where the player cannot start, the
// page opens in the desktop's web browser instead.
#include "CabinetReader.h"
#include "CommandLine.h"
#include "PackReader.h"

#include "platform/StringTable.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace pavonia;
using namespace pavonia::seed;

namespace {

volatile std::sig_atomic_t stopSignal = 0;
volatile pid_t childPid = 0;

void onStopSignal(int signal)
{
    stopSignal = signal;
    if (childPid > 0)
        ::kill(childPid, signal);
}

void say(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

std::string describe(const Problem& problem)
{
    return StringTable::format(str::StubDamaged, {fillArguments(StringTable::text(problem.text), problem.arguments)});
}

std::string ownPath()
{
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

int removeEntry(const char* path, const struct stat*, int, struct FTW*)
{
    ::remove(path);
    return 0;
}

void removeFolder(const std::string& folder)
{
    ::nftw(folder.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// A folder only this user can enter, in the system temporary folder.
std::string makePrivateFolder()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = (base && base[0] == '/' ? std::string(base) : std::string("/tmp")) + "/pavonia-show-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// Creates the folders on the way to `relative` inside `folder`.
bool makeParents(const std::string& folder, const std::string& relative)
{
    for (std::size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1)) {
        const std::string path = folder + "/" + relative.substr(0, slash);
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Unpacks every entry; false after a message.
bool unpack(FileSource& source, const Pack& pack, const std::string& folder)
{
    for (const PackEntry& entry : pack.entries) {
        const std::string path = folder + "/" + entry.path;
        if (!makeParents(folder, entry.path)) {
            say(StringTable::format(str::StubCannotUnpack, {folder, std::strerror(errno)}));
            return false;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            say(StringTable::format(str::StubCannotUnpack, {folder, std::strerror(errno)}));
            return false;
        }
        int writeError = 0;
        const CabinetRead read =
            expandCabinet(source, entry.dataOffset, entry.dataSize, [&](const std::uint8_t* data, std::size_t size) {
                if (stopSignal)
                    return false;
                if (writeAll(fd, data, size))
                    return true;
                writeError = errno;
                return false;
            });
        if (::close(fd) != 0 && read == CabinetRead::Ok)
            writeError = errno;
        if (stopSignal)
            return false;
        if (read == CabinetRead::Damaged) {
            say(describe(Problem{str::StubCabinetDamaged, {entry.path}}));
            return false;
        }
        if (read != CabinetRead::Ok || writeError != 0) {
            say(StringTable::format(str::StubCannotUnpack, {folder, std::strerror(writeError ? writeError : EIO)}));
            return false;
        }
    }
    return true;
}

// Runs `program` with `arguments` in `folder` and waits for it. Returns its
// exit status, 128 + the signal that ended it, or -1 when it could not be
// started at all.
int runAndWait(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
               bool searchPath)
{
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return -1;
    }
    if (pid == 0) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (::chdir(folder.c_str()) == 0) {
            if (searchPath)
                ::execvp(program.c_str(), argv.data());
            else
                ::execv(program.c_str(), argv.data());
        }
        const int error = errno;
        (void)!::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    childPid = pid;
    ::close(report[1]);
    int execError = 0;
    const bool notStarted = ::read(report[0], &execError, sizeof execError) == sizeof execError;
    ::close(report[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    childPid = 0;
    if (notStarted)
        return -1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

bool waitForEnter()
{
    if (!::isatty(STDIN_FILENO))
        return false;
    say(StringTable::text(str::StubPressEnter));
    int c;
    while ((c = std::getchar()) != EOF && c != '\n') {
    }
    return true;
}

} // namespace

int main()
{
    const std::string self = ownPath();
    const int fd = self.empty() ? -1 : ::open(self.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        say(StringTable::format(str::StubCannotReadSelf, {self, std::strerror(errno)}));
        return 1;
    }
    FileSource source(fd, static_cast<std::uint64_t>(info.st_size));
    Pack pack;
    Problem problem;
    if (!readPack(source, pack, problem)) {
        say(describe(problem));
        return 1;
    }

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);

    const std::string folder = makePrivateFolder();
    if (folder.empty()) {
        say(StringTable::format(str::StubCannotUnpack, {"/tmp", std::strerror(errno)}));
        return 1;
    }
    if (!unpack(source, pack, folder)) {
        removeFolder(folder);
        return 1;
    }
    ::close(fd);

    const std::vector<std::string> words = splitCommandLine(pack.trailer.commandLine);
    int status = -1;
    if (!pack.player.empty()) {
        const std::string player = folder + "/" + pack.player;
        if (::chmod(player.c_str(), 0700) == 0)
            status = runAndWait(player, words, folder, false);
        else
            say(StringTable::format(str::StubPlayerMissing, {pack.trailer.player}));
    }
    if (stopSignal) {
        removeFolder(folder);
        return 128 + stopSignal;
    }
    // Not started, not runnable (a missing library), no display, or stopped
    // by its toolkit before any window appeared: the browser shows the page.
    const bool started = status >= 0 && status != 126 && status != 127 && status != kPlayerCannotStart &&
                         status != 128 + SIGABRT;
    if (started) {
        removeFolder(folder);
        return status;
    }

    // The player cannot show the page: the desktop's browser does.
    say(StringTable::text(str::StubOpeningBrowser));
    const auto page = safeRelativePath(playerArguments(words).page);
    if (!page || runAndWait("xdg-open", {folder + "/" + *page}, folder, true) != 0) {
        say(StringTable::format(str::StubNoBrowser, {folder}));
        return 1;
    }
    if (waitForEnter() || stopSignal) {
        removeFolder(folder);
        return 0;
    }
    say(StringTable::format(str::StubFilesKept, {folder}));
    return 0;
}
