#pragma once
// The style page without its widgets: picking a style (with its resolution)
// and a layout through the list dialog, and the preview of the project's
// selection. The page shown when the project root is selected holds one; its
// widget shows preview() and layoutEnabled() and forwards the buttons. After
// a pick the caller puts the focus on the heading text box.
#include "project/ProjectDocument.h"
#include "templates/LayoutLayers.h"
#include "templates/ListDialogLogic.h"
#include "templates/ReadLayerRect.h"
#include "templates/StylePreview.h"

#include <functional>
#include <optional>
#include <string>

namespace pavonia {

class TemplateLibrary;

// The rectangle of the description layer of the project's page template (left,
// top, and the layer's width and height values); empty after "Resolution
// information error.\nUnable to preview style image." when the key does not
// split, or when the page cannot be read.
LayerRect DescriptionAreaRect(const TemplateLibrary& library, const ProjectSettings& project, Ui& ui);

// A slide description with the inline frame the user placed in it ("<iframe"
// ... "iframe1 " ... "</iframe>") moved to `area`: its "left", "top",
// "height" and "width" values, each through the ";" that ends it (or the
// first blank when there is none), become "left:%d;" and so on. Everything
// else keeps its letters as typed. A description without such a frame comes
// back unchanged.
std::string MoveInlineFrame(const std::string& description, const LayerRect& area);

class StylePageLogic {
public:
    // Shows the list dialog over `logic` (already set up, not yet opened) and
    // returns the choice, or nothing when cancelled.
    using ListDialogRunner = std::function<std::optional<ListChoice>(ListDialogLogic& logic)>;
    // Shows the custom settings and applies them (EditCustomSettings).
    using CustomSettingsRunner = std::function<void()>;

    StylePageLogic(ProjectDocument& document, const TemplateLibrary& library, LayoutLayers& layers);

    // The "Image Style" button and the "Select Image Style" command. True
    // when the user confirmed a style.
    bool PickStyle(const ListDialogRunner& runList, const CustomSettingsRunner& runCustomSettings);
    // The "Layout" button and the "Select Layout" command. True when the user
    // confirmed a layout.
    bool PickLayout(const ListDialogRunner& runList);
    // Rebuilds the preview: when the page becomes active, after every pick,
    // after the custom settings changed and when a project was opened.
    // `buttonFaceRed` is the red channel of the system's button-face colour.
    void RefreshStylePreview();
    void setButtonFaceRed(std::uint8_t red) { buttonFaceRed_ = red; }

    // A project was opened (or a new one made): the remembered list positions
    // are the style number (less 1000 for a custom style) and the layout number.
    void projectOpened();

    // "Layout" is enabled only while the resolution key is not special.
    bool layoutEnabled() const;
    const StylePreview& preview() const { return preview_; }

    int rememberedStylePosition = 0;
    int rememberedLayoutPosition = 0;
    // Set by every confirmed pick: the project settings then start from the
    // template's defaults (ProjectSettingsLogic).
    bool templateDefaultsPending = false;

private:
    void resetFontOverrides();
    void moveInlineFrames();

    ProjectDocument& document_;
    const TemplateLibrary& library_;
    LayoutLayers& layers_;
    StylePreview preview_;
    std::uint8_t buttonFaceRed_ = 0xF0;
};

} // namespace pavonia
