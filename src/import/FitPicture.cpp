#include "import/FitPicture.h"

#include "platform/FileOps.h"
#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <mutex>
#include <string>
#include <unistd.h>

#include <magick/MagickCore.h>

namespace pavonia {

namespace fs = std::filesystem;

// ImageMagick is started once per process and kept for its life. Its own
// worker threads are limited to one: publishing fits one picture per thread
// and the cores are shared out that way instead. Its resource limits are the
// program's own rather than a policy file's, which a machine may loosen.
void startImageLibrary()
{
    static std::once_flag started;
    std::call_once(started, [] {
        MagickCoreGenesis(nullptr, MagickFalse);
        SetMagickResourceLimit(ThreadResource, 1);
        SetMagickResourceLimit(MemoryResource, imagelimits::kMemoryBytes);
        SetMagickResourceLimit(MapResource, imagelimits::kMapBytes);
        SetMagickResourceLimit(AreaResource, imagelimits::kAreaPixels);
        SetMagickResourceLimit(WidthResource, imagelimits::kSidePixels);
        SetMagickResourceLimit(HeightResource, imagelimits::kSidePixels);
        SetMagickResourceLimit(DiskResource, imagelimits::kDiskBytes);
    });
}

namespace {

bool plainExtension(const std::string& extension)
{
    return !extension.empty() && extension.size() < 16 &&
           std::all_of(extension.begin(), extension.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

// Owners of the library's objects for one call.
struct Exception {
    ExceptionInfo* info = AcquireExceptionInfo();
    ~Exception() { DestroyExceptionInfo(info); }
};
struct Info {
    ImageInfo* info = AcquireImageInfo();
    ~Info() { DestroyImageInfo(info); }
};
struct Images {
    Image* list = nullptr;
    ~Images()
    {
        if (list)
            DestroyImageList(list);
    }
    void reset(Image* images)
    {
        if (list)
            DestroyImageList(list);
        list = images;
    }
};

struct FittedSize {
    std::size_t width;
    std::size_t height;
};

// Larger than the box in either direction: scaled by the smaller of the two
// ratios (single precision, truncated); otherwise unchanged. At least 1 x 1.
FittedSize fittedSize(std::size_t width, std::size_t height, int boxWidth, int boxHeight)
{
    FittedSize size{width, height};
    if (width > std::size_t(std::max(boxWidth, 0)) || height > std::size_t(std::max(boxHeight, 0))) {
        const float scale = std::min(float(boxWidth) / float(width), float(boxHeight) / float(height));
        const float newWidth = float(width) * scale;
        const float newHeight = float(height) * scale;
        size.width = newWidth >= 1.0f ? std::size_t(newWidth) : 1;
        size.height = newHeight >= 1.0f ? std::size_t(newHeight) : 1;
    }
    return size;
}

bool isJpegData(const std::string& bytes)
{
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF;
}

} // namespace

// Sources written as JPEG whatever their own format.
bool publishedAsJpeg(std::string_view extension)
{
    return equalsIgnoreCase(extension, "bmp") || equalsIgnoreCase(extension, "png");
}

bool isFittedPicture(const std::string& path)
{
    const std::string extension = toLowerAscii(extensionOf(path));
    return extension == "jpg" || extension == "jpeg" || extension == "gif" || extension == "bmp" ||
           extension == "png";
}

bool pictureReadable(const std::string& path)
{
    startImageLibrary();
    std::string bytes;
    if (readWholeFile(path, std::numeric_limits<std::uint64_t>::max(), bytes) != FileRead::Ok || bytes.empty())
        return false;
    Exception exception;
    Info ping;
    const std::string extension = toLowerAscii(extensionOf(path));
    const std::string hint = plainExtension(extension) ? "picture." + extension : "picture";
    CopyMagickString(ping.info->filename, hint.c_str(), MaxTextExtent);
    ping.info->number_scenes = 1;
    Images header;
    header.reset(PingBlob(ping.info, bytes.data(), bytes.size(), exception.info));
    return header.list && header.list->columns > 0 && header.list->rows > 0 &&
           exception.info->severity < ErrorException;
}

std::string publishedPictureName(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || !publishedAsJpeg(std::string_view(fileName).substr(dot + 1)))
        return fileName;
    return fileName.substr(0, dot) + ".jpg";
}

std::string fittedCopyPath(const std::string& sourcePath)
{
    const fs::path source(sourcePath);
    return (source.parent_path() / ("s_" + publishedPictureName(source.filename().string()))).string();
}

bool FitPicture(const std::string& sourcePath, int boxWidth, int boxHeight, int quality,
                std::string& resultPath)
{
    resultPath.clear();
    startImageLibrary();

    const fs::path source(sourcePath);
    const std::string fileName = source.filename().string();
    const std::string extension = toLowerAscii(extensionOf(fileName));
    const bool gif = extension == "gif";
    const bool toJpeg = publishedAsJpeg(extension);

    // The picture is read from memory, so that no character of its path is
    // taken for a format prefix or a frame selection.
    std::string bytes;
    if (readWholeFile(sourcePath, std::numeric_limits<std::uint64_t>::max(), bytes) != FileRead::Ok || bytes.empty())
        return false;

    Exception exception;
    Info read;
    // A GIF is read up to its second frame, enough to tell an animation;
    // anything else to its first.
    read.info->scene = 0;
    read.info->number_scenes = gif ? 2 : 1;
    // The extension helps with formats that carry no signature.
    const std::string hint = plainExtension(extension) ? "picture." + extension : "picture";
    CopyMagickString(read.info->filename, hint.c_str(), MaxTextExtent);

    // A JPEG far larger than the box is decoded at a reduced scale (libjpeg
    // scales by eighths while decoding); it stays at least twice the final
    // size, so the resize below still has the detail it needs.
    std::size_t sourceWidth = 0, sourceHeight = 0;
    if (isJpegData(bytes)) {
        Info ping;
        CopyMagickString(ping.info->filename, hint.c_str(), MaxTextExtent);
        ping.info->number_scenes = 1;
        Images header;
        header.reset(PingBlob(ping.info, bytes.data(), bytes.size(), exception.info));
        if (header.list) {
            sourceWidth = header.list->columns;
            sourceHeight = header.list->rows;
            const FittedSize target = fittedSize(sourceWidth, sourceHeight, boxWidth, boxHeight);
            // A hint beyond the stored size would make the decoder enlarge.
            if (target.width * 2 <= sourceWidth && target.height * 2 <= sourceHeight) {
                const std::string size =
                    std::to_string(target.width * 2) + "x" + std::to_string(target.height * 2);
                SetImageOption(read.info, "jpeg:size", size.c_str());
            }
        }
    }

    Images images;
    images.reset(BlobToImage(read.info, bytes.data(), bytes.size(), exception.info));
    if (!images.list)
        return false;
    bytes.clear();
    bytes.shrink_to_fit();

    Image* image = images.list;
    if (image->colorspace != sRGBColorspace)
        TransformImageColorspace(image, sRGBColorspace);

    if (gif && GetImageListLength(images.list) >= 2) {
        resultPath = sourcePath;
        return false;
    }

    // The size is worked out from the picture as stored, whatever scale the
    // decoder used.
    if (sourceWidth == 0 || sourceHeight == 0) {
        sourceWidth = image->columns;
        sourceHeight = image->rows;
    }
    const FittedSize target = fittedSize(sourceWidth, sourceHeight, boxWidth, boxHeight);
    if (target.width != image->columns || target.height != image->rows) {
        Image* resized = ResizeImage(image, target.width, target.height, image->filter, 1.0,
                                     exception.info);
        if (!resized)
            return false;
        images.reset(resized);
        image = resized;
    }

    Info write;
    if (toJpeg) {
        // JPEG has no transparency: transparent parts are shown on white.
        if (image->matte != MagickFalse) {
            QueryColorDatabase("white", &image->background_color, exception.info);
            SetImageAlphaChannel(image, RemoveAlphaChannel);
        }
        CopyMagickString(write.info->magick, "JPEG", MaxTextExtent);
        CopyMagickString(image->magick, "JPEG", MaxTextExtent);
        // The library takes 0 for "its default"; libjpeg treats 0 and 1 alike.
        write.info->quality = std::size_t(std::clamp(quality, 1, 100));
        image->quality = write.info->quality;
    } else {
        CopyMagickString(write.info->magick, image->magick, MaxTextExtent);
    }
    const std::string format = image->magick;
    const std::string prefix = format + ":";
    CopyMagickString(write.info->filename, prefix.c_str(), MaxTextExtent);
    CopyMagickString(image->filename, prefix.c_str(), MaxTextExtent);

    std::size_t length = 0;
    void* blob = ImageToBlob(write.info, image, &length, exception.info);
    if (!blob || length == 0) {
        if (blob)
            RelinquishMagickMemory(blob);
        return false;
    }
    const std::string outputPath = fittedCopyPath(sourcePath);
    // Through a temporary, so that a failed write never leaves a partial
    // copy under the published name; a working file, so a link planted in
    // its place is replaced, not written through.
    const bool written = writeFileReplacing(outputPath, std::string_view(static_cast<const char*>(blob), length),
                                            LinkTarget::Replace);
    RelinquishMagickMemory(blob);
    if (!written)
        return false;
    resultPath = outputPath;
    return true;
}

std::optional<RgbPicture> readScaledPicture(const std::string& path, float factor)
{
    startImageLibrary();
    std::string bytes;
    if (readWholeFile(path, std::numeric_limits<std::uint64_t>::max(), bytes) != FileRead::Ok || bytes.empty())
        return std::nullopt;
    Exception exception;
    Info read;
    read.info->number_scenes = 1;
    const std::string extension = toLowerAscii(extensionOf(path));
    const std::string hint = plainExtension(extension) ? "picture." + extension : "picture";
    CopyMagickString(read.info->filename, hint.c_str(), MaxTextExtent);
    Images images;
    images.reset(BlobToImage(read.info, bytes.data(), bytes.size(), exception.info));
    if (!images.list || images.list->columns == 0 || images.list->rows == 0)
        return std::nullopt;
    Image* image = images.list;
    if (image->colorspace != sRGBColorspace)
        TransformImageColorspace(image, sRGBColorspace);

    const auto scaled = [factor](std::size_t side) {
        const float size = float(side) * factor;
        if (!(size >= 1.0f))
            return std::size_t(1);
        return size < float(kMaxScaledSide) ? std::size_t(size) : std::size_t(kMaxScaledSide);
    };
    const std::size_t width = scaled(image->columns);
    const std::size_t height = scaled(image->rows);
    if (width != image->columns || height != image->rows) {
        Image* resized = ResizeImage(image, width, height, image->filter, 1.0, exception.info);
        if (!resized)
            return std::nullopt;
        images.reset(resized);
        image = resized;
    }
    RgbPicture picture;
    picture.width = int(width);
    picture.height = int(height);
    picture.rows.resize(width * height * 3);
    if (ExportImagePixels(image, 0, 0, width, height, "RGB", CharPixel, picture.rows.data(), exception.info) ==
        MagickFalse)
        return std::nullopt;
    return picture;
}

} // namespace pavonia
