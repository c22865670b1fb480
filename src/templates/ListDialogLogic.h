#pragma once
// The list dialog without its widgets: one dialog in three modes over the
// template library's catalogues. Mode Standard lists the standard styles for
// a resolution (or the special styles), mode Custom the custom styles (or the
// special custom styles), mode Layouts the layouts. The widget shows the
// resolution rows and the catalogue rows with their thumbnails, forwards
// clicks, and on OK takes accept(). The view learns of changes through
// setViewChanged (see ViewNotifier).
#include "platform/Ui.h"
#include "platform/ViewNotifier.h"
#include "templates/TemplateLibrary.h"

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

enum class ListMode { Standard = 0, Custom = 1, Layouts = 2 };

// What a confirmed list dialog returns.
struct ListChoice {
    int number = 0;            // the style or layout number of the chosen row
    int position = 0;          // its position in the list
    std::string resolutionKey; // formed in the style modes; empty for layouts

    bool operator==(const ListChoice&) const = default;
};

class ListDialogLogic : public ViewNotifier<ListDialogLogic> {
public:
    // `storedKey` is the project's resolution key, `markModified` marks the
    // project as changed (choosing another resolution row does), and
    // `number`, `position` what the dialog returns when no row is clicked.
    ListDialogLogic(const TemplateLibrary& library, ListMode mode, std::string storedKey, std::function<void()> markModified,
                    int number, int position, Ui& ui);

    // Everything the view shows, as one value.
    auto visibleState() const { return std::tuple(selectedResolution_, rows_, selectedRow_); }

    // Fills the lists as the dialog opens and selects the remembered position
    // (row 0 when it lies outside the list).
    void open();

    ListMode mode() const { return mode_; }
    // The application's name, or "Select Layout".
    std::string caption() const;
    // The resolution drop-down and its group box; hidden for layouts.
    bool resolutionListShown() const { return mode_ != ListMode::Layouts; }
    const std::vector<ResolutionRow>& resolutions() const { return resolutions_.rows; }
    // -1 when no resolution row is selected.
    int selectedResolution() const { return selectedResolution_; }
    // The user chose another resolution row: the project is marked modified
    // at once and the catalogue the row's value names is shown, its first row
    // taken as the choice.
    void chooseResolution(int row);

    const std::vector<CatalogueRow>& rows() const { return rows_; }
    // -1 when no row is selected.
    int selectedRow() const { return selectedRow_; }
    // A click on row `row`, or with -1 where there is no row.
    void clickRow(int row);
    // A double click: records the row; true when the dialog is then confirmed.
    bool doubleClickRow(int row);
    bool okEnabled() const { return selectedRow_ >= 0; }
    // None of the shown rows' thumbnails could be loaded: says so ("No List
    // item.") and shows the rows from before the last catalogue change.
    void noThumbnailLoaded();

    // What OK returns: the recorded row and, in the style modes, the new
    // resolution key.
    ListChoice accept() const;

private:
    void showCatalogue(std::vector<CatalogueRow> rows);
    void selectPosition(int position);

    const TemplateLibrary& library_;
    ListMode mode_;
    std::string storedKey_;
    std::function<void()> markModified_;
    Ui& ui_;
    ResolutionList resolutions_;
    int selectedResolution_ = -1;
    std::vector<CatalogueRow> rows_;
    std::vector<CatalogueRow> previousRows_;
    int selectedRow_ = -1;
    int number_;
    int position_;
    int previousNumber_ = 0;
    int previousPosition_ = 0;
};

} // namespace pavonia
