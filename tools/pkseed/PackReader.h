#pragma once
// Reading the pack at the end of the self-extracting stub's own file: the
// trailer, then every entry, each checked against the file's real size
// before anything is unpacked, and every stored name checked to stay inside
// the folder it is unpacked into.
#include "export/PackLayout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia::seed {

// Random access to the bytes of a file (or of memory, for tests and fuzzing).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly `count` bytes at `offset`; false when they are not there.
    virtual bool readAt(std::uint64_t offset, void* data, std::size_t count) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool readAt(std::uint64_t offset, void* data, std::size_t count) override;

private:
    std::string_view bytes_;
};

// A file read through its descriptor, which the caller keeps open.
class FileSource final : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    std::uint64_t size() const override { return size_; }
    bool readAt(std::uint64_t offset, void* data, std::size_t count) override;

private:
    int fd_;
    std::uint64_t size_;
};

// What went wrong, as a text of the string table with its arguments.
struct Problem {
    int text = 0;
    std::vector<std::string> arguments;
};

struct PackEntry {
    std::string path;        // the stored name as a safe relative path with "/"
    std::uint64_t dataOffset = 0;
    std::uint64_t dataSize = 0;
};

struct Pack {
    pack::Trailer trailer;
    std::string player;      // the player's name as a safe relative path; empty when none is named
    std::vector<PackEntry> entries;
};

// Reads the trailer at the end of `source` and walks every entry from the
// data offset. False, with `problem` telling why, when the trailer is
// missing, an entry or the entries together do not fit between the data
// offset and the trailer, a header is not a finished cabinet entry, or a
// name would leave the unpacking folder.
bool readPack(ByteSource& source, Pack& pack, Problem& problem);

// `name` as a path inside a folder: "\" and "/" both separate, "." parts are
// dropped; nothing when it is empty, absolute, starts with a drive letter,
// climbs with "..", or holds a control character.
std::optional<std::string> safeRelativePath(std::string_view name);

} // namespace pavonia::seed
