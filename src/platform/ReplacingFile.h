#pragma once
// A file that replaces its target only once it is whole. The bytes go to a
// new temporary file in the target's folder (so that the rename never
// crosses file systems); commit renames it over the target. A file that is
// not committed is removed when the object goes, so a failure anywhere leaves
// the target as it was. The new file keeps the permissions of the one it
// replaces; a new one gets 0644.
//
// Where the file system allows it the temporary has no name until commit
// (an unnamed file linked in as ".NAME.saving-XXXXXX" just before the
// rename), so a process killed while writing leaves nothing behind.
// Elsewhere it is made under that name from the start; the ones a killed
// process left are removed by the next save of the same target: a
// temporary is locked while its writer lives, and only unlocked ones older
// than the new temporary are taken as left behind. A name too long to take
// the decoration is shortened in the temporary's name.
//
// A target that is a symbolic link is written through as editors do (the
// file the link leads to is replaced, and the link stays), unless the file is
// a working file of the program's own: a link planted in a working folder is
// then replaced itself and never written through.
#include "platform/FileOps.h"
#include "platform/Result.h"

#include <ctime>
#include <string>
#include <string_view>

namespace pavonia {

class ReplacingFile {
public:
    // Makes the temporary file; valid() tells whether that worked.
    explicit ReplacingFile(std::string target, LinkTarget links = LinkTarget::WriteThrough);
    ~ReplacingFile();
    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&& other) noexcept;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool valid() const { return out_.valid(); }
    const std::string& target() const { return target_; }
    // The open temporary, for streaming writes, seeks and positions.
    FileHandle& handle() { return out_; }

    // Appends `bytes`; false when the write fails.
    bool write(std::string_view bytes);
    // Sets the permissions and renames the temporary over the target (the
    // file the target's links lead to), then closes it; false when any step
    // fails (the temporary is then removed).
    bool commit();

    // The system error of the first step that failed, taken when it failed;
    // a failure noticed by the caller is recorded with noteFailure.
    int systemError() const { return error_; }
    void noteFailure(int error);
    // `message` about the target, with the system error of the failure.
    Failure failure(int message) const { return Failure(message, {target_}, error_); }

    // The start of the temporaries' names of a file named `fileName` in a
    // folder whose names may be `nameMax` bytes long: ".NAME.saving-", with
    // NAME cut short (at a character boundary) where the whole would not fit
    // six more characters.
    static std::string temporaryPrefix(const std::string& fileName, std::size_t nameMax);

private:
    bool failed();
    void discard();
    bool openTemporary();
    bool nameUnnamedTemporary();
    void removeAbandonedTemporaries() const;

    std::string target_;      // as the caller named it
    std::string destination_; // the file replaced: the target with its links followed
    std::string folder_;      // the destination's folder, ending with "/"
    std::string prefix_;      // see temporaryPrefix
    std::string temporary_;   // the temporary's path, once it has a name
    FileHandle out_;
    timespec created_{};      // when the temporary was made
    int error_ = 0;
    bool committed_ = false;
};

} // namespace pavonia
