#include "platform/FileOps.h"

#include "platform/ReplacingFile.h"
#include "platform/StringTable.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pavonia {

std::string systemErrorText(int error)
{
    std::string text = error == kNotRegularFileError ? StringTable::text(str::NotARegularFile) : std::strerror(error);
    if (text.size() > 255)
        text.resize(255);
    return text;
}

namespace {

bool writeFully(int out, const char* data, std::size_t size)
{
    std::size_t written = 0;
    while (written < size) {
        const ssize_t w = ::write(out, data + written, size - written);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        written += static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace

FileHandle::~FileHandle()
{
    if (fd_ >= 0)
        ::close(fd_);
}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileHandle FileHandle::openRead(const std::string& path)
{
    // Opened without waiting, so that a pipe without a writer cannot hold
    // the program; anything but a regular file (or a folder, which says so
    // itself) is then refused.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid())
        return file;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return {};
    if (S_ISDIR(info.st_mode) || !S_ISREG(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFileError;
        file = FileHandle();
        errno = error;
        return file;
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    return file;
}

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileHandle FileHandle::openWrite(const std::string& path)
{
    return FileHandle(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

FileHandle FileHandle::create(const std::string& path, Creation how)
{
    if (how == Creation::Replace && ::unlink(path.c_str()) != 0 && errno != ENOENT)
        return FileHandle();
    return FileHandle(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
}

bool FileHandle::close()
{
    if (fd_ < 0)
        return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
}

std::size_t FileHandle::readFully(void* data, std::size_t size)
{
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd_, bytes + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool FileHandle::writeAll(const void* data, std::size_t size)
{
    return writeFully(fd_, static_cast<const char*>(data), size);
}

std::int64_t FileHandle::position() const
{
    return ::lseek(fd_, 0, SEEK_CUR);
}

bool FileHandle::seek(std::int64_t offset)
{
    return ::lseek(fd_, offset, SEEK_SET) == offset;
}

std::int64_t FileHandle::size() const
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0)
        return -1;
    return info.st_size;
}

std::uint64_t copyRange(int in, std::uint64_t offset, int out, std::uint64_t count)
{
    std::uint64_t done = 0;
    // The kernel copies between files without a trip through user memory.
    while (done < count) {
        auto from = static_cast<off_t>(offset + done);
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(count - done, 1u << 30));
        const ssize_t n = ::copy_file_range(in, &from, out, nullptr, chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)
                break; // not possible here: fall back to plain reads and writes
            return done;
        }
        if (n == 0)
            break; // the source ended, or this file system copies nothing: read to tell
        done += static_cast<std::uint64_t>(n);
    }
    if (done == count)
        return done;
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(count - done, 1u << 20)));
    while (done < count) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(count - done, buffer.size()));
        const ssize_t n = ::pread(in, buffer.data(), want, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (!writeFully(out, buffer.data(), static_cast<std::size_t>(n)))
            return done;
        done += static_cast<std::uint64_t>(n);
    }
    return done;
}

std::uint64_t copyBytes(int in, int out, std::uint64_t count)
{
    const off_t position = ::lseek(in, 0, SEEK_CUR);
    if (position < 0)
        return 0;
    const std::uint64_t done = copyRange(in, static_cast<std::uint64_t>(position), out, count);
    ::lseek(in, position + static_cast<off_t>(done), SEEK_SET);
    return done;
}

bool copyWholeFile(const std::string& from, const std::string& to)
{
    FileHandle in = FileHandle::openRead(from);
    if (!in.valid())
        return false;
    const std::int64_t size = in.size();
    FileHandle out = FileHandle::openWrite(to);
    if (!out.valid() || size < 0)
        return false;
    if (copyBytes(in.get(), out.get(), static_cast<std::uint64_t>(size)) != static_cast<std::uint64_t>(size))
        return false;
    return out.close();
}

bool copyWholeFileOrRemove(const std::string& from, const std::string& to)
{
    if (copyWholeFile(from, to))
        return true;
    const int error = errno;
    ::unlink(to.c_str());
    errno = error;
    return false;
}

bool copyIntoNewFile(const std::string& from, const std::string& to, Creation how)
{
    FileHandle in = FileHandle::openRead(from);
    const std::int64_t size = in.valid() ? in.size() : -1;
    if (size < 0)
        return false;
    FileHandle out = FileHandle::create(to, how);
    if (!out.valid())
        return false;
    errno = 0;
    if (copyBytes(in.get(), out.get(), static_cast<std::uint64_t>(size)) == static_cast<std::uint64_t>(size) &&
        out.close())
        return true;
    const int error = errno ? errno : EIO;
    out.close();
    ::unlink(to.c_str());
    errno = error;
    return false;
}

FileRead readWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes)
{
    FileHandle in = FileHandle::openRead(path);
    const std::int64_t size = in.valid() ? in.size() : -1;
    if (size < 0)
        return FileRead::CannotOpen;
    if (static_cast<std::uint64_t>(size) > maxBytes)
        return FileRead::TooLarge;
    std::string out(static_cast<std::size_t>(size), '\0');
    errno = 0;
    if (in.readFully(out.data(), out.size()) != out.size()) {
        if (errno == 0)
            errno = EIO; // the file ended early: it shrank while being read
        return FileRead::Failed;
    }
    bytes = std::move(out);
    return FileRead::Ok;
}

bool writeFileReplacing(const std::string& path, std::string_view bytes)
{
    return writeFileReplacing(path, bytes, LinkTarget::WriteThrough);
}

bool writeFileReplacing(const std::string& path, std::string_view bytes, LinkTarget links)
{
    ReplacingFile file(path, links);
    if (file.write(bytes) && file.commit())
        return true;
    errno = file.systemError();
    return false;
}

} // namespace pavonia
