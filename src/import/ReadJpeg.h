#pragma once
// Decodes a JPEG file with libjpeg. A failure (the file cannot be opened,
// the picture is too large to hold, or libjpeg's own fatal message, which
// is shown under "JPEG Fatal Error") is returned for the caller to show. A file
// cut short decodes to the end of its data: libjpeg warns and the rest of
// the picture is filled in, as libjpeg does after an end-of-image marker.
#include "import/RgbPicture.h"
#include "platform/Result.h"

#include <cstdint>
#include <string>

namespace pavonia {

// The largest picture the reader decodes, in pixels (three bytes each).
inline constexpr std::uint64_t kMaxJpegPixels = std::uint64_t(1) << 27;

// `maxPixels` lowers the limit, for callers that only need small pictures.
Result<RgbPicture> ReadJpeg(const std::string& path, std::uint64_t maxPixels = kMaxJpegPixels);

} // namespace pavonia
