#pragma once
// Decodes a JPEG file with libjpeg. Failures are shown through `ui` (the
// file cannot be opened, the picture is too large to hold, or libjpeg's own
// fatal message under "JPEG Fatal Error") and nothing is returned. A file
// cut short decodes to the end of its data: libjpeg warns and the rest of
// the picture is filled in, as libjpeg does after an end-of-image marker.
#include "import/RgbPicture.h"
#include "platform/Ui.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pavonia {

// The largest picture the reader decodes, in pixels (three bytes each).
inline constexpr std::uint64_t kMaxJpegPixels = std::uint64_t(1) << 27;

// `maxPixels` lowers the limit, for callers that only need small pictures.
std::optional<RgbPicture> ReadJpeg(const std::string& path, Ui& ui,
                                   std::uint64_t maxPixels = kMaxJpegPixels);

} // namespace pavonia
