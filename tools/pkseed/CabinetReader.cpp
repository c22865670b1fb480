#include "CabinetReader.h"

#include "export/CabinetFormat.h"
#include "export/PackLayout.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>
#include <zlib.h>

namespace pavonia::seed {

namespace {

std::uint16_t get16(const std::uint8_t* in)
{
    return static_cast<std::uint16_t>(in[0] | in[1] << 8);
}

// The raw-deflate decoder of one cabinet, with the last 32 KiB of output as
// the history the next block may refer to.
class MszipDecoder {
public:
    MszipDecoder() { ok_ = inflateInit2(&stream_, -15) == Z_OK; }
    ~MszipDecoder()
    {
        if (ok_)
            inflateEnd(&stream_);
    }
    MszipDecoder(const MszipDecoder&) = delete;
    MszipDecoder& operator=(const MszipDecoder&) = delete;

    // Expands one block (after its "CK") into exactly `size` bytes of `out`.
    bool expand(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t size)
    {
        if (!ok_ || inflateReset(&stream_) != Z_OK)
            return false;
        if (historySize_ > 0 && inflateSetDictionary(&stream_, history_, static_cast<uInt>(historySize_)) != Z_OK)
            return false;
        stream_.next_in = const_cast<Bytef*>(in);
        stream_.avail_in = static_cast<uInt>(inSize);
        stream_.next_out = out;
        stream_.avail_out = static_cast<uInt>(size);
        // A block that is empty still has to end its deflate stream.
        std::uint8_t spare;
        if (size == 0) {
            stream_.next_out = &spare;
            stream_.avail_out = 1;
        }
        const int result = inflate(&stream_, Z_FINISH);
        return result == Z_STREAM_END && stream_.total_out == size;
    }

    // Keeps the last 32 KiB of what was expanded so far.
    void remember(const std::uint8_t* data, std::size_t size)
    {
        if (size >= cab::kBlockSize) {
            std::memcpy(history_, data + size - cab::kBlockSize, cab::kBlockSize);
            historySize_ = cab::kBlockSize;
            return;
        }
        const std::size_t keep = std::min<std::size_t>(historySize_, cab::kBlockSize - size);
        std::memmove(history_, history_ + historySize_ - keep, keep);
        std::memcpy(history_ + keep, data, size);
        historySize_ = keep + size;
    }

private:
    z_stream stream_{};
    bool ok_ = false;
    std::uint8_t history_[cab::kBlockSize];
    std::size_t historySize_ = 0;
};

} // namespace

CabinetRead expandCabinet(ByteSource& source, std::uint64_t offset, std::uint64_t size, const Sink& sink)
{
    std::uint8_t header[cab::kHeaderSize];
    if (size < cab::kHeaderSize || !source.readAt(offset, header, sizeof header))
        return CabinetRead::Damaged;
    if (std::memcmp(header, cab::kSignature, 4) != 0 || header[25] != cab::kVersionMajor)
        return CabinetRead::Damaged;
    const std::uint32_t cabinetSize = pack::get32(header + 8);
    const std::uint32_t filesOffset = pack::get32(header + 16);
    // One folder and one file, no reserved areas, no other cabinets.
    if (cabinetSize > size || cabinetSize < cab::kHeaderSize || get16(header + 26) != 1 ||
        get16(header + 28) != 1 || get16(header + 30) != 0)
        return CabinetRead::Damaged;

    std::uint8_t folder[cab::kFolderSize];
    std::uint8_t file[cab::kFileFixedSize];
    if (cabinetSize < cab::kHeaderSize + cab::kFolderSize ||
        !source.readAt(offset + cab::kHeaderSize, folder, sizeof folder) ||
        filesOffset > cabinetSize - cab::kFileFixedSize || !source.readAt(offset + filesOffset, file, sizeof file))
        return CabinetRead::Damaged;
    const std::uint32_t dataStart = pack::get32(folder);
    const std::uint16_t blocks = get16(folder + 4);
    const std::uint16_t compression = get16(folder + 6) & 0x0F;
    const std::uint32_t fileSize = pack::get32(file);
    if (compression != cab::kCompressNone && compression != cab::kCompressMszip)
        return CabinetRead::Damaged;
    if (pack::get32(file + 4) != 0 || get16(file + 8) != 0 || dataStart > cabinetSize)
        return CabinetRead::Damaged;
    // The blocks together must be able to hold the file.
    if (std::uint64_t(blocks) * cab::kBlockSize < fileSize)
        return CabinetRead::Damaged;

    MszipDecoder decoder;
    std::vector<std::uint8_t> in(cab::kDataHeaderSize + 0xFFFF);
    std::vector<std::uint8_t> out(cab::kBlockSize);
    std::uint64_t at = dataStart;
    std::uint64_t remaining = fileSize;
    for (std::uint32_t block = 0; block < blocks; ++block) {
        if (cabinetSize - at < cab::kDataHeaderSize || !source.readAt(offset + at, in.data(), cab::kDataHeaderSize))
            return CabinetRead::Damaged;
        const std::uint16_t dataSize = get16(in.data() + 4);
        const std::uint16_t expanded = get16(in.data() + 6);
        if (expanded > cab::kBlockSize || cabinetSize - at - cab::kDataHeaderSize < dataSize ||
            !source.readAt(offset + at + cab::kDataHeaderSize, in.data() + cab::kDataHeaderSize, dataSize))
            return CabinetRead::Damaged;
        const std::uint32_t sum = pack::get32(in.data());
        if (sum != 0 && sum != cab::blockChecksum(in.data(), dataSize))
            return CabinetRead::Damaged;
        const std::uint8_t* data = in.data() + cab::kDataHeaderSize;
        if (compression == cab::kCompressNone) {
            if (dataSize != expanded)
                return CabinetRead::Damaged;
            std::memcpy(out.data(), data, expanded);
        } else if (dataSize < 2 || data[0] != cab::kMszipSignature[0] || data[1] != cab::kMszipSignature[1] ||
                   !decoder.expand(data + 2, dataSize - 2u, out.data(), expanded)) {
            return CabinetRead::Damaged;
        }
        decoder.remember(out.data(), expanded);
        // Bytes past the file's end belong to no file of ours.
        const auto use = static_cast<std::size_t>(std::min<std::uint64_t>(expanded, remaining));
        if (use > 0 && !sink(out.data(), use))
            return CabinetRead::SinkFailed;
        remaining -= use;
        at += cab::kDataHeaderSize + dataSize;
    }
    return remaining == 0 ? CabinetRead::Ok : CabinetRead::Damaged;
}

} // namespace pavonia::seed
