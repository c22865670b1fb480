#pragma once
// A file that replaces its target only once it is whole. The bytes go to a
// new temporary file beside the target (".NAME.saving-XXXXXX", in the same
// folder so that the rename never crosses file systems); commit renames it
// over the target. A file that is not committed is removed when the object
// goes, so a failure anywhere leaves the target as it was. The new file keeps
// the permissions of the one it replaces; a new one gets 0644.
#include "platform/FileOps.h"
#include "platform/Result.h"

#include <string>
#include <string_view>

namespace pavonia {

class ReplacingFile {
public:
    // Makes the temporary file; valid() tells whether that worked.
    explicit ReplacingFile(std::string target);
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
    // Sets the permissions, closes the temporary and renames it over the
    // target; false when any step fails (the temporary is then removed).
    bool commit();

    // The system error of the first step that failed, taken when it failed;
    // a failure noticed by the caller is recorded with noteFailure.
    int systemError() const { return error_; }
    void noteFailure(int error);
    // `message` about the target, with the system error of the failure.
    Failure failure(int message) const { return Failure(message, {target_}, error_); }

private:
    bool failed();
    void discard();

    std::string target_;
    std::string temporary_;
    FileHandle out_;
    int error_ = 0;
    bool committed_ = false;
};

} // namespace pavonia
