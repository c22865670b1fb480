#include "export/CabinetWriter.h"

#include "export/CabinetFormat.h"
#include "platform/LittleEndian.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

namespace pavonia {

namespace {

std::uint16_t dosDate(const std::tm& t)
{
    const int year = t.tm_year + 1900;
    if (year < 1980)
        return (0 << 9) | (1 << 5) | 1;
    if (year > 2107)
        return static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31);
    return static_cast<std::uint16_t>((year - 1980) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
}

std::uint16_t dosTime(const std::tm& t)
{
    if (t.tm_year + 1900 < 1980)
        return 0;
    return static_cast<std::uint16_t>(t.tm_hour << 11 | t.tm_min << 5 | std::min(t.tm_sec, 59) / 2);
}

} // namespace

bool describeCabinetEntry(const std::string& path, std::string name, CabinetEntry& entry)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return false;
    std::tm local{};
    const std::time_t modified = info.st_mtime;
    if (!::localtime_r(&modified, &local))
        return false;
    entry.dosDate = dosDate(local);
    entry.dosTime = dosTime(local);
    std::uint16_t attributes = cab::kAttributeArchive;
    if (!(info.st_mode & S_IWUSR))
        attributes |= cab::kAttributeReadOnly;
    const std::size_t slash = path.find_last_of('/');
    if (path.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0)
        attributes |= cab::kAttributeHidden;
    entry.attributes = attributes & cab::kAttributeMask;
    entry.name = std::move(name);
    return true;
}

// Deflate's output room for one block.
constexpr std::size_t kDeflateRoom = 2 * cab::kBlockSize;

struct CabinetWriter::Deflater {
    z_stream stream{};
};

