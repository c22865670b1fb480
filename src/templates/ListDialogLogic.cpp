#include "templates/ListDialogLogic.h"

#include "platform/StringTable.h"

#include <utility>

namespace pavonia {

namespace {

TemplateLibrary::ResolutionCatalogue catalogueOf(ListMode mode)
{
    return mode == ListMode::Custom ? TemplateLibrary::ResolutionCatalogue::Custom
                                    : TemplateLibrary::ResolutionCatalogue::Standard;
}

} // namespace

ListDialogLogic::ListDialogLogic(const TemplateLibrary& library, ListMode mode, std::string storedKey, std::function<void()> markModified,
                                 int number, int position, Ui& ui)
    : library_(library), mode_(mode), storedKey_(std::move(storedKey)), markModified_(std::move(markModified)), ui_(ui), number_(number),
      position_(position)
{
}

std::string ListDialogLogic::caption() const
{
    return StringTable::text(mode_ == ListMode::Layouts ? str::ListDialogSelectLayout : str::AppTitle);
}

void ListDialogLogic::open()
{
    ViewChange change(*this);
    rows_.clear();
    previousRows_.clear();
    previousNumber_ = number_;
    previousPosition_ = position_;
    selectedResolution_ = -1;
    if (mode_ == ListMode::Layouts) {
        rows_ = library_.ListLayouts();
    } else {
        resolutions_ = library_.ListResolutions(catalogueOf(mode_));
        // A key that does not split shows no catalogue at all.
        if (const std::optional<StoredKeyRow> stored = selectRowForStoredKey(resolutions_, storedKey_, ui_)) {
            if (!resolutions_.rows.empty())
                selectedResolution_ = stored->row;
            rows_ = library_.listStylesForStoredKey(catalogueOf(mode_), stored->number);
        }
    }
    selectPosition(position_);
}

void ListDialogLogic::selectPosition(int position)
{
    if (rows_.empty())
        selectedRow_ = -1;
    else
        selectedRow_ = position < 0 || position >= int(rows_.size()) ? 0 : position;
}

void ListDialogLogic::chooseResolution(int row)
{
    ViewChange change(*this);
    if (mode_ == ListMode::Layouts || row < 0 || row >= int(resolutions_.rows.size()))
        return;
    selectedResolution_ = row;
    if (markModified_)
        markModified_();
    showCatalogue(library_.listStylesForRow(catalogueOf(mode_), resolutions_.rows[std::size_t(row)].value));
}

void ListDialogLogic::showCatalogue(std::vector<CatalogueRow> rows)
{
    // An empty catalogue has been reported by the library; the list keeps
    // what it showed.
    if (rows.empty())
        return;
    previousRows_ = std::exchange(rows_, std::move(rows));
    previousNumber_ = number_;
    previousPosition_ = position_;
    // The first row is selected, and it is what OK returns: the choice always
    // names a style of the catalogue the resolution row shows.
    clickRow(0);
}

void ListDialogLogic::clickRow(int row)
{
    ViewChange change(*this);
    if (row < 0 || row >= int(rows_.size())) {
        selectedRow_ = -1;
        return;
    }
    selectedRow_ = row;
    number_ = rows_[std::size_t(row)].number;
    position_ = row;
}

bool ListDialogLogic::doubleClickRow(int row)
{
    clickRow(row);
    return okEnabled();
}

void ListDialogLogic::noThumbnailLoaded()
{
    ViewChange change(*this);
    showMessage(ui_, StringTable::text(str::NoListItem));
    rows_ = std::move(previousRows_);
    previousRows_.clear();
    number_ = previousNumber_;
    position_ = previousPosition_;
    selectPosition(position_);
}

ListChoice ListDialogLogic::accept() const
{
    ListChoice choice{number_, position_, {}};
    if (mode_ != ListMode::Layouts) {
        std::optional<int> rowValue;
        if (selectedResolution_ >= 0)
            rowValue = resolutions_.rows[std::size_t(selectedResolution_)].value;
        choice.resolutionKey = library_.formResolutionKey(rowValue, number_);
    }
    return choice;
}

} // namespace pavonia
