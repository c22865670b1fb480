#pragma once
// A process's working folders and the working copies of a project's files.
// The program never edits a user's file: every file a project uses is copied
// into "Temp" under a time-stamped name and shared through the file reference
// table; a copy is deleted when its count falls below 1.
//
// Several processes may work on one installation at once. Each keeps its
// "Temp" in a folder of its own (a RunFolder of the working area), so that no
// reset or load of one touches another's files. "User" lies in the working
// area itself and holds the published previews, which outlive the process
// that made them.
#include "platform/Result.h"
#include "platform/Clock.h"
#include "project/BackgroundDeleter.h"
#include "project/FileRefTable.h"
#include "project/Records.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pavonia {

class WorkingFolder {
public:
    // Every folder ends with "/". `ownFolder` is the process's own folder,
    // `area` the working area; each empty means the installation folder
    // (one process alone on its installation, as in tests and tools).
    WorkingFolder(std::string installationFolder, std::string systemTempFolder, FileRefTable& refs,
                  const Clock& clock, CRandom& random, std::string ownFolder = {}, std::string area = {});

    std::string tempFolder() const;   // own folder + "Temp/"
    std::string userFolder() const;   // working area + "User/": the published previews
    std::string tempWavePath() const; // system temp + "_pv_tmpWave.wav"
    std::string defaultTalkingImage() const;   // installation + "default_tjm.tjm"
    std::string defaultTalkingMessage() const; // installation + "default_tps.tps"

    // Empties Temp (files only), clears the reference table and deletes the
    // temporary wave file. Creates Temp and User when they are missing. The
    // published previews in User stay: they belong to no one project.
    void reset();

    // Why the last working copy that could not be made failed (the default
    // file is missing, or Temp refuses the copy), and forgets it; nothing
    // when every copy since the last call was made.
    std::optional<Failure> takeCopyFailure() { return std::exchange(copyFailure_, std::nullopt); }

    // The working copy of the default talking image (message) for a new
    // session: shared when one is in the table (its count goes up), else made
    // and entered with count 1.
    std::string sessionTalkingImageCopy();
    std::string sessionTalkingMessageCopy();
    // The working copy of a slide's media: shared when the source (or the
    // copy itself) is in the table, else made under a fresh "Media" name and
    // entered with count 1. A source that cannot be copied still gives its
    // path (the file is then missing; takeCopyFailure() tells why). Empty for an empty source, or when no
    // free name is left (see makeCopyName).
    std::string mediaCopy(const std::string& sourcePath);
    // Copies a background picture under a new "Bg" name, deleting the
    // previous background copy (the first "Bg*" file of Temp); returns the new
    // copy's path. Empty, with the previous copy kept, when the picture
    // cannot be copied. Background copies are not in the reference table.
    std::string backgroundCopy(const std::string& picturePath);

    // Drops a slide's media copy and its "s_" publishing copies.
    void releaseSlide(const SlideData& slide);
    // Drops a session's talking image and message copies, then its slides'.
    void releaseSession(const SessionData& session, const std::vector<const SlideData*>& slides);

    // The full path of a new working copy in Temp: prefix + "%Y%m%d%H%M" of
    // the local time + the number as "%2d" + "." + extension (no dot when
    // `extension` is empty). The number comes from the generator seeded with
    // the millisecond clock just before. A name that is taken (any directory
    // entry, a dangling link too) is never returned: a new time and number are
    // drawn until a free one turns up. While the clock has not moved the
    // generator is not seeded again, so it walks on through its sequence
    // instead of repeating the taken number. Empty only when no free name
    // turned up after a million draws, which needs a clock that stands still
    // and every number of the minute taken. Copies are made under the name
    // only if it is still free when the file is created, and never through a
    // link planted there meanwhile.
    std::string makeCopyName(const std::string& prefix, const std::string& extension);

    // While a hold is kept, the files a reset throws away are deleted only
    // when the hold ends (a load creates many files in the meantime).
    class DeletionHold {
    public:
        explicit DeletionHold(WorkingFolder& folder) : deleter_(folder.deleter_) { deleter_.hold(); }
        ~DeletionHold() { deleter_.release(); }
        DeletionHold(const DeletionHold&) = delete;
        DeletionHold& operator=(const DeletionHold&) = delete;

    private:
        BackgroundDeleter& deleter_;
    };
    // Waits until the files thrown away by resets are gone.
    void finishDeletions() { deleter_.finish(); }

private:
    std::string sessionCopy(const std::string& defaultPath, const std::string& extension);
    // Copies `source` into a new working file named with `prefix` and
    // `extension`; empty after noting the failure when it cannot.
    std::string newCopy(const std::string& source, const std::string& prefix, const std::string& extension);
    void noteCopyFailure(const std::string& source, const std::string& copy, int error);
    // Drops one reference to `path`: below 1 the entry goes and the file is
    // deleted. A path missing from the table is deleted when `deleteUnknown`.
    void releasePath(const std::string& path, bool deleteUnknown);
    // True for a path whose folder is Temp: release never deletes a file
    // anywhere else, whatever a record says.
    bool isInTempFolder(const std::string& path) const;

    // Moves Temp's files into a hidden sub-folder that is deleted in the
    // background; false when that is not possible.
    bool discardTempFiles();

    std::string installationFolder_;
    std::string systemTempFolder_;
    std::string ownFolder_;
    std::string area_;
    std::optional<Failure> copyFailure_;
    BackgroundDeleter deleter_;
    int discardCount_ = 0;
    FileRefTable& refs_;
    const Clock& clock_;
    CRandom& random_;
};

} // namespace pavonia
