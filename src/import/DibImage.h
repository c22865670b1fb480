#pragma once
// A 24-bit picture in bitmap order: rows from the bottom of the picture to
// the top, each pixel blue, green, red, rows not padded. The device bitmap
// made from it belongs to the widget layer; this class holds pixels only.
// Colours are 0x00BBGGRR values (red in the low byte).
#include "import/RgbPicture.h"
#include "platform/Ui.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pavonia {

class DibImage {
public:
    // Replace the pixels with the picture in `path`. On failure the image is
    // empty, the reader's failure is shown through `ui` and false is returned.
    bool LoadJpeg(const std::string& path, Ui& ui);
    bool LoadBmp(const std::string& path, Ui& ui);

    // For every pixel of `destination` (rows of width x bitsPerPixel / 8
    // bytes padded to a multiple of 4, 24 or 32 bits per pixel, bottom row
    // first): an overlay pixel other than `key` is copied into the
    // destination; where the overlay pixel is `key`, the destination pixel
    // becomes `replacement` when `replace` is set and stays otherwise.
    // Without an overlay (empty span) the destination serves as its own
    // overlay and every key-coloured pixel is replaced. The destination is
    // changed in place and the result returned as a 24-bit image. Buffers
    // too small for the given size leave the destination unchanged and give
    // an empty image.
    static DibImage OverlayWithKey(std::span<std::uint8_t> destination,
                                   std::span<const std::uint8_t> overlay, int width, int height,
                                   int bitsPerPixel, std::uint32_t key, std::uint32_t replacement,
                                   bool replace);

    // Replace this image with a width x height picture: with `tile`, `source`
    // repeated from (x, y) across and down, clipped at the edges; otherwise
    // the grey level in every channel with `source` copied once at (x, y).
    // (x, y) counts from the top left; the area outside the copies is grey.
    // `source` may be this image. Returns this image.
    const DibImage& TileOrCentre(const DibImage& source, int x, int y, int width, int height,
                                 bool tile, std::uint8_t grey);

    // Builds an image from bottom-up blue-green-red rows of width x 3 bytes.
    // Returns false (and leaves the image) when the size does not match.
    bool assign(int width, int height, std::vector<std::uint8_t> pixels);
    void clear();

    bool empty() const { return pixels_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    // Width x 3 rounded up to a multiple of 4: the row length of a padded
    // copy for a device bitmap.
    int rowStride() const { return (width_ * 3 + 3) & ~3; }
    // A copy of the pixels with each row padded to rowStride().
    std::vector<std::uint8_t> paddedPixels() const;

private:
    bool take(Result<RgbPicture> picture, Ui& ui);
    void takeRgbRows(int width, int height, std::vector<std::uint8_t> rows);

    std::vector<std::uint8_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace pavonia
