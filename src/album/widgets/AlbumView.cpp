#include "album/widgets/AlbumView.h"

#include "album/widgets/ContentPreloader.h"
#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyle>
#include <QVBoxLayout>

namespace pavonia {

namespace {

constexpr QSize kThumbnail(96, 96);
constexpr QSize kCell(124, 136);
constexpr int kColumns = 4;
constexpr int kRows = 3;
constexpr int kItemIndexRole = Qt::UserRole + 1;

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

// What a file shows until its thumbnail arrives, and when it has none.
QIcon placeholderIcon()
{
    QPixmap pixmap(kThumbnail);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0xC8, 0xC0, 0xB0), 2, Qt::DashLine));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(QRectF(4, 4, kThumbnail.width() - 8, kThumbnail.height() - 8), 10, 10);
    return QIcon(pixmap);
}

// A standard icon drawn at thumbnail size.
QIcon largeStandardIcon(QStyle::StandardPixmap which)
{
    const QIcon icon = QApplication::style()->standardIcon(which);
    QPixmap pixmap(kThumbnail);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    icon.paint(&p, QRect(QPoint(12, 12), kThumbnail - QSize(24, 24)));
    return QIcon(pixmap);
}

} // namespace

AlbumView::AlbumView(const AlbumSetup& setup, QWidget* parent)
    : QWidget(parent),
      album_(setup.contentFolder, setup.kind, setup.descriptionName, setup.thumbnailExtension),
      preloader_(std::make_unique<ContentPreloader>(kThumbnail))
{
    setObjectName(QStringLiteral("Album"));
    grid_ = new QListView(this);
    grid_->setObjectName(QStringLiteral("albumGrid"));
    grid_->setViewMode(QListView::IconMode);
    grid_->setMovement(QListView::Static);
    grid_->setResizeMode(QListView::Adjust);
    grid_->setWrapping(true);
    grid_->setWordWrap(true);
    grid_->setUniformItemSizes(true);
    grid_->setIconSize(kThumbnail);
    grid_->setGridSize(kCell);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->installEventFilter(this);
    const QPixmap background(QString::fromStdString(setup.background));
    if (!background.isNull()) {
        QPalette palette = grid_->palette();
        palette.setBrush(QPalette::Base, QBrush(background.scaled(kCell * kColumns, Qt::IgnoreAspectRatio)));
        grid_->setPalette(palette);
    }
    model_ = new QStandardItemModel(this);
    grid_->setModel(model_);
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChanged(QString::fromStdString(selectionIsNotFile() ? std::string() : selectedPath())); });
    connect(grid_, &QListView::doubleClicked, this, [this](const QModelIndex& index) { activate(index.row()); });
    connect(preloader_.get(), &ContentPreloader::thumbnailReady, this, &AlbumView::thumbnailReady);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("albumNote"));
    note_->setWordWrap(true);
    web_ = new QLabel(QStringLiteral("<a href=\"web\">%1</a>").arg(text(str::AlbumAddFromWeb).toHtmlEscaped()), this);
    web_->setObjectName(QStringLiteral("albumWeb"));
    web_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(web_, &QLabel::linkActivated, this, &AlbumView::addFromWebRequested);

    auto* foot = new QHBoxLayout;
    foot->addWidget(note_, 1);
    foot->addWidget(web_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_, 1);
    layout->addLayout(foot);

    const Result<> loaded = album_.load();
    loaded_ = loaded.ok();
    if (!loaded_) {
        note_->setText(QString::fromStdString(loaded.failure().text()));
        grid_->setEnabled(false);
        web_->hide();
        return;
    }
    if (setup.start)
        album_.showFolder(setup.start->first);
    showItems();
    // The second start string names the file to start on, when it lies there.
    if (setup.start)
        selectFile(setup.start->second);
}

bool AlbumView::selectFile(const std::string& name)
{
    const std::vector<AlbumItem>& items = album_.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].type == AlbumItem::Type::File && finalComponent(items[i].path) == name) {
            grid_->setCurrentIndex(model_->index(int(i), 0));
            return true;
        }
    }
    return false;
}

