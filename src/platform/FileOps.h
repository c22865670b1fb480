#pragma once
// File operations the core needs beyond std::filesystem: a fast whole-file
// copy, reading a whole file, replacing a file through a temporary, copying
// a byte range between open files in blocks, and the system's text for a
// file error.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace pavonia {

// The error a read of anything but a regular file ends with (a pipe, a
// device, a socket): such things are never read as data, as they may never
// end or never answer. Not a system error number.
inline constexpr int kNotRegularFileError = 0x7f00;

// The platform's description of an errno value (at most 255 characters); our
// own text for kNotRegularFileError.
std::string systemErrorText(int error);

// True when `path` names a regular file (links followed).
bool isRegularFile(const std::string& path);

// Copies `from` over `to` (created or truncated). False with errno set when
// either file cannot be opened or a read or write fails.
bool copyWholeFile(const std::string& from, const std::string& to);
// copyWholeFile, except that a copy failing half-way (a missing source, a
// full disk) removes `to`, so no missing or cut-off file is left behind.
bool copyWholeFileOrRemove(const std::string& from, const std::string& to);

// How a file is created for writing. Neither way ever writes through a
// symbolic link, or into a file that some other entry of the name leads to.
enum class Creation {
    New,     // the name must be free: any entry of that name (a link too) fails with EEXIST
    Replace, // an entry of that name is removed first (a link as a link), then made as New
};
// Copies `from` into a file created at `to` as `how` says. False with errno
// set when anything fails; a file this call created is then removed.
bool copyIntoNewFile(const std::string& from, const std::string& to, Creation how);

enum class FileRead {
    Ok,
    CannotOpen, // the file cannot be opened or its size taken (errno tells why)
    TooLarge,   // larger than the limit; nothing was read
    Failed      // the file could not be read to its end (errno tells why)
};
// Reads the whole of `path` into `bytes`, which is left alone unless the
// result is Ok. A file larger than `maxBytes` is refused before anything is
// read.
FileRead readWholeFile(const std::string& path, std::uint64_t maxBytes, std::string& bytes);

// What becomes of a file to be replaced that is a symbolic link.
enum class LinkTarget {
    WriteThrough, // a user's file: the file the link leads to is replaced, as editors do
    Replace,      // a working file: the link itself is replaced, never written through
};
// Writes `bytes` through a ReplacingFile (see ReplacingFile.h): a failed
// write never leaves a partial file under that name and the old file stays
// whole. False, with errno set and the temporary removed, when anything fails.
// A path that is a symbolic link is written through, or with
// LinkTarget::Replace (a working file) replaced itself.
bool writeFileReplacing(const std::string& path, std::string_view bytes);
bool writeFileReplacing(const std::string& path, std::string_view bytes, LinkTarget links);

// Copies up to `count` bytes from `offset` of descriptor `in` to the current
// position of `out`, leaving the position of `in` alone (so several threads
// may copy from one source at once). Returns the number of bytes copied;
// fewer when `in` ends early or a write fails (errno then tells which).
std::uint64_t copyRange(int in, std::uint64_t offset, int out, std::uint64_t count);

// Copies up to `count` bytes from the current position of descriptor `in` to
// the current position of `out`, in kernel blocks where the system allows.
// Returns the number of bytes copied; fewer than `count` when `in` ends early
// or a write fails (errno then tells which).
std::uint64_t copyBytes(int in, int out, std::uint64_t count);

// A file descriptor closed on scope exit.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Only a regular file is opened: a folder fails with EISDIR, anything
    // else with kNotRegularFileError, without waiting on it.
    static FileHandle openRead(const std::string& path);
    // Creates or truncates.
    static FileHandle openWrite(const std::string& path);
    // Creates an empty file as `how` says, never through a link.
    static FileHandle create(const std::string& path, Creation how);

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    bool close();

    // Reads exactly `size` bytes unless the file ends; returns the count read.
    std::size_t readFully(void* data, std::size_t size);
    bool writeAll(const void* data, std::size_t size);
    std::int64_t position() const;
    bool seek(std::int64_t offset);
    std::int64_t size() const;

private:
    int fd_ = -1;
};

} // namespace pavonia
