#include "platform/ReplacingFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

namespace {

constexpr const char* kDecoration = ".saving-";
constexpr std::size_t kSuffixLength = 6; // as mkstemp's "XXXXXX"
constexpr int kMaxLinkHops = 40;         // as the system's own limit on a path's links

// `path` with its symbolic links followed until it names no link (which may
// name nothing yet); empty with `error` set when the links go round.
std::string followLinks(std::string path, int& error)
{
    for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= link.size()) {
            error = length < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        link.resize(static_cast<std::size_t>(length));
        if (link.front() == '/') {
            path = link;
        } else {
            const std::size_t slash = path.rfind('/');
            path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + link;
        }
    }
    error = ELOOP;
    return {};
}

bool isSuffixCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string randomSuffix()
{
    static constexpr char kCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kCharacters - 2);
    std::string suffix(kSuffixLength, '\0');
    for (char& c : suffix)
        c = kCharacters[pick(generator)];
    return suffix;
}

bool earlier(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

} // namespace

std::string ReplacingFile::temporaryPrefix(const std::string& fileName, std::size_t nameMax)
{
    const std::size_t decoration = 1 + std::char_traits<char>::length(kDecoration) + kSuffixLength;
    std::size_t keep = fileName.size();
    if (keep + decoration > nameMax) {
        keep = nameMax > decoration ? nameMax - decoration : 0;
        // Not in the middle of a character: a UTF-8 continuation byte is 10xxxxxx.
        while (keep > 0 && (static_cast<unsigned char>(fileName[keep]) & 0xc0) == 0x80)
            --keep;
    }
    return "." + fileName.substr(0, keep) + kDecoration;
}

ReplacingFile::ReplacingFile(std::string target, LinkTarget links) : target_(std::move(target))
{
    destination_ = links == LinkTarget::WriteThrough ? followLinks(target_, error_) : target_;
    if (destination_.empty()) {
        if (error_ == 0)
            error_ = ENOENT;
        return;
    }
    const std::size_t slash = destination_.rfind('/');
    folder_ = slash == std::string::npos ? std::string("./") : destination_.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? destination_ : destination_.substr(slash + 1);
    const long nameMax = ::pathconf(folder_.c_str(), _PC_NAME_MAX);
    prefix_ = temporaryPrefix(name, nameMax > 0 ? static_cast<std::size_t>(nameMax) : NAME_MAX);
    if (!openTemporary()) {
        error_ = errno;
        out_ = FileHandle();
        temporary_.clear();
        return;
    }
    removeAbandonedTemporaries();
}

bool ReplacingFile::openTemporary()
{
    out_ = FileHandle(::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (!out_.valid()) {
        // This file system (or this system) has no unnamed files: one with a name.
        std::string pattern = folder_ + prefix_ + "XXXXXX";
        out_ = FileHandle(::mkostemp(pattern.data(), O_CLOEXEC));
        if (!out_.valid())
            return false;
        temporary_ = pattern;
    }
    // Held until the temporary is renamed or gone, so that no other save of
    // the target takes it as left behind.
    struct stat info {};
    if (::flock(out_.get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(out_.get(), &info) != 0) {
        const int error = errno;
        if (!temporary_.empty())
            ::unlink(temporary_.c_str());
        errno = error;
        return false;
    }
    created_ = info.st_mtim;
    return true;
}

void ReplacingFile::removeAbandonedTemporaries() const
{
    DIR* folder = ::opendir(folder_.c_str());
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix_.size() + kSuffixLength || name.compare(0, prefix_.size(), prefix_) != 0)
            continue;
        bool suffixMatches = true;
        for (std::size_t i = prefix_.size(); i < name.size(); ++i)
            suffixMatches = suffixMatches && isSuffixCharacter(name[i]);
        const std::string path = folder_ + name;
        if (!suffixMatches || path == temporary_)
            continue;
        struct stat info {};
        // Only plain files of ours, older than the temporary just made: a
        // newer one belongs to a save that started after this one.
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
            !earlier(info.st_mtim, created_))
            continue;
        FileHandle candidate(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        // A lock that is free means its writer is gone; held while removing,
        // so that two saves never remove one file twice.
        if (candidate.valid() && ::flock(candidate.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
    }
    ::closedir(folder);
}

ReplacingFile::~ReplacingFile() { discard(); }

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : target_(std::move(other.target_)),
      destination_(std::move(other.destination_)),
      folder_(std::move(other.folder_)),
      prefix_(std::move(other.prefix_)),
      temporary_(std::move(other.temporary_)),
      out_(std::move(other.out_)),
      created_(other.created_),
      error_(other.error_),
      committed_(other.committed_)
{
    other.temporary_.clear();
}

ReplacingFile& ReplacingFile::operator=(ReplacingFile&& other) noexcept
{
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        destination_ = std::move(other.destination_);
        folder_ = std::move(other.folder_);
        prefix_ = std::move(other.prefix_);
        temporary_ = std::move(other.temporary_);
        out_ = std::move(other.out_);
        created_ = other.created_;
        error_ = other.error_;
        committed_ = other.committed_;
        other.temporary_.clear();
    }
    return *this;
}

void ReplacingFile::discard()
{
    if (committed_)
        return;
    // An unnamed temporary goes with its descriptor; a named one is removed
    // while still locked.
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    out_ = FileHandle();
    temporary_.clear();
}

void ReplacingFile::noteFailure(int error)
{
    if (error_ == 0)
        error_ = error;
}

bool ReplacingFile::failed()
{
    noteFailure(errno);
    return false;
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (!valid())
        return false;
    return out_.writeAll(bytes.data(), bytes.size()) || failed();
}

bool ReplacingFile::nameUnnamedTemporary()
{
    // A file without a name gets one only through a link; the descriptor's
    // own entry in /proc serves where linking by descriptor needs a privilege.
    const std::string self = "/proc/self/fd/" + std::to_string(out_.get());
    for (int tries = 0; tries < 100; ++tries) {
        const std::string path = folder_ + prefix_ + randomSuffix();
        if (::linkat(out_.get(), "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ||
            ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = path;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool ReplacingFile::commit()
{
    if (!valid())
        return false;
    struct stat previous {};
    const mode_t mode = ::stat(destination_.c_str(), &previous) == 0 ? previous.st_mode & 07777 : 0644;
    // Renamed while the temporary is still open and locked, then closed: a
    // close that fails tells of bytes that never reached the disk.
    if (::fchmod(out_.get(), mode) != 0 || (temporary_.empty() && !nameUnnamedTemporary()) ||
        ::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        failed();
        discard();
        return false;
    }
    committed_ = true;
    if (!out_.close())
        return failed();
    return true;
}

} // namespace pavonia
