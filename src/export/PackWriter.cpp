#include "export/PackWriter.h"

#include "platform/Text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

namespace {

// A new temporary file beside `path`, or an invalid handle (errno tells why).
FileHandle openTemporaryBeside(const std::string& path, std::string& temporary)
{
    temporary = path + ".partXXXXXX";
    FileHandle file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file.valid())
        temporary.clear();
    return file;
}

PackStatus fromCabinet(CabinetStatus status)
{
    switch (status) {
    case CabinetStatus::Ok:
        return PackStatus::Ok;
    case CabinetStatus::SourceTooLarge:
        return PackStatus::SourceTooLarge;
    case CabinetStatus::SourceFailed:
        return PackStatus::SourceFailed;
    case CabinetStatus::WriteFailed:
        return PackStatus::WriteFailed;
    case CabinetStatus::Cancelled:
        return PackStatus::Cancelled;
    }
    return PackStatus::WriteFailed;
}

} // namespace

PackWriter::~PackWriter()
{
    close();
}

std::string PackWriter::storedName(const std::string& sourcePath, const std::string& prefix)
{
    if (sourcePath.size() >= prefix.size() && equalsIgnoreCase(sourcePath.substr(0, prefix.size()), prefix))
        return sourcePath.substr(prefix.size());
    return sourcePath;
}

bool PackWriter::writeTrailerAt(std::uint64_t offset)
{
    std::uint8_t bytes[pack::kTrailerSize];
    if (!trailer_.encode(bytes))
        return false;
    const auto end = static_cast<std::int64_t>(offset + pack::kTrailerSize);
    return file_.seek(static_cast<std::int64_t>(offset)) && file_.writeAll(bytes, sizeof bytes) &&
           ::ftruncate(file_.get(), end) == 0;
}

PackStatus PackWriter::rewriteTrailer()
{
    if (!file_.valid())
        return PackStatus::NotOpen;
    return writeTrailerAt(entriesEnd_) ? PackStatus::Ok : PackStatus::WriteFailed;
}

PackStatus PackWriter::create(const std::string& workPath)
{
    discard();
    file_ = openTemporaryBeside(workPath, temporary_);
    if (!file_.valid())
        return PackStatus::CannotCreate;
    path_ = workPath;
    trailer_ = pack::Trailer{};
    entriesEnd_ = 0;
    if (!writeTrailerAt(0)) {
        const int error = errno;
        discard();
        errno = error;
        return PackStatus::CannotCreate;
    }
    return PackStatus::Ok;
}

PackStatus PackWriter::addFile(const std::string& sourcePath, const std::string& prefix)
{
    if (!file_.valid())
        return PackStatus::NotOpen;
    pack::EntryHeader header;
    header.name = storedName(sourcePath, prefix);
    std::uint8_t headerBytes[pack::kEntryHeaderSize];
    if (header.name.empty() || !header.encode(headerBytes))
        return PackStatus::NameTooLong;

    FileHandle source = FileHandle::openRead(sourcePath);
    const std::int64_t size = source.valid() ? source.size() : -1;
    CabinetEntry entry;
    if (size < 0 || !describeCabinetEntry(sourcePath, "tempcab.cb", entry))
        return PackStatus::SourceFailed;

    // The entry goes where the trailer stands; on any failure the file is
    // cut back and the trailer written there again.
    const std::uint64_t start = entriesEnd_;
    auto restore = [&](PackStatus status) {
        const int error = errno;
        writeTrailerAt(start);
        errno = error;
        return status;
    };
    if (!file_.seek(static_cast<std::int64_t>(start)) || !file_.writeAll(headerBytes, sizeof headerBytes))
        return restore(PackStatus::WriteFailed);
    std::uint64_t cabinetSize = 0;
    const CabinetStatus compressed =
        cabinets_.write(source, static_cast<std::uint64_t>(size), entry, file_, cabinetSize, progress_);
    if (compressed != CabinetStatus::Ok)
        return restore(fromCabinet(compressed));
    const std::uint64_t entrySize = pack::kEntryHeaderSize + cabinetSize;
    if (entrySize > 0xFFFFFFFFu) {
        errno = EFBIG;
        return restore(PackStatus::SourceTooLarge);
    }

    // The header with the entry's size, the trailer counting it, and only
    // then the flag that marks the entry complete.
    header.entrySize = static_cast<std::uint32_t>(entrySize);
    header.encode(headerBytes);
    ++trailer_.count;
    if (!file_.seek(static_cast<std::int64_t>(start)) || !file_.writeAll(headerBytes, sizeof headerBytes) ||
        !writeTrailerAt(start + entrySize)) {
        --trailer_.count;
        return restore(PackStatus::WriteFailed);
    }
    entriesEnd_ = start + entrySize;
    header.flags = pack::kFlagCabinet;
    header.encode(headerBytes);
    if (!file_.seek(static_cast<std::int64_t>(start)) || !file_.writeAll(headerBytes, sizeof headerBytes))
        return PackStatus::WriteFailed;
    return PackStatus::Ok;
}

