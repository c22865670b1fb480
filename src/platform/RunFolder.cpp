#include "platform/RunFolder.h"

#include "platform/Folders.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPrefix = "run-";
constexpr const char* kLockName = "lock";
constexpr const char* kNewLockName = "lock-new";
// A folder without its lock file is one being claimed right now, unless it
// is older than this: then its process died between the two steps.
constexpr auto kClaimGrace = std::chrono::minutes(10);

bool isRunFolderName(const std::string& name)
{
    return name.size() > std::char_traits<char>::length(kPrefix) && name.rfind(kPrefix, 0) == 0;
}

bool olderThanGrace(const fs::path& folder)
{
    std::error_code ec;
    const auto written = fs::last_write_time(folder, ec);
    return !ec && fs::file_time_type::clock::now() - written > kClaimGrace;
}

} // namespace

RunFolder::RunFolder(const std::string& parent)
{
    if (!folders::createPath(parent)) {
        error_ = errno ? errno : EACCES;
        return;
    }
    sweepAbandoned(parent);
    std::string pattern = parent + kPrefix + "XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        error_ = errno;
        return;
    }
    const std::string folder = pattern + "/";
    // The lock file takes its name only once it is locked, so that a
    // process sweeping the area never finds it free while this one lives.
    const std::string fresh = folder + kNewLockName;
    const int lock = ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(fresh.c_str(), (folder + kLockName).c_str()) != 0) {
        error_ = errno;
        if (lock >= 0)
            ::close(lock);
        std::error_code ec;
        fs::remove_all(pattern, ec);
        return;
    }
    lock_ = lock;
    path_ = folder;
}

RunFolder::~RunFolder()
{
    if (lock_ < 0)
        return;
    std::error_code ec;
    fs::remove_all(path_, ec);
    ::close(lock_);
}

void RunFolder::sweepAbandoned(const std::string& parent)
{
    for (const fs::directory_entry& entry : folders::entriesOf(parent)) {
        if (!isRunFolderName(entry.path().filename().string()) || !folders::isRealFolder(entry))
            continue;
        const std::string lockPath = (entry.path() / kLockName).string();
        const int lock = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        std::error_code ec;
        if (lock < 0) {
            if (errno == ENOENT && olderThanGrace(entry.path()))
                fs::remove_all(entry.path(), ec);
            continue;
        }
        // Held while deleting, so that two sweeps never work on one folder.
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0)
            fs::remove_all(entry.path(), ec);
        ::close(lock);
    }
}

} // namespace pavonia
