#pragma once
// The store of private file copies that writes and reads the pack stream at
// the end of a project file:
//   "NBSVMNGR", entry count (int32), then per entry: name length (int32),
//   name (the full path the file was packed from), last-write time (Windows
//   FILETIME, 8 bytes), size (uint32), the file's bytes.
// All integers little-endian.
#include "platform/FileOps.h"
#include "platform/Result.h"
#include "platform/Ui.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

class SvMngr {
public:
    struct Entry {
        std::string source;      // the path the file was packed from
        std::string privateCopy; // where its bytes are now
        std::uint64_t fileTime = 0;
        std::uint32_t size = 0;
        // The private copy could not be made (a full disk, say): the stream
        // takes the bytes from the source instead.
        bool privateCopyFailed = false;
        // Read from a stream that ended before the file's last byte: the
        // copy holds only what was there.
        bool cutShort = false;
    };

    // Add modes.
    static constexpr int kReplace = 0;
    static constexpr int kReplaceIfNewer = 1;
    static constexpr int kKeep = 2;
    // What add answers for a file whose size does not fit the stream's
    // 32-bit size field (such a file is not packed).
    static constexpr int kFileTooLarge = -2;

    static constexpr std::int32_t kMaxNameLength = 4096;

    // Creates (or empties) the folder system temp + "~#SvMngr/". On failure
    // the folder is empty and "Create Temp Directory Failed !" is shown.
    SvMngr(const std::string& systemTempFolder, Ui& ui);
    ~SvMngr();
    SvMngr(const SvMngr&) = delete;
    SvMngr& operator=(const SvMngr&) = delete;

    const std::string& folder() const { return folder_; }

    // Private copies are made when a file is added (the default), or only
    // when the stream is written (the source is then read at that moment).
    // Both give the same stream; the deferred way moves each byte once.
    void setDeferredCopies(bool deferred) { deferred_ = deferred; }

    void clear();
    // Entry count after the add, -1 (missing file, or kept by the mode) or
    // kFileTooLarge.
    int add(const std::string& path, int mode);
    int find(const std::string& path) const;
    int count() const { return static_cast<int>(entries_.size()); }
    const Entry& entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    bool changed() const { return changed_; }

    // Writes the stream into a file at `path`, which it replaces only once
    // written whole (see ReplacingFile). True when written, false when there
    // was nothing new to write; a failure carries the system's error.
    Result<bool> writeStream(const std::string& path);
    // Writes the stream at the current position of `out`, answering as above.
    // A failed write fails with str::WriteProjectFileFailed and the error
    // taken when the write failed (its path place is left to the caller).
    Result<bool> writeStream(FileHandle& out);

    // Where an entry's bytes go while reading: into the private folder, to a
    // path of the caller's (the bytes are then copied once), or nowhere.
    struct Placement {
        enum Kind { PrivateFolder, Path, Skip } kind = PrivateFolder;
        std::string path;
    };
    using Placer = std::function<Placement(const std::string& name)>;

    // Reads a stream file into private copies. `limit` < 0 reads every entry.
    // False when the stream does not begin with the magic. A damaged stream
    // ends the reading at the damage, keeping the entries before it (see
    // complete()). An entry's name only tells which file it is: it is never
    // opened.
    bool readStream(const std::string& path, int limit);
    // Reads a stream from the current position of `in` up to `end`, placing
    // each entry's bytes as `placer` says; answers as above. Fails with
    // str::TempProjectFileError and the system's error when a file could not
    // be written.
    Result<bool> readStream(FileHandle& in, std::int64_t end, int limit, const Placer& placer = {});
    // After a read: false when the stream ended before the entries it
    // announced (the entries cut short are marked).
    bool complete() const { return complete_; }

    // Last-write time of a file as a Windows FILETIME; nothing when missing.
    static std::optional<std::uint64_t> fileTimeOf(const std::string& path);

private:
    std::string privateCopyName(int position, const std::string& name) const;

    std::string folder_;
    std::vector<Entry> entries_;
    bool changed_ = false;
    bool deferred_ = false;
    bool complete_ = true;
};

} // namespace pavonia
