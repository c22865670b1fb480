#include "templates/ReadLayerRect.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <limits>

namespace pavonia {

namespace {

// The integer after `key`, up to the next "px", searching from `from`;
// `from` moves past the value. Missing: 0, and `from` stays.
int readValue(std::string_view tag, std::string_view key, std::size_t& from)
{
    const std::size_t at = tag.find(key, from);
    if (at == std::string_view::npos)
        return 0;
    const std::size_t start = at + key.size();
    const std::size_t end = tag.find("px", start);
    const std::string_view value =
        tag.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    from = end == std::string_view::npos ? tag.size() : end;
    return static_cast<int>(parseLeadingInteger(value));
}

} // namespace

LayerRect readLayerRectFromText(std::string_view page, PageLayer layer)
{
    const std::string_view name = layer == PageLayer::Background ? "BGLayer" : "DescriptionLayer";
    const std::size_t at = page.find(name);
    if (at == std::string_view::npos)
        return {};
    const std::size_t open = page.rfind('<', at);
    const std::size_t start = open == std::string_view::npos ? 0 : open;
    const std::size_t close = page.find('>', at);
    const std::size_t end = close == std::string_view::npos ? page.size() : close + 1;
    const std::string tag = toLowerAscii(page.substr(start, end - start));

    LayerRect rect;
    std::size_t from = 0;
    rect.left = readValue(tag, "left:", from);
    rect.top = readValue(tag, "top:", from);
    rect.width = readValue(tag, "width:", from);
    rect.height = readValue(tag, "height:", from);
    return rect;
}

std::optional<LayerRect> ReadLayerRect(const std::string& pagePath, PageLayer layer, Ui& ui)
{
    std::string page;
    const FileRead read = readWholeFile(pagePath, std::numeric_limits<std::uint64_t>::max(), page);
    if (read == FileRead::CannotOpen) {
        showMessage(ui, StringTable::format(str::LayerSizeOpenError, {pagePath}));
        return std::nullopt;
    }
    if (read != FileRead::Ok || page.empty())
        return std::nullopt;
    return readLayerRectFromText(page, layer);
}

} // namespace pavonia
