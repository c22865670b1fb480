#include "project/SvMngr.h"

#include "platform/Folders.h"
#include "platform/LittleEndian.h"
#include "platform/ReplacingFile.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "platform/TextEncoding.h"
#include "project/WorkingFolder.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[8] = {'N', 'B', 'S', 'V', 'M', 'N', 'G', 'R'};
// Seconds between 1601-01-01 and 1970-01-01, the two epochs.
constexpr std::uint64_t kEpochDifference = 11644473600ULL;

struct FileState {
    std::uint64_t fileTime;
    std::uint64_t size;
};

std::optional<FileState> stateOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    const std::uint64_t seconds = static_cast<std::uint64_t>(info.st_mtim.tv_sec) + kEpochDifference;
    const std::uint64_t time = seconds * 10000000ULL + static_cast<std::uint64_t>(info.st_mtim.tv_nsec) / 100;
    return FileState{time, static_cast<std::uint64_t>(info.st_size)};
}

// Writes `count` zero bytes: keeps the stream readable when a file shrank
// between taking its size and copying it.
bool writeZeros(FileHandle& out, std::uint64_t count)
{
    static const char zeros[4096] = {};
    while (count > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof zeros));
        if (!out.writeAll(zeros, n))
            return false;
        count -= n;
    }
    return true;
}

} // namespace

SvMngr::SvMngr(const std::string& systemTempFolder, Ui& ui)
{
    folder_ = systemTempFolder + "~#SvMngr/";
    std::error_code ec;
    if (fs::create_directory(folder_, ec))
        return;
    if (!ec && fs::is_directory(folder_, ec)) {
        folders::deleteMatching(folder_, "*");
        return;
    }
    folder_.clear();
    showMessage(ui, StringTable::text(str::CreateTempDirectoryFailed));
}

SvMngr::~SvMngr()
{
    clear();
}

std::optional<std::uint64_t> SvMngr::fileTimeOf(const std::string& path)
{
    const auto state = stateOf(path);
    if (!state)
        return std::nullopt;
    return state->fileTime;
}

std::string SvMngr::privateCopyName(int position, const std::string& name) const
{
    std::string extension = extensionOf(name);
    // The extension with its dot; a longer one than 6 characters is dropped.
    extension = extension.empty() ? std::string() : "." + extension;
    if (extension.size() > 6 || extension.find('\0') != std::string::npos)
        extension.clear();
    return folder_ + std::to_string(position) + extension;
}

void SvMngr::clear()
{
    entries_.clear();
    folders::deleteMatching(folder_, "*");
    changed_ = true;
}

int SvMngr::find(const std::string& path) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (equalsIgnoreCase(entries_[i].source, path))
            return static_cast<int>(i);
    return -1;
}

int SvMngr::add(const std::string& path, int mode)
{
    const auto state = stateOf(path);
    if (!state)
        return -1;
    if (state->size > 0xFFFFFFFFULL)
        return kFileTooLarge;
    int index = find(path);
    if (index < 0) {
        Entry entry;
        entry.source = path;
        entry.privateCopy = privateCopyName(count() + 1, path);
        entries_.push_back(std::move(entry));
        index = count() - 1;
    } else if (mode == kKeep || (mode == kReplaceIfNewer && state->fileTime <= entries_[index].fileTime)) {
        return -1;
    }
    Entry& entry = entries_[static_cast<std::size_t>(index)];
    entry.fileTime = state->fileTime;
    entry.size = static_cast<std::uint32_t>(state->size);
    // Never through a link planted in the private folder.
    entry.privateCopyFailed =
        !deferred_ && (folder_.empty() || !copyIntoNewFile(path, entry.privateCopy, Creation::Replace));
    changed_ = true;
    return count();
}

Result<bool> SvMngr::writeStream(const std::string& path)
{
    ReplacingFile out(path);
    if (!out.valid())
        return out.failure(str::WriteProjectFileFailed);
    Result<bool> written = writeStream(out.handle());
    if (!written) {
        out.noteFailure(written.failure().systemError);
        return out.failure(str::WriteProjectFileFailed);
    }
    if (*written && !out.commit())
        return out.failure(str::WriteProjectFileFailed);
    return written;
}

Result<bool> SvMngr::writeStream(FileHandle& out)
{
    // A source changed since it was added is taken as it is now.
    for (const auto& entry : std::vector<Entry>(entries_))
        add(entry.source, kReplaceIfNewer);
    if (!changed_)
        return false;
    // The error is taken where the write failed, before closing the source
    // can change errno.
    auto fail = [] { return Failure::system(str::WriteProjectFileFailed); };

    std::uint8_t head[12];
    std::memcpy(head, kMagic, 8);
    putU32(head + 8, static_cast<std::uint32_t>(entries_.size()));
    if (!out.writeAll(head, sizeof head))
        return fail();
    for (const Entry& entry : entries_) {
        std::uint8_t length[4];
        putU32(length, static_cast<std::uint32_t>(entry.source.size()));
        std::uint8_t trailer[12];
        putU32(trailer, static_cast<std::uint32_t>(entry.fileTime));
        putU32(trailer + 4, static_cast<std::uint32_t>(entry.fileTime >> 32));
        putU32(trailer + 8, entry.size);
        if (!out.writeAll(length, 4) || !out.writeAll(entry.source.data(), entry.source.size()) ||
            !out.writeAll(trailer, sizeof trailer))
            return fail();
        const std::string& from = deferred_ || entry.privateCopyFailed ? entry.source : entry.privateCopy;
        FileHandle in = FileHandle::openRead(from);
        std::uint64_t copied = 0;
        if (in.valid()) {
            copied = copyBytes(in.get(), out.get(), entry.size);
            const Failure failed = fail();
            // Stopping before the end of the source means the write failed;
            // a source that shrank since its size was taken is padded.
            if (copied < entry.size && in.position() < in.size())
                return failed;
        }
        if (!writeZeros(out, entry.size - copied))
            return fail();
    }
    changed_ = false;
    return true;
}

