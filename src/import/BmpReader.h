#pragma once
// Reads uncompressed Windows bitmaps of 1, 4, 8 and 24 bits per pixel.
// The reader shows nothing itself: a read returns the picture or the failure,
// for the caller to show; status() keeps "OK" or the failure's text.
#include "import/RgbPicture.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>

namespace pavonia {

class BmpReader {
public:
    // The picture in `path`, or why not. Bitmaps of 16 or 32 bits, top-down
    // bitmaps and pixel data that refers beyond the palette or beyond the end
    // of the file are refused.
    Result<RgbPicture> read(const std::string& path);

    // "OK" after a successful read, otherwise the message of the failure
    // (from the string table).
    const std::string& status() const { return status_; }
    bool ok() const { return ok_; }

    // Bytes consumed from the start of the file by the last read.
    std::uint64_t bytesConsumed() const { return consumed_; }

private:
    std::string status_;
    bool ok_ = false;
    std::uint64_t consumed_ = 0;
};

} // namespace pavonia
