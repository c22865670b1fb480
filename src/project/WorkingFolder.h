#pragma once
// The installation's working folders and the working copies of a project's
// files. The program never edits a user's file: every file a project uses is
// copied into "Temp" under a time-stamped name and shared through the file
// reference table; a copy is deleted when its count falls below 1.
#include "platform/Clock.h"
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
    // clears the reference table and deletes the temporary wave file.
    void reset();

    // The working copy of the default talking image (message) for a new
    // session: shared when one is in the table, else made.
    std::string sessionTalkingImageCopy();
    std::string sessionTalkingMessageCopy();
    // The working copy of a slide's media: shared or made under a fresh name
    // that never overwrites an existing file.
    std::string mediaCopy(const std::string& sourcePath);
    // Copies a background picture under a new "Bg" name, deleting the
    // previous background copy; returns the new copy's path.
    std::string backgroundCopy(const std::string& picturePath);

    // Drops a slide's media copy and its "s_" publishing copies.
    void releaseSlide(const SlideData& slide);
    // Drops a session's talking image and message copies, then its slides'.
    void releaseSession(const SessionData& session, const std::vector<const SlideData*>& slides);

    // A name of the Temp folder: prefix + "%Y%m%d%H%M" + "%2d" + "." + extension
    // (no dot when `extension` is empty), the number from the generator
    // seeded with the millisecond clock just before.
    std::string makeCopyName(const std::string& prefix, const std::string& extension);

private:
    std::string sessionCopy(const std::string& defaultPath, const std::string& extension);
    void releasePath(const std::string& path, bool deleteUnknown);

    std::string installationFolder_;
    std::string systemTempFolder_;
    FileRefTable& refs_;
    const Clock& clock_;
    CRandom& random_;
};

// Folder helpers used across the program. Patterns match final components
// with "*" and "?" without regard to case.
namespace folders {
// Deletes the files (not folders) of `folder` whose names match `pattern`.
void deleteMatching(const std::string& folder, const std::string& pattern);
// Deletes every file of `folder` and its sub-folders; the folders stay.
void deleteFilesRecursively(const std::string& folder);
// Deletes every file of the tree except those with extension `keepExtension`.
void deleteFilesExcept(const std::string& folder, const std::string& keepExtension);
// Copies a folder tree; false when anything could not be copied.
bool copyTree(const std::string& from, const std::string& to);
// Creates a folder with all missing parents; true when it exists afterwards.
bool createPath(const std::string& folder);
// The first file of `folder` whose name matches `pattern`, by name order.
std::string firstMatching(const std::string& folder, const std::string& pattern);
} // namespace folders

} // namespace pavonia
