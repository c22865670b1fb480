#pragma once
// The Font Setting dialog without its widgets: face and size lists, the bold,
// italic and underline toggles, the colour, and the preview of the sample
// text. The widget fills the face list from the display's fonts, shows the
// fields, draws preview(), and on OK calls accept(). The view learns of
// changes through setViewChanged (see ViewNotifier).
#include "platform/ViewNotifier.h"
#include "project/FontSpec.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

// What the preview area draws.
struct FontPreview {
    std::string text; // "AaBbYyZz"
    std::string face;
    int pixelHeight = 0; // size x vertical dots per inch / 72
    int weight = 400;    // 700 when bold
    bool italic = false;
    bool underline = false;
    std::uint32_t colour = 0; // 0x00BBGGRR
};

class FontSettingLogic : public ViewNotifier<FontSettingLogic> {
public:
    // The sizes offered, in points.
    static const std::vector<int>& sizes();

    // `faces` are the faces the display offers, in any order.
    FontSettingLogic(const FontSpec& font, std::vector<std::string> faces, int verticalDotsPerInch);

    // Everything the view shows (the preview follows from it), as one value;
    // before the calls that change it, which need its type.
    auto visibleState() const
    {
        return std::tuple(selectedFace_, selectedSize_, bold_, italic_, underline_, colour_);
    }

    // Sorted without regard to case.
    const std::vector<std::string>& faces() const { return faces_; }
    // List positions; -1 when the face list is empty.
    int selectedFace() const { return selectedFace_; }
    void selectFace(int position);
    int selectedSize() const { return selectedSize_; }
    void selectSize(int position);

    bool bold() const { return bold_; }
    bool italic() const { return italic_; }
    bool underline() const { return underline_; }
    void setBold(bool on) { set(bold_, on); }
    void setItalic(bool on) { set(italic_, on); }
    void setUnderline(bool on) { set(underline_, on); }
    // The colour the colour chooser starts from and what it returned.
    std::uint32_t colour() const { return colour_; }
    void setColour(std::uint32_t colour) { set(colour_, colour); }

    FontPreview preview() const;

    // Writes face, size, bold, italic, underline and colour into `font`, as
    // OK does. With no face to choose from the face stays as it was.
    void accept(FontSpec& font) const;

private:
    template <typename T>
    void set(T& field, T value)
    {
        ViewChange change(*this);
        field = value;
    }

    std::vector<std::string> faces_;
    int selectedFace_ = -1;
    int selectedSize_ = 0;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    std::uint32_t colour_ = 0;
    int dotsPerInch_ = 96;
};

} // namespace pavonia