AlbumView::~AlbumView() = default;

QSize AlbumView::naturalSize() const
{
    const int scroll = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {kCell.width() * kColumns + scroll + 8, kCell.height() * kRows + 8 + web_->sizeHint().height()};
}

bool AlbumView::showFolder(const std::string& folder)
{
    if (!loaded_ || !album_.showFolder(folder))
        return false;
    showItems();
    return true;
}

void AlbumView::showItems()
{
    generation_ = preloader_->newGeneration();
    model_->clear();
    pending_ = 0;
    const QIcon placeholder = placeholderIcon();
    const std::vector<AlbumItem>& items = album_.items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const AlbumItem& entry = items[i];
        auto* item = new QStandardItem(QString::fromStdString(entry.title));
        item->setData(int(i), kItemIndexRole);
        item->setToolTip(QString::fromStdString(entry.path));
        item->setEditable(false);
        switch (entry.type) {
        case AlbumItem::Type::Parent:
            item->setIcon(largeStandardIcon(QStyle::SP_FileDialogToParent));
            break;
        case AlbumItem::Type::Folder:
            item->setIcon(largeStandardIcon(QStyle::SP_DirIcon));
            break;
        case AlbumItem::Type::File:
            item->setIcon(placeholder);
            preloader_->request(generation_, int(i), QString::fromStdString(entry.thumbnailPath),
                                QString::fromStdString(entry.path));
            ++pending_;
            break;
        }
        model_->appendRow(item);
    }
    if (album_.descriptionProblem())
        note_->setText(QString::fromStdString(album_.descriptionProblem()->text()));
    else if (items.empty())
        note_->setText(text(str::AlbumEmptyFolder));
    else
        note_->clear();
    // A new folder starts with nothing chosen.
    emit selectionChanged(QString());
}

void AlbumView::thumbnailReady(int generation, int index, const QImage& image)
{
    if (generation != generation_)
        return;
    --pending_;
    if (image.isNull())
        return;
    if (QStandardItem* item = model_->item(index)) {
        // Centred on a cell of the thumbnail size, so every name lines up.
        QPixmap cell(kThumbnail);
        cell.fill(Qt::transparent);
        QPainter p(&cell);
        p.drawImage(QPoint((kThumbnail.width() - image.width()) / 2, (kThumbnail.height() - image.height()) / 2), image);
        item->setIcon(QIcon(cell));
    }
}

int AlbumView::selectedRow() const
{
    const QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

bool AlbumView::selectionIsNotFile() const
{
    const int row = selectedRow();
    return row < 0 || std::size_t(row) >= album_.items().size() ||
           album_.items()[std::size_t(row)].type != AlbumItem::Type::File;
}

std::string AlbumView::selectedPath() const
{
    const int row = selectedRow();
    return row < 0 || std::size_t(row) >= album_.items().size() ? std::string() : album_.items()[std::size_t(row)].path;
}

void AlbumView::cannotOpen(const std::string& path, int systemError)
{
    note_->setText(QString::fromStdString(StringTable::format(str::AlbumCannotOpen, {path, systemErrorText(systemError)})));
}

void AlbumView::activate(int row)
{
    if (row < 0 || std::size_t(row) >= album_.items().size())
        return;
    const AlbumItem item = album_.items()[std::size_t(row)];
    if (item.type == AlbumItem::Type::File)
        emit itemActivated(QString::fromStdString(item.path));
    else
        showFolder(item.path);
}

void AlbumView::goUp()
{
    if (album_.currentFolder() != album_.rootFolder())
        showFolder(album_.currentFolder().substr(0, album_.currentFolder().rfind('/')));
}

bool AlbumView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            activate(grid_->currentIndex().isValid() && selectedRow() >= 0 ? selectedRow() : -1);
            return true;
        case Qt::Key_Backspace:
            goUp();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pavonia