bool SvMngr::readStream(const std::string& path, int limit)
{
    FileHandle in = FileHandle::openRead(path);
    if (!in.valid())
        return false;
    return readStream(in, in.size(), limit).valueOr(true);
}

namespace {

// One entry's bytes to copy out of the stream into a file.
struct CopyJob {
    std::string target;
    std::uint64_t offset;
    std::uint64_t length;
};

// Writes one file from the stream; why it failed, or nothing when it was
// written whole.
std::optional<Failure> runCopyJob(int in, const CopyJob& job)
{
    // A leftover of the same name (read-only, or a link planted there) is
    // replaced, never written through.
    FileHandle out = FileHandle::create(job.target, Creation::Replace);
    if (!out.valid())
        return Failure::system(str::TempProjectFileError);
    errno = 0;
    const std::uint64_t copied = copyRange(in, job.offset, out.get(), job.length);
    const int copyError = errno;
    if (!out.close())
        return Failure::system(str::TempProjectFileError);
    if (copied < job.length)
        return Failure(str::TempProjectFileError, {}, copyError ? copyError : EIO);
    return std::nullopt;
}

// Runs the copies on the machine's cores: each is a separate file, and the
// source is read by position, so they do not disturb one another.
std::optional<Failure> runCopyJobs(int in, const std::vector<CopyJob>& jobs)
{
    std::uint64_t bytes = 0;
    for (const CopyJob& job : jobs)
        bytes += job.length;
    // Small streams are not worth starting threads for.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t threads = bytes < (8u << 20) ? 1 : std::min<std::size_t>({jobs.size(), cores, 4});
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::optional<Failure> firstError;
    auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            if (auto error = runCopyJob(in, jobs[i])) {
                std::lock_guard lock(mutex);
                if (!firstError)
                    firstError = std::move(error);
            }
        }
    };
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (auto& helper : helpers)
        helper.join();
    return firstError;
}

} // namespace

Result<bool> SvMngr::readStream(FileHandle& in, std::int64_t end, int limit, const Placer& placer)
{
    complete_ = true;
    char magic[8];
    if (in.readFully(magic, 8) != 8 || std::memcmp(magic, kMagic, 8) != 0)
        return false;
    std::uint8_t countBytes[4];
    if (in.readFully(countBytes, 4) != 4) {
        clear();
        complete_ = false;
        return true;
    }
    std::int64_t entryCount = static_cast<std::int32_t>(getU32(countBytes));
    if (limit >= 0)
        entryCount = std::min<std::int64_t>(entryCount, limit);
    clear();
    changed_ = false;

    // First the entries' headers, passing over their bytes; then the copies.
    std::vector<CopyJob> jobs;
    std::map<std::string, std::size_t> jobOfTarget;
    for (std::int64_t i = 0; i < entryCount; ++i) {
        std::uint8_t lengthBytes[4];
        if (in.readFully(lengthBytes, 4) != 4)
            break;
        const std::int64_t nameLength = static_cast<std::int32_t>(getU32(lengthBytes));
        const std::int64_t remaining = end - in.position();
        // A length that is negative, longer than any path, or past the end of
        // the data means the stream is damaged: nothing after it can be read.
        if (nameLength < 0 || nameLength > kMaxNameLength || nameLength + 12 > remaining)
            break;
        std::string rawName(static_cast<std::size_t>(nameLength), '\0');
        std::uint8_t trailer[12];
        if (in.readFully(rawName.data(), rawName.size()) != rawName.size() || in.readFully(trailer, 12) != 12)
            break;
        Entry entry;
        entry.source = decodeStoredText(rawName);
        entry.fileTime = std::uint64_t(getU32(trailer)) | std::uint64_t(getU32(trailer + 4)) << 32;
        entry.size = getU32(trailer + 8);
        const std::int64_t offset = in.position();
        const std::uint64_t available =
            std::min<std::uint64_t>(entry.size, static_cast<std::uint64_t>(std::max<std::int64_t>(0, end - offset)));

        Placement placement = placer ? placer(entry.source) : Placement{};
        if (placement.kind == Placement::PrivateFolder && folder_.empty())
            placement.kind = Placement::Skip;
        if (placement.kind != Placement::Skip) {
            entry.privateCopy = placement.kind == Placement::Path ? placement.path
                                                                   : privateCopyName(count() + 1, entry.source);
            // A target named twice gets the later entry's bytes, as copying
            // one after the other would leave it.
            const CopyJob job{entry.privateCopy, static_cast<std::uint64_t>(offset), available};
            if (auto it = jobOfTarget.find(job.target); it != jobOfTarget.end())
                jobs[it->second] = job;
            else {
                jobOfTarget.emplace(job.target, jobs.size());
                jobs.push_back(job);
            }
        }
        // The name is a path on the machine that saved the project: it tells
        // which file this is, and is never opened here.
        entry.cutShort = available < entry.size;
        entries_.push_back(std::move(entry));
        if (entries_.back().cutShort || !in.seek(offset + static_cast<std::int64_t>(available)))
            break; // the stream ended inside this file
    }
    complete_ = static_cast<std::int64_t>(entries_.size()) == entryCount &&
                (entries_.empty() || !entries_.back().cutShort);
    if (auto failure = runCopyJobs(in.get(), jobs))
        return std::move(*failure);
    return true;
}

} // namespace pavonia
