#pragma once
// The template library: the "Template" folder of the installation, from which
// a project's style number, layout number and resolution key are resolved into
// paths, and the catalogues of what the library offers (resolutions, styles,
// layouts). The library only reads the folder; nothing here writes into it.
//
// Folder layout under the template root R:
//   Pavonia.ini, function.js, loading.gif
//   Layout/L<m>.jpg, Layout/L<m>.ini
//   Style<n>/ (standard), stylec<k>/ (custom, style number k + 999), and both
//   kinds again under Special/ (special styles); each style folder holds
//   info.ini, ui.jpg and L<m>/ with Preview.jpg (and Preview_mask.bmp) and
//   one resolution folder per page size holding Template.htm.
// Folder and file names are matched without regard to ASCII case, so a
// library copied from a case-blind file system resolves on any other.
#include "platform/Ui.h"
#include "project/Records.h"
#include "templates/LayoutLayers.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

// Cuts `text` at every occurrence of `delimiter`. Without any occurrence the
// result is empty; otherwise every piece is returned, the last one included,
// so a split yields either nothing or at least two pieces.
std::vector<std::string> splitText(std::string_view text, std::string_view delimiter);

// A resolution key split into its kind part ("0" standard, "1" custom, "-1"
// special) and its size part (the name of the resolution folder).
struct ResolutionKey {
    std::string kind;
    std::string size;

    // The kind is "-1": the style folder lies under "Special".
    bool special() const;
    // Nothing when the key splits into fewer than two parts.
    static std::optional<ResolutionKey> parse(std::string_view key);
};

inline constexpr const char* kDefaultResolutionKey = "0_800";
// Style numbers from here on are custom styles ("stylec" + number - 999).
inline constexpr int kFirstCustomStyle = 1000;

// Paths of one template selection; folders end with "/".
struct TemplatePaths {
    std::string styleFolder;      // R + [Special/] + S + N + "/"
    std::string layoutFolder;     // styleFolder + "L" + m + "/"
    std::string resolutionFolder; // layoutFolder + size + "/"
    std::string pageTemplate;     // resolutionFolder + "Template.htm"
    std::string previewPicture;   // layoutFolder + "Preview.jpg"
    std::string previewMask;      // layoutFolder + "Preview_mask.bmp"
};

// One entry of a resolution drop-down list.
struct ResolutionRow {
    std::string label;
    int value = 0; // a page width, 1 for custom styles, -1 for special styles
};

struct ResolutionList {
    std::vector<ResolutionRow> rows;
    int preselected = 0; // the last row whose value is 800, else row 0
};

// One entry of a style or layout list. Decoding the thumbnail is the list
// widget's work; when none of a list's thumbnails loads, it shows
// StringTable text str::NoListItem and keeps its previous rows.
struct CatalogueRow {
    int number = 0;            // style or layout number
    std::string description;   // "Style"/"Description" or "Layout"/"Description"
    std::string thumbnailPath; // the style's ui.jpg or the layout's L<m>.jpg

    bool operator==(const CatalogueRow&) const = default;
};

// The behaviour switches a layout gives a project.
struct LayoutBehaviour {
    int autoPlay = 1;
    int autoLoop = 0;
    int autoJump = 1;

    bool operator==(const LayoutBehaviour&) const = default;
};

// The resolution row that shows a stored key when a style list opens: the
// first row whose value is the key's number (its size part, or -1 for a
// special key), else row 0.
struct StoredKeyRow {
    int row = 0;
    int number = 0;
};
// Nothing, after "Resolution information error.\nUnable to show list
// dialog.", when the key does not split.
std::optional<StoredKeyRow> selectRowForStoredKey(const ResolutionList& list, std::string_view key, Ui& ui);

class TemplateLibrary {
public:
    enum class ResolutionCatalogue { Standard = 0, Custom = 1 };

    // `installationFolder` ends with "/". Messages go to `ui`.
    TemplateLibrary(std::string installationFolder, Ui& ui);

    const std::string& installationFolder() const { return installationFolder_; }
    // I + "Template/".
    const std::string& root() const { return root_; }
    // R + "Pavonia.ini".
    std::string cataloguePath() const;
    // R + "Layout/L<m>.ini" and R + "Layout/L<m>.jpg".
    std::string layoutIniPath(int layout) const;
    std::string layoutThumbnailPath(int layout) const;
    // The folder of a style, with "/" at the end: R + [Special/] + S + N.
    std::string styleFolder(int styleNumber, bool special) const;

    // Every path of a selection; nothing when the key does not split.
    std::optional<TemplatePaths> ResolveTemplatePaths(int styleNumber, int layoutNumber,
                                                      std::string_view resolutionKey) const;
    std::optional<TemplatePaths> ResolveTemplatePaths(const ProjectSettings& project) const;

    // Catalogues. Each reports its failure through the Ui as the list
    // dialog would ("Ini file lost. (%s)", "No Style List item." ...).
    ResolutionList ListResolutions(ResolutionCatalogue catalogue) const;
    std::vector<CatalogueRow> ListStylesForSize(int size) const;
    std::vector<CatalogueRow> ListSpecialStyles(bool custom) const;
    std::vector<CatalogueRow> ListCustomStyles() const;
    std::vector<CatalogueRow> ListLayouts() const;

    // The catalogue a style list shows. For a stored key, `number` is the
    // key's size part, or -1 for a special key: -1 gives the special list,
    // anything else the standard list for that size (standard catalogue) or
    // the custom list (custom catalogue).
    std::vector<CatalogueRow> listStylesForStoredKey(ResolutionCatalogue catalogue, int number) const;
    // For a resolution row the user picked, its value decides: 0 or less the
    // special list, 1 the custom list, any other value the standard list for
    // that size.
    std::vector<CatalogueRow> listStylesForRow(ResolutionCatalogue catalogue, int value) const;

    // "Style"/"SupportSize" of a special (or, with `special` false, custom)
    // style; empty after reporting a missing info.ini or key.
    std::string ReadSupportSize(int styleNumber, bool special) const;
    // "Template"/"AutoPlay", "AutoLoop", "AutoJump" of layout m; nothing
    // after reporting a missing layout ini.
    std::optional<LayoutBehaviour> ReadLayoutBehaviour(int layout) const;
    // Stores the "Layer" flags of layout m in `layers`; false after
    // reporting a missing layout ini (the flags then keep their values).
    bool ReadLayoutLayers(int layout, LayoutLayers& layers) const;

    // The resolution key formed when a style list is confirmed: `rowValue`
    // is the value of the selected resolution row (nothing when no row is
    // selected), `styleNumber` the chosen style.
    std::string formResolutionKey(std::optional<int> rowValue, int styleNumber) const;

    // Checks a just-loaded project's selection against the library, falling
    // back to style 0, layout 0 and key "0_800" with a message each, then
    // refreshes `layers` from the layout ini.
    void ValidateTemplateSelection(ProjectSettings& project, LayoutLayers& layers) const;
    // After the style number changed: keeps the layout only when the style
    // has it; a special style takes its layout from its first "L" folder.
    void ValidateLayoutForStyle(ProjectSettings& project, LayoutLayers& layers) const;

private:
    void show(const std::string& text) const;
    // The rows of the styles that have a thumbnail and an info.ini, with the
    // description from the info.ini; `descriptions` holds those already read,
    // by the info.ini's path.
    std::vector<CatalogueRow> buildStyleRows(const std::vector<int>& numbers, bool special,
                                             const std::map<std::string, std::string>& descriptions = {}) const;

    std::string installationFolder_;
    std::string root_;
    Ui& ui_;
};

} // namespace pavonia
