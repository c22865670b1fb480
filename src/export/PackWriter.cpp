#include "export/PackWriter.h"

#include "platform/StringTable.h"
#include "platform/Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavonia {

PackWriter::~PackWriter()
{
    discard();
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
    return file_->seek(static_cast<std::int64_t>(offset)) && file_->writeAll(bytes, sizeof bytes) &&
           ::ftruncate(file_->get(), end) == 0;
}

Result<> PackWriter::create(const std::string& workPath)
{
    discard();
    // The pack is a working file until it is finished.
    work_.emplace(workPath, LinkTarget::Replace);
    if (!work_->valid()) {
        const Failure failure(str::ExportPackNotCreated, {workPath}, work_->systemError());
        work_.reset();
        return failure;
    }
    file_ = &work_->handle();
    trailer_ = pack::Trailer{};
    entriesEnd_ = 0;
    if (!writeTrailerAt(0)) {
        const Failure failure = Failure::system(str::ExportPackNotCreated, {workPath});
        discard();
        return failure;
    }
    return {};
}

Result<> PackWriter::addFile(const std::string& sourcePath, const std::string& prefix)
{
    if (!file_)
        return Failure(str::ExportFailedToPack, {sourcePath});
    pack::EntryHeader header;
    header.name = storedName(sourcePath, prefix);
    std::uint8_t headerBytes[pack::kEntryHeaderSize];
    if (header.name.empty() || !header.encode(headerBytes))
        return Failure(str::ExportNameTooLong, {header.name});

    FileHandle source = FileHandle::openRead(sourcePath);
    const std::int64_t size = source.valid() ? source.size() : -1;
    CabinetEntry entry;
    if (size < 0 || !describeCabinetEntry(sourcePath, "tempcab.cb", entry))
        return Failure::system(str::ExportFailedToPack, {sourcePath});

    // The entry goes where the trailer stands; on any failure the file is
    // cut back and the trailer written there again.
    const std::uint64_t start = entriesEnd_;
    auto restore = [&](Failure failure) {
        writeTrailerAt(start);
        return failure;
    };
    if (!file_->seek(static_cast<std::int64_t>(start)) || !file_->writeAll(headerBytes, sizeof headerBytes))
        return restore(Failure::system(str::ExportFailedToPack, {sourcePath}));
    std::uint64_t cabinetSize = 0;
    switch (cabinets_.write(source, static_cast<std::uint64_t>(size), entry, *file_, cabinetSize, progress_)) {
    case CabinetStatus::Ok:
        break;
    case CabinetStatus::SourceTooLarge:
        return restore(Failure(str::ExportFileTooLarge, {sourcePath}));
    case CabinetStatus::Cancelled:
        return restore(Failure());
    case CabinetStatus::SourceFailed:
    case CabinetStatus::WriteFailed:
        return restore(Failure::system(str::ExportFailedToPack, {sourcePath}));
    }
    const std::uint64_t entrySize = pack::kEntryHeaderSize + cabinetSize;
    if (entrySize > 0xFFFFFFFFu)
        return restore(Failure(str::ExportFileTooLarge, {sourcePath}));

    // The header with the entry's size, the trailer counting it, and only
    // then the flag that marks the entry complete.
    header.entrySize = static_cast<std::uint32_t>(entrySize);
    header.encode(headerBytes);
    ++trailer_.count;
    if (!file_->seek(static_cast<std::int64_t>(start)) || !file_->writeAll(headerBytes, sizeof headerBytes) ||
        !writeTrailerAt(start + entrySize)) {
        const Failure failure = Failure::system(str::ExportFailedToPack, {sourcePath});
        --trailer_.count;
        return restore(failure);
    }
    entriesEnd_ = start + entrySize;
    header.flags = pack::kFlagCabinet;
    header.encode(headerBytes);
    if (!file_->seek(static_cast<std::int64_t>(start)) || !file_->writeAll(headerBytes, sizeof headerBytes))
        return Failure::system(str::ExportFailedToPack, {sourcePath});
    return {};
}

Result<> PackWriter::setText(std::string pack::Trailer::*field, const std::string& text)
{
    if (!file_)
        return Failure(str::ExportFailedToPack, {text});
    if (text.size() > pack::kMaxTextLength || text.find('\0') != std::string::npos)
        return Failure(str::ExportCommandLineTooLong, {text});
    const std::string previous = trailer_.*field;
    trailer_.*field = text;
    if (writeTrailerAt(entriesEnd_))
        return {};
    const Failure failure = Failure::system(str::ExportFailedToPack, {text});
    trailer_.*field = previous;
    return failure;
}

Result<> PackWriter::setPlayer(const std::string& name)
{
    return setText(&pack::Trailer::player, name);
}

Result<> PackWriter::setCommandLine(const std::string& text)
{
    return setText(&pack::Trailer::commandLine, text);
}

Result<> PackWriter::embed(const std::string& outputPath, const std::string& stubPath, bool deleteWork)
{
    if (!file_)
        return Failure(str::ExportFailedToEmbed, {outputPath});
    FileHandle stub = FileHandle::openRead(stubPath);
    const std::int64_t stubSize = stub.valid() ? stub.size() : -1;
    if (stubSize < 0)
        return Failure::system(str::ExportFailedToEmbed, {outputPath});
    if (stubSize > 0xFFFFFFFF)
        return Failure(str::ExportFailedToEmbed, {outputPath}, EFBIG);
    ReplacingFile output(outputPath);
    if (!output.valid())
        return output.failure(str::ExportFailedToEmbed);
    auto failed = [&](int error) {
        output.noteFailure(error ? error : EIO);
        return output.failure(str::ExportFailedToEmbed);
    };
    if (copyBytes(stub.get(), output.handle().get(), static_cast<std::uint64_t>(stubSize)) !=
        static_cast<std::uint64_t>(stubSize))
        return failed(errno);
    // The entries as they are; the trailer follows with the new data offset.
    const std::uint64_t entries = entriesEnd_ - trailer_.dataOffset;
    if (copyRange(file_->get(), trailer_.dataOffset, output.handle().get(), entries) != entries)
        return failed(errno);
    pack::Trailer embedded = trailer_;
    embedded.dataOffset = static_cast<std::uint32_t>(stubSize);
    std::uint8_t bytes[pack::kTrailerSize];
    embedded.encode(bytes);
    if (!output.handle().writeAll(bytes, sizeof bytes) || ::fsync(output.handle().get()) != 0)
        return failed(errno);
    if (!output.commit())
        return output.failure(str::ExportFailedToEmbed);
    // The output runs as a program, and stays open for what follows.
    FileHandle reopened(::open(outputPath.c_str(), O_RDWR | O_CLOEXEC));
    if (::chmod(outputPath.c_str(), 0755) != 0 || !reopened.valid())
        return Failure::system(str::ExportFailedToEmbed, {outputPath});

    // The work file is dropped or put in place.
    if (deleteWork) {
        discard();
    } else if (Result<> closed = close(); !closed) {
        return closed;
    }
    output_ = std::move(reopened);
    file_ = &output_;
    trailer_ = embedded;
    entriesEnd_ = static_cast<std::uint64_t>(stubSize) + entries;
    return {};
}

Result<> PackWriter::close()
{
    Result<> result;
    if (work_ && file_ == &work_->handle() && !work_->commit())
        result = work_->failure(str::ExportPackNotCreated);
    discard();
    return result;
}

void PackWriter::discard()
{
    work_.reset();
    output_ = FileHandle();
    file_ = nullptr;
}

} // namespace pavonia
