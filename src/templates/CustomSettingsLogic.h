#pragma once
// The Custom Settings dialog without its widgets: the background of a custom
// style (the style's own "Original", a colour, or a picture with a tile
// switch) and the colours of the heading, sub-topic and description text.
// The widget shows the fields, opens the colour chooser and the background
// picture dialog and forwards what they return; OK calls confirm() and,
// when that allows closing, apply(). The view learns of changes through
// setViewChanged (see ViewNotifier).
#include "platform/Ui.h"
#include "platform/ViewNotifier.h"
#include "project/ProjectDocument.h"
#include "templates/ProjectSettingsLogic.h"

#include <cstdint>
#include <string>
#include <tuple>

namespace pavonia {

class TemplateLibrary;

class CustomSettingsLogic : public ViewNotifier<CustomSettingsLogic> {
public:
    enum Kind { Original = 0, Colour = 1, Picture = 2 };

    CustomSettingsLogic(ProjectDocument& document, const TemplateLibrary& library);

    // Everything the view shows, as one value.
    auto visibleState() const
    {
        return std::tuple(kind_, backgroundColour_, textColours_[0], textColours_[1], textColours_[2], pictureName_,
                          tile_);
    }

    // Fills the fields as the dialog opens. When none of the project's three
    // fonts replaces its template style, the template's fonts are read into
    // the project first (the override flags stay clear), even if the dialog
    // is then cancelled. A picture background whose file is gone is reported
    // and cleared.
    void open();

    int kind() const { return kind_; }
    // A radio button was chosen.
    void chooseKind(int kind);
    // The background swatch; the file name box and "Browse".
    bool colourSwatchEnabled() const { return kind_ == Colour; }
    bool pictureControlsEnabled() const { return kind_ == Picture; }

    std::uint32_t backgroundColour() const { return backgroundColour_; }
    // The colour chooser of the background swatch returned a colour. A new
    // colour, like every other edit, counts as a change.
    void setBackgroundColour(std::uint32_t colour);
    std::uint32_t textColour(TextKind kind) const { return textColours_[int(kind)]; }
    // The colour chooser of a text swatch returned a colour.
    void setTextColour(TextKind kind, std::uint32_t colour);

    const std::string& pictureName() const { return pictureName_; }
    // With a trailing "/".
    const std::string& pictureFolder() const { return pictureFolder_; }
    bool tile() const { return tile_; }
    // The user typed in the file name box.
    void editPictureName(const std::string& name);

    // The picture open dialog "Browse" opens: filter and start folder (folder
    // memory slot 7).
    FileDialogOptions browseOptions();
    // "Browse" returned a file with the "Background Tile" switch.
    void pictureChosen(const std::string& path, bool tile);
    // "Browse" was cancelled: without a picture the kind goes back to
    // "Original".
    void browseCancelled();

    bool changed() const { return changed_; }

    // OK: false, after "Please select a background image.", while the picture
    // kind has no picture; the dialog then stays open.
    bool confirm();
    // Writes the result into the project after OK (a picture is copied into
    // the working folder as the one background copy). The caller rebuilds
    // the style preview.
    void apply();

private:
    void clearPicture();
    std::string picturePath() const { return pictureFolder_ + pictureName_; }

    ProjectDocument& document_;
    const TemplateLibrary& library_;
    int kind_ = Original;
    std::uint32_t backgroundColour_ = 0;
    std::uint32_t textColours_[3] = {0, 0, 0};
    std::string pictureName_;
    std::string pictureFolder_;
    bool tile_ = true;
    bool changed_ = false;
};

} // namespace pavonia
