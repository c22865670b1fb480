#pragma once
// The installation's working folders and the working copies of a project's
// files. The program never edits a user's file: every file a project uses is
// copied into "Temp" under a time-stamped name and shared through the file
// reference table; a copy is deleted when its count falls below 1.
#include "platform/Clock.h"
#include "project/BackgroundDeleter.h"
#include "project/FileRefTable.h"
#include "project/Records.h"

#include <string>
#include <vector>

namespace pavonia {

class WorkingFolder {
public:
    // `installationFolder` and `systemTempFolder` end with "/".
    WorkingFolder(std::string installationFolder, std::string systemTempFolder, FileRefTable& refs,
                  const Clock& clock, CRandom& random);

    std::string tempFolder() const;   // installation + "Temp/"
    std::string userFolder() const;   // installation + "User/"
    std::string tempWavePath() const; // system temp + "_pv_tmpWave.wav"
    std::string defaultTalkingImage() const;   // installation + "default_tjm.tjm"
    std::string defaultTalkingMessage() const; // installation + "default_tps.tps"

    // Empties Temp (files only) and User (files, recursively; folders stay),
    // clears the reference table and deletes the temporary wave file. Creates
    // Temp and User when they are missing.
    void reset();

    // The working copy of the default talking image (message) for a new
    // session: shared when one is in the table (its count goes up), else made
    // and entered with count 1.
    std::string sessionTalkingImageCopy();
    std::string sessionTalkingMessageCopy();
    // The working copy of a slide's media: shared when the source (or the
    // copy itself) is in the table, else made under a fresh "Media" name and
    // entered with count 1. A source that cannot be copied still gives its
    // path (the file is then missing). Empty for an empty source, or when no
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
    // and every number of the minute taken.
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
    BackgroundDeleter deleter_;
    int discardCount_ = 0;
    FileRefTable& refs_;
    const Clock& clock_;
    CRandom& random_;
};

} // namespace pavonia
