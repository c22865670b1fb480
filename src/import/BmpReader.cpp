#include "import/BmpReader.h"

#include "platform/FileOps.h"
#include "platform/LittleEndian.h"
#include "platform/StringTable.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;

struct PaletteEntry {
    std::uint8_t red, green, blue;
};

} // namespace

Result<RgbPicture> BmpReader::read(const std::string& path)
{
    ok_ = false;
    consumed_ = 0;
    status_ = StringTable::text(str::BmpStatusOk);
    const auto refuse = [&](Failure failure) {
        status_ = failure.text();
        return failure;
    };

    std::string bytes;
    try {
        switch (readWholeFile(path, std::numeric_limits<std::uint64_t>::max(), bytes)) {
        case FileRead::Ok:
            break;
        case FileRead::CannotOpen:
            return refuse(Failure(str::BmpCantOpen, {path}));
        case FileRead::TooLarge:
        case FileRead::Failed:
            return refuse(Failure(str::BmpHeaderReadError));
        }
    } catch (const std::bad_alloc&) {
        return refuse(Failure(str::BmpAllocFailed));
    }

    ByteReader in(bytes);
    const auto fail = [&](Failure failure) {
        consumed_ = in.consumed();
        return refuse(std::move(failure));
    };

    std::uint8_t magicB = 0, magicM = 0;
    if (!in.u8(magicB) || !in.u8(magicM) || magicB != 'B' || magicM != 'M')
        return fail(Failure(str::BmpNotValid));

    std::uint32_t fileSize = 0, pixelOffset = 0, headerSize = 0, rawWidth = 0, rawHeight = 0;
    std::uint32_t compression = 0, imageSize = 0, xResolution = 0, yResolution = 0;
    std::uint32_t coloursUsed = 0, importantColours = 0;
    std::uint16_t reserved1 = 0, reserved2 = 0, planes = 0, bitsPerPixel = 0;
    if (!in.u32(fileSize) || !in.u16(reserved1) || !in.u16(reserved2) || !in.u32(pixelOffset) ||
        !in.u32(headerSize) || !in.u32(rawWidth) || !in.u32(rawHeight) || !in.u16(planes) ||
        !in.u16(bitsPerPixel) || !in.u32(compression) || !in.u32(imageSize) ||
        !in.u32(xResolution) || !in.u32(yResolution) || !in.u32(coloursUsed) ||
        !in.u32(importantColours))
        return fail(Failure(str::BmpHeaderReadError));

    if (compression != 0)
        return fail(Failure(str::BmpCompressed));

    // Only the 40-byte information header and its longer successors share
    // this layout; the palette follows the whole header, however long.
    if (headerSize < kInfoHeaderSize)
        return fail(Failure(str::BmpUnsupportedHeader, {std::to_string(headerSize)}));
    if (headerSize > kInfoHeaderSize && !in.skip(headerSize - kInfoHeaderSize))
        return fail(Failure(str::BmpHeaderReadError));

    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24)
        return fail(Failure(str::BmpUnsupportedDepth, {std::to_string(bitsPerPixel)}));

    const auto width = static_cast<std::int32_t>(rawWidth);
    const auto height = static_cast<std::int32_t>(rawHeight);
    if (height < 0 && width > 0)
        return fail(Failure(str::BmpTopDown));
    if (width <= 0 || height <= 0)
        return fail(Failure(str::BmpBadSize, {std::to_string(width), std::to_string(height)}));

    if (coloursUsed == 0)
        coloursUsed = 1u << std::min<std::uint16_t>(bitsPerPixel, 24);

    std::vector<PaletteEntry> palette;
    if (bitsPerPixel <= 8) {
        // Every entry must be in the file before the palette is sized.
        if (std::uint64_t(coloursUsed) * 4 > in.remaining())
            return fail(Failure(str::BmpHeaderReadError));
        try {
            palette.resize(coloursUsed);
        } catch (const std::bad_alloc&) {
            return fail(Failure(str::BmpOutOfMemory));
        }
        for (PaletteEntry& entry : palette) {
            std::uint8_t reserved = 0;
            in.u8(entry.blue);
            in.u8(entry.green);
            in.u8(entry.red);
            in.u8(reserved);
        }
    }

    if (in.consumed() > pixelOffset)
        return fail(Failure(str::BmpCorruptPalette));
    if (!in.skip(pixelOffset - in.consumed()))
        return fail(Failure(str::BmpPixelReadError));

    // Rows are padded to a multiple of 4 bytes counted from the pixel data.
    const std::uint64_t rowBits = std::uint64_t(width) * bitsPerPixel;
    const std::uint64_t fileStride = (rowBits + 31) / 32 * 4;
    if (fileStride * std::uint64_t(height) > in.remaining())
        return fail(Failure(str::BmpPixelReadError));

    const std::uint64_t outStride = std::uint64_t(width) * 3;
    RgbPicture picture;
    try {
        picture.rows.resize(outStride * std::uint64_t(height));
    } catch (const std::bad_alloc&) {
        return fail(Failure(str::BmpAllocFailed));
    }
    picture.width = width;
    picture.height = height;

    const std::uint8_t* data = in.here();
    const unsigned mask = (1u << std::min<unsigned>(bitsPerPixel, 8)) - 1;
    for (std::int32_t fileRow = 0; fileRow < height; ++fileRow) {
        const std::uint8_t* src = data + std::uint64_t(fileRow) * fileStride;
        std::uint8_t* out = picture.rows.data() + std::uint64_t(height - 1 - fileRow) * outStride;
        if (bitsPerPixel == 24) {
            for (std::int32_t x = 0; x < width; ++x, src += 3, out += 3) {
                out[0] = src[2];
                out[1] = src[1];
                out[2] = src[0];
            }
            continue;
        }
        // Palette indexes, most significant bits first.
        unsigned bitsLeft = 0;
        std::uint8_t current = 0;
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            if (bitsLeft == 0) {
                current = *src++;
                bitsLeft = 8;
            }
            bitsLeft -= bitsPerPixel;
            const unsigned index = (current >> bitsLeft) & mask;
            if (index >= palette.size()) {
                in.skip(std::uint64_t(src - data));
                return fail(Failure(str::BmpBadPaletteIndex));
            }
            out[0] = palette[index].red;
            out[1] = palette[index].green;
            out[2] = palette[index].blue;
        }
    }
    in.skip(fileStride * std::uint64_t(height));
    consumed_ = in.consumed();
    ok_ = true;
    return picture;
}

} // namespace pavonia
