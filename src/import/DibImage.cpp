#include "import/DibImage.h"

#include "import/BmpReader.h"
#include "import/ReadJpeg.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pavonia {

namespace {

bool sameColour(const std::uint8_t* bgr, std::uint32_t colour)
{
    return bgr[0] == ((colour >> 16) & 0xFF) && bgr[1] == ((colour >> 8) & 0xFF) &&
           bgr[2] == (colour & 0xFF);
}

void putColour(std::uint8_t* bgr, std::uint32_t colour)
{
    bgr[0] = static_cast<std::uint8_t>(colour >> 16);
    bgr[1] = static_cast<std::uint8_t>(colour >> 8);
    bgr[2] = static_cast<std::uint8_t>(colour);
}

} // namespace

void DibImage::clear()
{
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

bool DibImage::assign(int width, int height, std::vector<std::uint8_t> pixels)
{
    if (width < 0 || height < 0 ||
        pixels.size() != std::size_t(width) * std::size_t(height) * 3)
        return false;
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    return true;
}

// Turns top-down red-green-blue rows into bottom-up blue-green-red in place.
void DibImage::takeRgbRows(int width, int height, std::vector<std::uint8_t> rows)
{
    const std::size_t stride = std::size_t(width) * 3;
    for (int top = 0, bottom = height - 1; top <= bottom; ++top, --bottom) {
        std::uint8_t* a = rows.data() + stride * std::size_t(top);
        std::uint8_t* b = rows.data() + stride * std::size_t(bottom);
        if (top != bottom)
            std::swap_ranges(a, a + stride, b);
        for (std::size_t i = 0; i < stride; i += 3) {
            std::swap(a[i], a[i + 2]);
            if (top != bottom)
                std::swap(b[i], b[i + 2]);
        }
    }
    pixels_ = std::move(rows);
    width_ = width;
    height_ = height;
}

bool DibImage::LoadJpeg(const std::string& path, Ui& ui)
{
    return take(ReadJpeg(path), ui);
}

bool DibImage::LoadBmp(const std::string& path, Ui& ui)
{
    return take(BmpReader().read(path), ui);
}

bool DibImage::take(Result<RgbPicture> picture, Ui& ui)
{
    clear();
    if (!picture) {
        showFailure(ui, picture.failure());
        return false;
    }
    takeRgbRows(picture->width, picture->height, std::move(picture->rows));
    return true;
}

std::vector<std::uint8_t> DibImage::paddedPixels() const
{
    const std::size_t stride = std::size_t(rowStride());
    const std::size_t rowBytes = std::size_t(width_) * 3;
    std::vector<std::uint8_t> padded(stride * std::size_t(height_), 0);
    for (int row = 0; row < height_; ++row)
        std::memcpy(padded.data() + stride * row, pixels_.data() + rowBytes * row, rowBytes);
    return padded;
}

DibImage DibImage::OverlayWithKey(std::span<std::uint8_t> destination,
                                  std::span<const std::uint8_t> overlay, int width, int height,
                                  int bitsPerPixel, std::uint32_t key, std::uint32_t replacement,
                                  bool replace)
{
    DibImage result;
    if (width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32))
        return result;
    const std::size_t bytesPerPixel = std::size_t(bitsPerPixel) / 8;
    const std::size_t stride = (std::size_t(width) * bytesPerPixel + 3) & ~std::size_t(3);
    const std::size_t needed = stride * std::size_t(height);
    if (destination.size() < needed || (!overlay.empty() && overlay.size() < needed))
        return result;

    // Without an overlay the destination is its own overlay: every
    // key-coloured pixel is replaced.
    std::vector<std::uint8_t> copy;
    if (overlay.empty()) {
        copy.assign(destination.begin(), destination.begin() + std::ptrdiff_t(needed));
        overlay = copy;
        replace = true;
    }

    std::vector<std::uint8_t> out(std::size_t(width) * std::size_t(height) * 3);
    for (int row = 0; row < height; ++row) {
        std::uint8_t* dst = destination.data() + stride * std::size_t(row);
        const std::uint8_t* over = overlay.data() + stride * std::size_t(row);
        std::uint8_t* res = out.data() + std::size_t(width) * 3 * std::size_t(row);
        for (int x = 0; x < width; ++x, dst += bytesPerPixel, over += bytesPerPixel, res += 3) {
            if (!sameColour(over, key))
                std::memcpy(dst, over, 3);
            else if (replace)
                putColour(dst, replacement);
            std::memcpy(res, dst, 3);
        }
    }
    result.pixels_ = std::move(out);
    result.width_ = width;
    result.height_ = height;
    return result;
}

const DibImage& DibImage::TileOrCentre(const DibImage& source, int x, int y, int width,
                                       int height, bool tile, std::uint8_t grey)
{
    if (width <= 0 || height <= 0) {
        clear();
        return *this;
    }
    // Rows here count from the top; the buffer keeps them bottom-up.
    std::vector<std::uint8_t> picture(std::size_t(width) * std::size_t(height) * 3, grey);
    const std::size_t outStride = std::size_t(width) * 3;
    const int sw = source.width_;
    const int sh = source.height_;
    const std::size_t inStride = std::size_t(sw) * 3;

    // Copies the source with its top left at (left, top), clipped.
    const auto place = [&](long long left, long long top) {
        const long long x0 = std::max<long long>(left, 0);
        const long long x1 = std::min<long long>(left + sw, width);
        if (x0 >= x1)
            return;
        for (long long row = std::max<long long>(top, 0); row < std::min<long long>(top + sh, height);
             ++row) {
            const long long sourceRow = row - top;
            const std::uint8_t* from = source.pixels_.data() +
                                       inStride * std::size_t(sh - 1 - sourceRow) +
                                       std::size_t(x0 - left) * 3;
            std::uint8_t* to = picture.data() + outStride * std::size_t(height - 1 - row) +
                               std::size_t(x0) * 3;
            std::memcpy(to, from, std::size_t(x1 - x0) * 3);
        }
    };

    if (!source.empty()) {
        if (tile) {
            // Tiles wholly above or left of the picture are skipped.
            const auto firstTile = [](long long start, int size) {
                return start < 0 ? start + (-start) / size * size : start;
            };
            for (long long top = firstTile(y, sh); top < height; top += sh)
                for (long long left = firstTile(x, sw); left < width; left += sw)
                    place(left, top);
        } else {
            place(x, y);
        }
    }
    pixels_ = std::move(picture);
    width_ = width;
    height_ = height;
    return *this;
}

} // namespace pavonia