CabinetWriter::CabinetWriter(int level) : deflater_(new Deflater)
{
    // A raw deflate stream over the whole file: each block is flushed to a
    // byte boundary and closed by an empty final block, and the window
    // carries on into the next block, as the format's readers expect.
    if (deflateInit2(&deflater_->stream, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
        delete deflater_;
        deflater_ = nullptr;
    }
}

CabinetWriter::~CabinetWriter()
{
    if (deflater_)
        deflateEnd(&deflater_->stream);
    delete deflater_;
}

std::size_t CabinetWriter::packBlock(const std::uint8_t* in, std::size_t size, std::uint8_t* block)
{
    std::uint8_t* data = block + cab::kDataHeaderSize;
    data[0] = cab::kMszipSignature[0];
    data[1] = cab::kMszipSignature[1];
    // Room for twice the input: deflate never grows a block that much, so it
    // always finishes the block and its window stays in step with the data.
    // Whatever comes out longer than a stored block is replaced by one below.
    const std::size_t room = kDeflateRoom;
    std::size_t deflated = room + 1;
    if (deflater_) {
        z_stream& z = deflater_->stream;
        z.next_in = const_cast<Bytef*>(in);
        z.avail_in = static_cast<uInt>(size);
        z.next_out = data + 2;
        z.avail_out = static_cast<uInt>(room);
        const int result = deflate(&z, Z_SYNC_FLUSH);
        if (result == Z_OK && z.avail_in == 0 && z.avail_out >= 2) {
            deflated = room - z.avail_out;
            data[2 + deflated] = 0x03; // an empty final block with fixed codes
            data[3 + deflated] = 0x00;
            deflated += 2;
        } else {
            // Not expected; start the stream again with this block as its
            // history, which is what a reader holds after it either way.
            deflateReset(&z);
            deflateSetDictionary(&z, in, static_cast<uInt>(size));
        }
    }
    std::size_t dataSize;
    if (deflated <= size + cab::kStoredOverhead) {
        dataSize = 2 + deflated;
    } else {
        data[2] = 0x01; // final, stored
        putU16(data + 3, static_cast<std::uint16_t>(size));
        putU16(data + 5, static_cast<std::uint16_t>(~size));
        std::memcpy(data + 2 + cab::kStoredOverhead, in, size);
        dataSize = 2 + cab::kStoredOverhead + size;
    }
    putU16(block + 4, static_cast<std::uint16_t>(dataSize));
    putU16(block + 6, static_cast<std::uint16_t>(size));
    putU32(block, cab::blockChecksum(block, dataSize));
    return cab::kDataHeaderSize + dataSize;
}

CabinetStatus CabinetWriter::write(FileHandle& source, std::uint64_t size, const CabinetEntry& entry,
                                   FileHandle& out, std::uint64_t& cabinetSize, const Progress& progress)
{
    cabinetSize = 0;
    if (size > cab::kMaxFileSize)
        return CabinetStatus::SourceTooLarge;
    const std::int64_t start = out.position();
    if (start < 0)
        return CabinetStatus::WriteFailed;
    if (deflater_) {
        deflateReset(&deflater_->stream);
    }
    const auto blocks = static_cast<std::uint16_t>((size + cab::kBlockSize - 1) / cab::kBlockSize);
    const std::uint32_t filesOffset = cab::kHeaderSize + cab::kFolderSize;
    const std::uint32_t dataOffset = filesOffset + cab::kFileFixedSize + static_cast<std::uint32_t>(entry.name.size()) + 1;

    std::vector<std::uint8_t> head(dataOffset, 0);
    std::memcpy(head.data(), cab::kSignature, 4);
    // head[8..11], the cabinet's length, is filled in at the end.
    putU32(head.data() + 16, filesOffset);
    head[24] = cab::kVersionMinor;
    head[25] = cab::kVersionMajor;
    putU16(head.data() + 26, 1); // folders
    putU16(head.data() + 28, 1); // files
    putU16(head.data() + 30, 0); // flags: no previous or next cabinet, no reserved areas
    putU16(head.data() + 32, cab::kSetId);
    putU16(head.data() + 34, 0); // the first cabinet of its set
    std::uint8_t* folder = head.data() + cab::kHeaderSize;
    putU32(folder, dataOffset);
    putU16(folder + 4, blocks);
    putU16(folder + 6, cab::kCompressMszip);
    std::uint8_t* file = head.data() + filesOffset;
    putU32(file, static_cast<std::uint32_t>(size));
    putU32(file + 4, 0);  // offset in the folder
    putU16(file + 8, 0);  // the first folder
    putU16(file + 10, entry.dosDate);
    putU16(file + 12, entry.dosTime);
    putU16(file + 14, entry.attributes);
    std::memcpy(file + cab::kFileFixedSize, entry.name.data(), entry.name.size());
    if (!out.writeAll(head.data(), head.size()))
        return CabinetStatus::WriteFailed;

    std::uint64_t written = head.size();
    std::vector<std::uint8_t> input(cab::kBlockSize);
    std::vector<std::uint8_t> block(cab::kDataHeaderSize + 2 + kDeflateRoom + 2);
    for (std::uint64_t done = 0; done < size;) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(cab::kBlockSize, size - done));
        errno = 0;
        if (source.readFully(input.data(), want) != want) {
            if (errno == 0)
                errno = EIO; // the file became shorter while it was read
            return CabinetStatus::SourceFailed;
        }
        const std::size_t length = packBlock(input.data(), want, block.data());
        if (!out.writeAll(block.data(), length))
            return CabinetStatus::WriteFailed;
        written += length;
        done += want;
        if (progress && !progress(done))
            return CabinetStatus::Cancelled;
    }
    if (written > 0xFFFFFFFFu) {
        errno = EFBIG;
        return CabinetStatus::SourceTooLarge;
    }
    std::uint8_t length[4];
    putU32(length, static_cast<std::uint32_t>(written));
    if (!out.seek(start + 8) || !out.writeAll(length, 4) || !out.seek(start + static_cast<std::int64_t>(written)))
        return CabinetStatus::WriteFailed;
    cabinetSize = written;
    return CabinetStatus::Ok;
}

CabinetStatus CabinetWriter::writeFile(const std::string& sourcePath, const CabinetEntry& entry,
                                       const std::string& cabinetPath)
{
    FileHandle source = FileHandle::openRead(sourcePath);
    if (!source.valid())
        return CabinetStatus::SourceFailed;
    const std::int64_t size = source.size();
    if (size < 0)
        return CabinetStatus::SourceFailed;
    FileHandle out = FileHandle::openWrite(cabinetPath);
    if (!out.valid())
        return CabinetStatus::WriteFailed;
    std::uint64_t cabinetSize = 0;
    const CabinetStatus status = write(source, static_cast<std::uint64_t>(size), entry, out, cabinetSize);
    if (status == CabinetStatus::Ok && !out.close())
        return CabinetStatus::WriteFailed;
    return status;
}

} // namespace pavonia
