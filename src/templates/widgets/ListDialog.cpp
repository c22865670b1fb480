#include "templates/widgets/ListDialog.h"

#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"
#include "templates/widgets/ThumbnailLoader.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavonia {

namespace {

// The list's background and the text background of its items.
const QColor kListColour(198, 195, 156);
// Thumbnails larger than this are shown scaled down, keeping their shape.
constexpr QSize kLargestThumbnail(160, 120);

} // namespace

ListDialog::ListDialog(ListDialogLogic& logic, QWidget* parent)
    : QDialog(parent), logic_(logic), loader_(std::make_unique<ThumbnailLoader>())
{
    logic_.open();
    setWindowTitle(QString::fromStdString(logic_.caption()));

    resolutionBox_ = new QGroupBox(tableText(str::ListDialogResolution), this);
    resolutions_ = new QComboBox(resolutionBox_);
    resolutions_->setObjectName("resolutions");
    auto* boxLayout = new QVBoxLayout(resolutionBox_);
    boxLayout->addWidget(resolutions_);
    for (const ResolutionRow& row : logic_.resolutions())
        resolutions_->addItem(QString::fromStdString(row.label));
    resolutions_->setCurrentIndex(logic_.selectedResolution());
    // Hidden for layouts: the list takes the box's place.
    resolutionBox_->setVisible(logic_.resolutionListShown());
    connect(resolutions_, &QComboBox::activated, this, [this](int row) {
        logic_.chooseResolution(row);
        list_->setFocus();
    });

    list_ = new QListWidget(this);
    list_->setObjectName("list");
    list_->setViewMode(QListView::IconMode);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setWordWrap(true);
    list_->setSpacing(6);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Base, kListColour);
    palette.setColor(QPalette::Text, Qt::black);
    list_->setPalette(palette);
    connect(list_, &QListWidget::itemSelectionChanged, this, &ListDialog::selectionChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (logic_.doubleClickRow(list_->row(item)))
            accept();
    });

    connect(loader_.get(), &ThumbnailLoader::loaded, this, &ListDialog::thumbnailLoaded);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(resolutionBox_);
    layout->addWidget(list_, 1);
    ok_ = addOkCancelButtons(*this, *layout);
    resize(560, 440);
    showRows();
    logic_.setViewChanged([this] { showState(); });
}

ListDialog::~ListDialog()
{
    logic_.setViewChanged({});
}

void ListDialog::showState()
{
    // New rows are laid out afresh (their thumbnails load again); otherwise
    // only the selection moved.
    if (logic_.rows() != shownRows_) {
        showRows();
        return;
    }
    filling_ = true;
    if (logic_.selectedRow() >= 0)
        list_->setCurrentRow(logic_.selectedRow());
    else
        list_->clearSelection();
    filling_ = false;
    ok_->setEnabled(logic_.okEnabled());
}

void ListDialog::showRows()
{
    filling_ = true;
    ++generation_;
    list_->clear();
    anyLoaded_ = false;
    thumbnailSize_ = QSize();
    shownRows_ = logic_.rows();
    const std::vector<CatalogueRow>& rows = shownRows_;
    pending_ = int(rows.size());
    for (int row = 0; row < int(rows.size()); ++row) {
        const CatalogueRow& entry = rows[std::size_t(row)];
        auto* item = new QListWidgetItem(QString::fromStdString(entry.description), list_);
        item->setData(Qt::UserRole, entry.number);
        item->setBackground(kListColour);
        loader_->load(generation_, row, QString::fromStdString(entry.thumbnailPath));
    }
    if (logic_.selectedRow() >= 0) {
        list_->setCurrentRow(logic_.selectedRow());
        list_->scrollToItem(list_->currentItem());
    }
    ok_->setEnabled(logic_.okEnabled());
    filling_ = false;
}

void ListDialog::thumbnailLoaded(int generation, int row, const QImage& image)
{
    if (generation != generation_)
        return;
    --pending_;
    if (!image.isNull()) {
        // Every thumbnail takes the size of the first one that loaded.
        if (!anyLoaded_) {
            anyLoaded_ = true;
            thumbnailSize_ = image.size().boundedTo(kLargestThumbnail);
            if (image.width() > kLargestThumbnail.width() || image.height() > kLargestThumbnail.height())
                thumbnailSize_ = image.size().scaled(kLargestThumbnail, Qt::KeepAspectRatio);
            list_->setIconSize(thumbnailSize_);
            list_->setGridSize(thumbnailSize_ + QSize(24, 44));
        }
        if (QListWidgetItem* item = list_->item(row))
            item->setIcon(QIcon(QPixmap::fromImage(
                image.scaled(thumbnailSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))));
    }
    if (pending_ == 0 && !anyLoaded_ && list_->count() > 0)
        logic_.noThumbnailLoaded();
}

void ListDialog::selectionChanged()
{
    if (filling_)
        return;
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    logic_.clickRow(selected.isEmpty() ? -1 : list_->row(selected.first()));
}

void ListDialog::accept()
{
    if (!logic_.okEnabled())
        return;
    choice_ = logic_.accept();
    QDialog::accept();
}

std::optional<ListChoice> runListDialog(QWidget* parent, ListDialogLogic& logic)
{
    ListDialog dialog(logic, parent);
    dialog.exec();
    return dialog.choice();
}

} // namespace pavonia
