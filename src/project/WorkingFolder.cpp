#include "project/WorkingFolder.h"

#include "platform/FileOps.h"
#include "platform/Folders.h"
#include "platform/StringTable.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"
#include "project/Installation.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

// Draws allowed to find a free working-copy name. A clock that moves finds
// one at once; with a clock that stands still the generator's sequence visits
// every number of 0..32767 long before this many draws.
constexpr int kMaxNameDraws = 1 << 20;

// Any directory entry, a dangling link included: a copy written through a
// dangling link would land wherever the link points.
bool isTaken(const std::string& path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

bool startsWithIgnoreCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

std::string formatCopyName(const std::string& folder, const std::string& prefix, const std::tm& time,
                           int number, const std::string& extension)
{
    char stamp[64];
    if (std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M", &time) == 0)
        stamp[0] = '\0';
    char digits[16];
    std::snprintf(digits, sizeof digits, "%2d", number);
    std::string name = folder + prefix + stamp + digits;
    if (!extension.empty())
        name += "." + extension;
    return name;
}

} // namespace

WorkingFolder::WorkingFolder(std::string installationFolder, std::string systemTempFolder, FileRefTable& refs,
                             const Clock& clock, CRandom& random, std::string ownFolder, std::string area)
    : installationFolder_(std::move(installationFolder)),
      systemTempFolder_(std::move(systemTempFolder)),
      ownFolder_(ownFolder.empty() ? installationFolder_ : std::move(ownFolder)),
      area_(area.empty() ? installationFolder_ : std::move(area)),
      refs_(refs),
      clock_(clock),
      random_(random)
{
}

std::string WorkingFolder::tempFolder() const { return ownFolder_ + "Temp/"; }
std::string WorkingFolder::userFolder() const { return area_ + "User/"; }
std::string WorkingFolder::tempWavePath() const { return systemTempFolder_ + "_pv_tmpWave.wav"; }
std::string WorkingFolder::defaultTalkingImage() const { return installationFolder_ + kDefaultTalkingImageName; }
std::string WorkingFolder::defaultTalkingMessage() const { return installationFolder_ + kDefaultTalkingMessageName; }

void WorkingFolder::reset()
{
    folders::createPath(tempFolder());
    folders::createPath(userFolder());
    if (!discardTempFiles())
        folders::deleteMatching(tempFolder(), "*");
    refs_.clear();
    folders::deleteFile(tempWavePath());
}

bool WorkingFolder::discardTempFiles()
{
    static constexpr const char* kDiscardPrefix = ".discarded-";
    static constexpr std::uintmax_t kBackgroundDeletionBytes = 16u << 20;
    // Folders named with this process's prefix are its own, still being
    // deleted; any other discard folder was left by a run that ended first.
    const std::string ours = kDiscardPrefix + std::to_string(::getpid()) + "-";
    const std::string trash = tempFolder() + ours + std::to_string(++discardCount_) + "/";
    std::error_code ec;
    if (!fs::create_directory(trash, ec))
        return false;
    std::uintmax_t discardedBytes = 0;
    for (const fs::directory_entry& entry : folders::entriesOf(tempFolder())) {
        const std::string name = entry.path().filename().string();
        if (folders::isRealFolder(entry)) {
            if (name.rfind(kDiscardPrefix, 0) == 0 && name.rfind(ours, 0) != 0)
                deleter_.deleteFolder(entry.path().string());
            continue;
        }
        if (!entry.is_symlink(ec))
            discardedBytes += entry.file_size(ec);
        std::error_code moved;
        fs::rename(entry.path(), trash + name, moved);
        if (moved)
            folders::deleteFile(entry.path());
    }
    // Only a large project is worth a thread of its own.
    if (discardedBytes < kBackgroundDeletionBytes)
        fs::remove_all(trash, ec);
    else
        deleter_.deleteFolder(trash);
    return true;
}

std::string WorkingFolder::makeCopyName(const std::string& prefix, const std::string& extension)
{
    folders::createPath(tempFolder());
    std::uint32_t seed = clock_.tickCount();
    random_.seed(seed);
    std::string path = formatCopyName(tempFolder(), prefix, clock_.localNow(), random_.next(), extension);
    for (int draws = 1; isTaken(path); ++draws) {
        if (draws == kMaxNameDraws)
            return {};
        // Seeding again with the same ticks would give the taken number again.
        const std::uint32_t ticks = clock_.tickCount();
        if (ticks != seed) {
            seed = ticks;
            random_.seed(seed);
        }
        path = formatCopyName(tempFolder(), prefix, clock_.localNow(), random_.next(), extension);
    }
    return path;
}

std::string WorkingFolder::sessionCopy(const std::string& defaultPath, const std::string& extension)
{
    if (const auto index = refs_.find(defaultPath)) {
        refs_.increment(*index);
        return refs_[*index].copy;
    }
    // A copy that fails is removed and not entered: the session gets no
    // file rather than a missing or cut-off one.
    const std::string copy = newCopy(defaultPath, "Session", extension);
    if (!copy.empty())
        refs_.add(defaultPath, copy);
    return copy;
}

std::string WorkingFolder::newCopy(const std::string& source, const std::string& prefix, const std::string& extension)
{
    // A name found free may be taken before the file is made (by a link
    // planted there, say): another name is drawn a few times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::string copy = makeCopyName(prefix, extension);
        if (copy.empty()) {
            noteCopyFailure(source, tempFolder(), EEXIST);
            return {};
        }
        if (copyIntoNewFile(source, copy, Creation::New))
            return copy;
        if (errno != EEXIST || attempt == 2) {
            noteCopyFailure(source, copy, errno);
            return {};
        }
    }
    return {};
}

