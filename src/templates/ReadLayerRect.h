#pragma once
// The rectangle of a layer of a published page, read from the inline style
// of the tag that names it ("left:10px; top:0px; width:810px; height:600px").
// The "width" and "height" of a page's layers are their right and bottom
// edges, so callers take width - left and height - top as the size.
#include "platform/Ui.h"

#include <optional>
#include <string>

namespace pavonia {

enum class PageLayer { Background = 0, Description = 1 }; // "BGLayer", "DescriptionLayer"

struct LayerRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const LayerRect&) const = default;
};

// Nothing when the page cannot be read (after showing "Open file error. (%s)
// ..." through `ui`, captioned with the application title) or is empty
// (silently). A page without the layer, or a tag without one of the four
// values, gives 0 for what is missing.
std::optional<LayerRect> ReadLayerRect(const std::string& pagePath, PageLayer layer, Ui& ui);

// The same over a page's text already in memory; never fails.
LayerRect readLayerRectFromText(std::string_view page, PageLayer layer);

} // namespace pavonia
