#include "PictureFixtures.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

extern "C" {
#include <jpeglib.h>
}
#include <magick/MagickCore.h>

namespace pavonia::test {

namespace {

void putU16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void putU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void startLibrary()
{
    static const bool started = [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        return true;
    }();
    (void)started;
}

} // namespace

std::string BmpFile::bytes() const
{
    const std::uint32_t paletteBytes = static_cast<std::uint32_t>(palette.size() * 4);
    const std::uint32_t offset = pixelOffset >= 0 ? static_cast<std::uint32_t>(pixelOffset)
                                                  : 14 + headerSize + paletteBytes;
    std::string out = "BM";
    putU32(out, offset + static_cast<std::uint32_t>(pixels.size()));
    putU16(out, 0);
    putU16(out, 0);
    putU32(out, offset);
    putU32(out, headerSize);
    putU32(out, static_cast<std::uint32_t>(width));
    putU32(out, static_cast<std::uint32_t>(height));
    putU16(out, 1);
    putU16(out, bitsPerPixel);
    putU32(out, compression);
    putU32(out, static_cast<std::uint32_t>(pixels.size()));
    putU32(out, 2835);
    putU32(out, 2835);
    putU32(out, coloursUsed);
    putU32(out, 0);
    if (headerSize > 40)
        out.append(headerSize - 40, '\0');
    for (std::uint32_t colour : palette) {
        out += static_cast<char>(colour & 0xFF);
        out += static_cast<char>((colour >> 8) & 0xFF);
        out += static_cast<char>((colour >> 16) & 0xFF);
        out += '\0';
    }
    if (pixelOffset >= 0)
        out.resize(offset, '\0');
    return out + pixels;
}

std::string encodeJpeg(int width, int height, int components,
                       const std::function<std::uint8_t(int, int, int)>& sample, int quality,
                       bool progressive)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width * components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                row[static_cast<std::size_t>(x * components + c)] = sample(x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

std::string encodeGif(int width, int height, const std::vector<std::uint32_t>& frameColours)
{
    startLibrary();
    ExceptionInfo* exception = AcquireExceptionInfo();
    Image* list = nullptr;
    for (std::uint32_t colour : frameColours) {
        std::vector<unsigned char> pixels;
        for (int i = 0; i < width * height; ++i) {
            pixels.push_back(static_cast<unsigned char>(colour >> 16));
            pixels.push_back(static_cast<unsigned char>(colour >> 8));
            pixels.push_back(static_cast<unsigned char>(colour));
        }
        Image* frame = ConstituteImage(static_cast<size_t>(width), static_cast<size_t>(height),
                                       "RGB", CharPixel, pixels.data(), exception);
        if (!frame)
            throw std::runtime_error("cannot make a GIF frame");
        frame->delay = 10;
        AppendImageToList(&list, frame);
    }
    ImageInfo* info = AcquireImageInfo();
    CopyMagickString(info->magick, "GIF", MaxTextExtent);
    CopyMagickString(list->magick, "GIF", MaxTextExtent);
    info->adjoin = MagickTrue;
    size_t length = 0;
    void* blob = ImagesToBlob(info, list, &length, exception);
    std::string out(static_cast<const char*>(blob), length);
    RelinquishMagickMemory(blob);
    DestroyImageInfo(info);
    DestroyImageList(list);
    DestroyExceptionInfo(exception);
    return out;
}

PictureInfo inspectPicture(const std::string& path)
{
    startLibrary();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    PictureInfo result;
    if (bytes.empty())
        return result;
    ExceptionInfo* exception = AcquireExceptionInfo();
    ImageInfo* info = AcquireImageInfo();
    Image* list = BlobToImage(info, bytes.data(), bytes.size(), exception);
    if (list) {
        result.width = list->columns;
        result.height = list->rows;
        result.frames = GetImageListLength(list);
        result.format = list->magick;
        result.quality = list->quality;
        DestroyImageList(list);
    }
    DestroyImageInfo(info);
    DestroyExceptionInfo(exception);
    return result;
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace pavonia::test