PackStatus PackWriter::setPlayer(const std::string& name)
{
    if (!file_.valid())
        return PackStatus::NotOpen;
    if (name.size() > pack::kMaxTextLength || name.find('\0') != std::string::npos)
        return PackStatus::TextTooLong;
    trailer_.player = name;
    return rewriteTrailer();
}

PackStatus PackWriter::setCommandLine(const std::string& text)
{
    if (!file_.valid())
        return PackStatus::NotOpen;
    if (text.size() > pack::kMaxTextLength || text.find('\0') != std::string::npos)
        return PackStatus::TextTooLong;
    trailer_.commandLine = text;
    return rewriteTrailer();
}

PackStatus PackWriter::embed(const std::string& outputPath, const std::string& stubPath, bool deleteWork)
{
    if (!file_.valid())
        return PackStatus::NotOpen;
    FileHandle stub = FileHandle::openRead(stubPath);
    const std::int64_t stubSize = stub.valid() ? stub.size() : -1;
    if (stubSize < 0)
        return PackStatus::StubFailed;
    if (stubSize > 0xFFFFFFFF) {
        errno = EFBIG;
        return PackStatus::StubFailed;
    }
    std::string outputTemporary;
    FileHandle output = openTemporaryBeside(outputPath, outputTemporary);
    if (!output.valid())
        return PackStatus::WriteFailed;
    auto fail = [&](PackStatus status) {
        const int error = errno;
        output.close();
        ::unlink(outputTemporary.c_str());
        errno = error;
        return status;
    };
    if (copyBytes(stub.get(), output.get(), static_cast<std::uint64_t>(stubSize)) !=
        static_cast<std::uint64_t>(stubSize)) {
        if (errno == 0)
            errno = EIO;
        return fail(PackStatus::StubFailed);
    }
    // The entries as they are; the trailer follows with the new data offset.
    const std::uint64_t entries = entriesEnd_ - trailer_.dataOffset;
    if (copyRange(file_.get(), trailer_.dataOffset, output.get(), entries) != entries)
        return fail(PackStatus::WriteFailed);
    pack::Trailer embedded = trailer_;
    embedded.dataOffset = static_cast<std::uint32_t>(stubSize);
    std::uint8_t bytes[pack::kTrailerSize];
    embedded.encode(bytes);
    // The output runs as a program.
    if (!output.writeAll(bytes, sizeof bytes) || ::fchmod(output.get(), 0755) != 0 || ::fsync(output.get()) != 0 ||
        ::rename(outputTemporary.c_str(), outputPath.c_str()) != 0)
        return fail(PackStatus::WriteFailed);

    // The output becomes the open file; the work file is dropped or put in
    // place.
    if (deleteWork)
        discard();
    else if (!close())
        return PackStatus::WriteFailed;
    file_ = std::move(output);
    path_ = outputPath;
    temporary_.clear();
    trailer_ = embedded;
    entriesEnd_ = static_cast<std::uint64_t>(stubSize) + entries;
    return PackStatus::Ok;
}

bool PackWriter::commit()
{
    if (temporary_.empty())
        return true;
    if (::fsync(file_.get()) != 0 || ::rename(temporary_.c_str(), path_.c_str()) != 0)
        return false;
    temporary_.clear();
    return true;
}

bool PackWriter::close()
{
    if (!file_.valid())
        return true;
    const bool committed = commit();
    const int error = errno;
    file_.close();
    if (!committed)
        discard();
    errno = error;
    return committed;
}

void PackWriter::discard()
{
    file_.close();
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    path_.clear();
}

} // namespace pavonia
