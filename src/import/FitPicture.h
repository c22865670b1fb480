#pragma once
// Makes the copy of a slide picture that publishing puts on the page: fitted
// into the media frame, named after the source with "s_" in front of the
// file name, in the source's folder. Shows nothing.
//
// Safe to call from several threads at once, one picture per call; the
// output bytes do not depend on how many calls run together.
#include "import/RgbPicture.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pavonia {

// The limits the image library works under. A picture wider or taller than
// kSidePixels is refused as it is read; one whose pixels need more than the
// memory and map limits is refused too, never spilled into temporary files.
namespace imagelimits {
inline constexpr std::uint64_t kMemoryBytes = 512ull << 20;
inline constexpr std::uint64_t kMapBytes = 1ull << 30;
inline constexpr std::uint64_t kAreaPixels = 128ull << 20;
inline constexpr std::uint64_t kSidePixels = 32768;
inline constexpr std::uint64_t kDiskBytes = 0;
} // namespace imagelimits

// Starts the image library with those limits, once per process; every call
// into the library comes after it.
void startImageLibrary();

// Returns true with `resultPath` naming the written copy. A picture larger
// than boxWidth x boxHeight is scaled down keeping its proportions; a
// smaller one keeps its size. A ".bmp" source is written as a JPEG of
// `quality` (0..100) named "s_<name>.jpg", and so is a ".png" source (its
// transparent parts on white); any other source in its own format with the
// library's default settings.
// An animated GIF (two or more frames) is not fitted: false, with
// `resultPath` set to the source path. A picture that cannot be read or
// written: false, with `resultPath` empty.
bool FitPicture(const std::string& sourcePath, int boxWidth, int boxHeight, int quality,
                std::string& resultPath);

// Whether publishing fits the media file at `path` as a picture: gif, jpg,
// jpeg, bmp and png files (by extension, without regard to case).
bool isFittedPicture(const std::string& path);

// Whether the file at `path` holds a picture the library can read (its
// header is read, not its pixels).
bool pictureReadable(const std::string& path);

// The name a picture is published under: its own, a ".bmp" or ".png" (any
// case) becoming ".jpg".
std::string publishedPictureName(const std::string& fileName);

// The path FitPicture writes for `sourcePath`: "s_" + the published name, in
// the source's folder.
std::string fittedCopyPath(const std::string& sourcePath);

// The first frame of the picture at `path` (any format the library reads),
// scaled by `factor` in both directions: sizes truncated, at least 1, and at
// most kMaxScaledSide. Nothing when the picture cannot be read. Shows nothing.
inline constexpr int kMaxScaledSide = 8192;
std::optional<RgbPicture> readScaledPicture(const std::string& path, float factor);

} // namespace pavonia
