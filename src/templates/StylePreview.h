#pragma once
// The style page's preview picture: the style's own preview for a standard
// style, and for a custom style its preview mask over the project's
// background (the style's own, a colour, or a picture tiled or placed once in
// the style's background area). The widget fills its frame with the
// button-face colour and then draws by mode; every picture is stretched to
// the frame without keeping proportions.
#include "import/DibImage.h"
#include "platform/Ui.h"
#include "project/Records.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pavonia {

class TemplateLibrary;

struct StylePreview {
    enum class Mode {
        Composed = 0, // draws the overlay (the mask over the background picture)
        Colour = 1,   // fills the frame with `colour`, then draws the overlay
        Base = 2,     // draws the base picture
    };
    Mode mode = Mode::Base;
    DibImage base;    // empty: nothing is drawn
    DibImage overlay; // empty: nothing is drawn
    std::uint32_t colour = 0; // 0x00BBGGRR
    bool tile = false;
};

// The rectangle of a custom style's preview that receives the background:
// "Style"/"Area" of the style's info.ini as x, y, w, h; nothing when the key
// is missing or does not hold four numbers.
struct PreviewArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
std::optional<PreviewArea> readPreviewArea(const std::string& infoIniPath);

// Builds the preview of the project's selection. `buttonFaceRed` is the red
// channel of the system's button-face colour: the grey around a background
// picture that is not tiled. Nothing, after "Resolution information
// error.\nUnable to preview style image.", when the key does not split. A
// picture that is missing or cannot be read is left out without a message.
std::optional<StylePreview> BuildStylePreview(const TemplateLibrary& library, const ProjectSettings& project,
                                              std::uint8_t buttonFaceRed, Ui& ui);

// The mask with its background: for a picture background (`picture` set) the
// picture, scaled to the style's area relative to the page's background
// layer, tiled or placed once on a grey canvas of the mask's size; for a
// colour background the colour. Every mask pixel that is not pure white is
// drawn over it. Exposed for tests.
DibImage composeOverMask(const DibImage& mask, const DibImage* picture, std::uint32_t colour, int x, int y,
                         bool tile, std::uint8_t grey);

} // namespace pavonia
