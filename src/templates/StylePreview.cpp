#include "templates/StylePreview.h"

#include "import/BmpReader.h"
#include "import/FitPicture.h"
#include "import/ReadJpeg.h"
#include "platform/IniFile.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/CaseBlindPath.h"
#include "templates/ReadLayerRect.h"
#include "templates/TemplateLibrary.h"

#include <algorithm>

namespace pavonia {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

// The preview shows what it can: a page whose layer size cannot be read
// leaves the background unscaled, without the reader's message.
class QuietUi final : public Ui {
public:
    Answer messageBox(const std::string&, const std::string&, Buttons) override { return Answer::Ok; }
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override { return std::nullopt; }
};

// The readers return what they read; the preview takes it or leaves the
// picture empty, with no message.
DibImage pictureOrEmpty(Result<RgbPicture> picture)
{
    DibImage image;
    if (picture)
        image.assignRgb(std::move(*picture));
    return image;
}

DibImage loadJpeg(const std::string& path)
{
    return isFile(path) ? pictureOrEmpty(ReadJpeg(path)) : DibImage();
}

DibImage loadBmp(const std::string& path)
{
    return isFile(path) ? pictureOrEmpty(BmpReader().read(path)) : DibImage();
}

// The background picture scaled so that the page's background layer would
// fill the area: the smaller of area width / layer width and area height /
// layer height. A page without a usable layer size leaves the picture as it is.
DibImage scaledBackground(const std::string& picturePath, const std::string& pageTemplate, const PreviewArea& area)
{
    QuietUi quiet;
    const LayerRect layer = ReadLayerRect(pageTemplate, PageLayer::Background, quiet).value_or(LayerRect{});
    const int layerWidth = layer.width - layer.left;
    const int layerHeight = layer.height - layer.top;
    float factor = 1.0f;
    if (layerWidth > 0 && layerHeight > 0)
        factor = std::min(float(area.width) / float(layerWidth), float(area.height) / float(layerHeight));
    DibImage picture;
    if (std::optional<RgbPicture> rgb = readScaledPicture(picturePath, factor))
        picture.assignRgb(std::move(*rgb));
    return picture;
}

// The canvas under the mask. Tiled, the first row of copies starts at (x, y)
// and runs to the right edge; every later row starts at the left edge, one
// picture height lower. Not tiled, one copy at (x, y) on grey.
DibImage backgroundCanvas(const DibImage& picture, int x, int y, int width, int height, bool tile,
                          std::uint8_t grey)
{
    DibImage canvas;
    if (!tile) {
        canvas.TileOrCentre(picture, x, y, width, height, false, grey);
        return canvas;
    }
    // The later rows, from the left edge, then the first row laid over them.
    canvas.TileOrCentre(picture, 0, y + picture.height(), width, height, true, grey);
    DibImage firstRow;
    firstRow.TileOrCentre(picture, x, 0, width, picture.height(), true, grey);
    std::vector<std::uint8_t> pixels = canvas.pixels();
    const std::size_t stride = std::size_t(width) * 3;
    for (int row = std::max(y, 0); row < std::min(y + picture.height(), height); ++row) {
        // Both buffers keep their rows bottom-up.
        const std::uint8_t* from = firstRow.pixels().data() + stride * std::size_t(picture.height() - 1 - (row - y));
        std::copy(from, from + stride, pixels.begin() + std::ptrdiff_t(stride * std::size_t(height - 1 - row)));
    }
    canvas.assign(width, height, std::move(pixels));
    return canvas;
}

} // namespace

std::optional<PreviewArea> readPreviewArea(const std::string& infoIniPath)
{
    if (!isFile(infoIniPath))
        return std::nullopt;
    const std::optional<std::string> value = IniFile(infoIniPath).readText("Style", "Area");
    if (!value)
        return std::nullopt;
    const std::vector<std::string> pieces = splitText(*value, ",");
    if (pieces.size() != 4)
        return std::nullopt;
    int numbers[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string piece = trimmed(pieces[i]);
        if (piece.empty() || piece.find_first_not_of("+-0123456789") != std::string::npos)
            return std::nullopt;
        numbers[i] = parseClampedInt(piece);
    }
    return PreviewArea{numbers[0], numbers[1], numbers[2], numbers[3]};
}

DibImage composeOverMask(const DibImage& mask, const DibImage* picture, std::uint32_t colour, int x, int y,
                         bool tile, std::uint8_t grey)
{
    if (mask.empty())
        return {};
    std::vector<std::uint8_t> maskRows = mask.paddedPixels();
    if (!picture)
        return DibImage::OverlayWithKey(maskRows, {}, mask.width(), mask.height(), 24, kWhite, colour, true);
    const DibImage canvas = backgroundCanvas(*picture, x, y, mask.width(), mask.height(), tile, grey);
    std::vector<std::uint8_t> canvasRows = canvas.paddedPixels();
    return DibImage::OverlayWithKey(canvasRows, maskRows, mask.width(), mask.height(), 24, kWhite, 0, false);
}

std::optional<StylePreview> BuildStylePreview(const TemplateLibrary& library, const ProjectSettings& project,
                                              std::uint8_t buttonFaceRed, Ui& ui)
{
    const std::optional<ResolutionKey> key = ResolutionKey::parse(project.resolutionKey);
    const std::optional<TemplatePaths> paths = library.ResolveTemplatePaths(project);
    if (!key || !paths) {
        showMessage(ui, StringTable::text(str::ResolutionErrorPreview));
        return std::nullopt;
    }

    StylePreview preview;
    if (project.styleNumber < kFirstCustomStyle) {
        preview.mode = StylePreview::Mode::Base;
        preview.base = loadJpeg(paths->previewPicture);
        return preview;
    }

    switch (project.backgroundMode) {
    case 1:
        preview.mode = StylePreview::Mode::Colour;
        preview.colour = project.backgroundColour;
        break;
    case 2:
        preview.mode = StylePreview::Mode::Composed;
        preview.tile = project.backgroundTile != 0;
        break;
    default:
        // The custom style's own preview; a standard key names no custom
        // preview of its own.
        preview.mode = StylePreview::Mode::Base;
        if (key->kind != "0")
            preview.base = loadJpeg(paths->previewPicture);
        return preview;
    }

    // A mask that cannot be read gives no overlay.
    const DibImage mask = loadBmp(paths->previewMask);
    if (mask.empty())
        return preview;
    if (preview.mode == StylePreview::Mode::Colour) {
        preview.overlay = composeOverMask(mask, nullptr, preview.colour, 0, 0, false, 0);
        return preview;
    }
    // The style's info.ini lies two levels above the mask.
    const PreviewArea area = readPreviewArea(resolveCaseBlind(paths->styleFolder, "info.ini"))
                                 .value_or(PreviewArea{0, 0, mask.width(), mask.height()});
    const DibImage picture = scaledBackground(project.backgroundImagePath, paths->pageTemplate, area);
    if (!picture.empty())
        preview.overlay = composeOverMask(mask, &picture, 0, area.x, area.y, preview.tile, buttonFaceRed);
    return preview;
}

} // namespace pavonia