void WorkingFolder::noteCopyFailure(const std::string& source, const std::string& copy, int error)
{
    // Which side failed: a source that cannot be read is named as such.
    if (::access(source.c_str(), R_OK) != 0)
        copyFailure_ = Failure::system(source == defaultTalkingImage() || source == defaultTalkingMessage()
                                           ? str::DefaultFileMissing
                                           : str::WorkingCopyFailed,
                                       {source});
    else
        copyFailure_ = Failure(str::WorkingCopyFailed, {copy}, error);
}

std::string WorkingFolder::sessionTalkingImageCopy() { return sessionCopy(defaultTalkingImage(), "tjm"); }
std::string WorkingFolder::sessionTalkingMessageCopy() { return sessionCopy(defaultTalkingMessage(), "tps"); }

std::string WorkingFolder::mediaCopy(const std::string& sourcePath)
{
    if (sourcePath.empty())
        return {};
    if (const auto index = refs_.find(sourcePath)) {
        refs_.increment(*index);
        return refs_[*index].copy;
    }
    const std::string copy = makeCopyName("Media", extensionOf(sourcePath));
    if (copy.empty())
        return {};
    refs_.add(sourcePath, copy);
    // A failed copy leaves the path recorded.
    if (!copyIntoNewFile(sourcePath, copy, Creation::New))
        noteCopyFailure(sourcePath, copy, errno);
    return copy;
}

std::string WorkingFolder::backgroundCopy(const std::string& picturePath)
{
    // "Bg*" finds what a Windows search for "Bg*.*" finds: names without a dot too.
    const std::string previous = folders::firstMatching(tempFolder(), "Bg*");
    // A copy that fails is removed and the previous background kept.
    const std::string copy = newCopy(picturePath, "Bg", extensionOf(picturePath));
    if (copy.empty())
        return {};
    // The new name was free, so the previous copy is never the new one.
    if (!previous.empty())
        folders::deleteFile(previous);
    return copy;
}

bool WorkingFolder::isInTempFolder(const std::string& path) const
{
    return fs::path(folderOf(path)).lexically_normal() == fs::path(tempFolder()).lexically_normal();
}

void WorkingFolder::releasePath(const std::string& path, bool deleteUnknown)
{
    if (path.empty())
        return;
    const auto index = refs_.find(path);
    if (!index) {
        if (deleteUnknown && isInTempFolder(path))
            folders::deleteFile(path);
        return;
    }
    refs_.decrement(*index);
    if (refs_[*index].refCount >= 1)
        return;
    // The entry's copy is the working file even when `path` matched its source.
    const std::string copy = refs_[*index].copy;
    refs_.removeAt(*index);
    if (isInTempFolder(copy))
        folders::deleteFile(copy);
}

void WorkingFolder::releaseSlide(const SlideData& slide)
{
    if (slide.mediaPath.empty())
        return;
    // The scaled copies made for publishing: "s_" + base name + any extension.
    // The base name is compared as text, so a "*" or "?" in it matches only itself.
    if (isInTempFolder(slide.mediaPath)) {
        const std::string scaledPrefix = "s_" + baseNameOf(slide.mediaPath) + ".";
        folders::deleteFilesWhere(folderOf(slide.mediaPath),
                         [&](const std::string& name) { return startsWithIgnoreCase(name, scaledPrefix); });
    }
    releasePath(slide.mediaPath, false);
}

void WorkingFolder::releaseSession(const SessionData& session, const std::vector<const SlideData*>& slides)
{
    releasePath(session.talkingImagePath, true);
    releasePath(session.talkingMessagePath, true);
    for (const SlideData* slide : slides)
        if (slide)
            releaseSlide(*slide);
}

} // namespace pavonia
