#include "templates/FontSettingLogic.h"

#include "platform/Text.h"

#include <algorithm>

namespace pavonia {

const std::vector<int>& FontSettingLogic::sizes()
{
    static const std::vector<int> kSizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    return kSizes;
}

FontSettingLogic::FontSettingLogic(const FontSpec& font, std::vector<std::string> faces, int verticalDotsPerInch)
    : faces_(std::move(faces)), bold_(font.bold != 0), italic_(font.italic != 0), underline_(font.underline != 0),
      colour_(font.colour), dotsPerInch_(verticalDotsPerInch)
{
    // A face this machine lacks (a template's or another machine's font)
    // stays in the list and selected: confirming the dialog keeps the
    // record's face rather than swapping in whichever font sorts first.
    const std::string face = font.faceName();
    const auto matches = [&](const std::string& candidate) { return equalsIgnoreCase(candidate, face); };
    if (!face.empty() && std::none_of(faces_.begin(), faces_.end(), matches))
        faces_.push_back(face);
    std::stable_sort(faces_.begin(), faces_.end(), [](const std::string& a, const std::string& b) {
        return toLowerAscii(a) < toLowerAscii(b);
    });
    if (!faces_.empty()) {
        const auto it = std::find_if(faces_.begin(), faces_.end(), matches);
        selectedFace_ = it == faces_.end() ? 0 : static_cast<int>(it - faces_.begin());
    }
    const auto size = std::find(sizes().begin(), sizes().end(), font.size);
    selectedSize_ = size == sizes().end() ? 0 : static_cast<int>(size - sizes().begin());
}

void FontSettingLogic::selectFace(int position)
{
    ViewChange change(*this);
    if (position >= 0 && position < static_cast<int>(faces_.size()))
        selectedFace_ = position;
}

void FontSettingLogic::selectSize(int position)
{
    ViewChange change(*this);
    if (position >= 0 && position < static_cast<int>(sizes().size()))
        selectedSize_ = position;
}

FontPreview FontSettingLogic::preview() const
{
    FontPreview preview;
    preview.text = "AaBbYyZz";
    preview.face = selectedFace_ < 0 ? std::string() : faces_[static_cast<std::size_t>(selectedFace_)];
    preview.pixelHeight = sizes()[static_cast<std::size_t>(selectedSize_)] * dotsPerInch_ / 72;
    preview.weight = bold_ ? 700 : 400;
    preview.italic = italic_;
    preview.underline = underline_;
    preview.colour = colour_;
    return preview;
}

void FontSettingLogic::accept(FontSpec& font) const
{
    if (selectedFace_ >= 0)
        font.setFaceName(faces_[static_cast<std::size_t>(selectedFace_)]);
    font.size = sizes()[static_cast<std::size_t>(selectedSize_)];
    font.bold = bold_ ? 1 : 0;
    font.italic = italic_ ? 1 : 0;
    font.underline = underline_ ? 1 : 0;
    font.colour = colour_;
}

} // namespace pavonia
