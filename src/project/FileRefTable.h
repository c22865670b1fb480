#pragma once
// The working copies in use, each with the path it was made from and the
// number of items sharing it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

struct FileRef {
    std::string source; // the path the copy was made from, or the copy itself
    std::string copy;   // the working copy's full path
    std::int32_t refCount = 1;
};

class FileRefTable {
public:
    // The first entry whose source or copy equals `path` without regard to
    // ASCII case.
    std::optional<std::size_t> find(const std::string& path) const;
    std::size_t add(std::string source, std::string copy);
    void increment(std::size_t index) { entries_.at(index).refCount++; }
    void decrement(std::size_t index) { entries_.at(index).refCount--; }
    void removeAt(std::size_t index);
    void clear() { entries_.clear(); }

    std::size_t size() const { return entries_.size(); }
    const FileRef& operator[](std::size_t index) const { return entries_.at(index); }
    const std::vector<FileRef>& entries() const { return entries_; }

private:
    std::vector<FileRef> entries_;
};

} // namespace pavonia
