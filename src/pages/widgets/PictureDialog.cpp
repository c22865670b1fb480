#include "pages/widgets/PictureDialog.h"

#include "platform/StringTable.h"
#include "templates/widgets/BackgroundPictureDialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString tableText(int id)
{
    return QString::fromStdString(StringTable::text(id));
}

// The square of a preview without a picture.
const QColor kEmptyColour(0x40, 0x3C, 0x20);

} // namespace

PreviewThumbnail::PreviewThumbnail(const PreviewWorker& worker, QWidget* parent) : QWidget(parent), worker_(worker)
{
    setObjectName("thumbnail");
    setFixedSize(worker.boxSize() + 2, worker.boxSize() + 2);
}

void PreviewThumbnail::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage image = worker_.thumbnail();
    const QRect box = rect().adjusted(1, 1, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (image.isNull()) {
        painter.fillRect(box, kEmptyColour);
        return;
    }
    QRect place(QPoint(), image.size());
    place.moveCenter(box.center());
    painter.drawImage(place.topLeft(), image);
}

PicturePreviewPane::PicturePreviewPane(bool showTile, bool tile, QWidget* parent)
    : QWidget(parent), worker_(kBoxSize)
{
    setObjectName("previewPane");
    thumbnail_ = new PreviewThumbnail(worker_, this);
    size_ = new QLabel(PreviewWorker::noValueText(), this);
    size_->setObjectName("fileSize");
    dimensions_ = new QLabel(PreviewWorker::noValueText(), this);
    dimensions_->setObjectName("fileDim");
    tile_ = new QCheckBox(tableText(str::BackgroundTile), this);
    tile_->setObjectName("tile");
    tile_->setChecked(tile);
    tile_->setVisible(showTile);
    tile_->setEnabled(showTile);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tableText(str::PictureFileSizeLabel), this), 0, 0);
    fields->addWidget(size_, 0, 1);
    fields->addWidget(new QLabel(tableText(str::PictureFileDimLabel), this), 1, 0);
    fields->addWidget(dimensions_, 1, 1);
    fields->addWidget(tile_, 2, 0, 1, 2);
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(3, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->addWidget(thumbnail_);
    layout->addSpacing(12);
    layout->addLayout(fields, 1);

    // The worker's signals arrive here on the pane's thread.
    connect(&worker_, &PreviewWorker::shown, this, [this](QSize, QSize picture, qint64 bytes) {
        size_->setText(PreviewWorker::sizeText(bytes));
        dimensions_->setText(PreviewWorker::dimensionText(picture));
        thumbnail_->repaint();
    });
    connect(&worker_, &PreviewWorker::shownNothing, this, [this] {
        size_->setText(PreviewWorker::noValueText());
        dimensions_->setText(PreviewWorker::noValueText());
        thumbnail_->repaint();
    });
}

bool PicturePreviewPane::tile() const
{
    return tile_->isChecked();
}

PictureDialog::PictureDialog(const FileDialogOptions& options, bool showTile, bool tile, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("pictureDialog");
    files_ = new QFileDialog(this, QString(), QString::fromStdString(options.startFolder));
    files_->setWindowFlags(Qt::Widget);
    files_->setOption(QFileDialog::DontUseNativeDialog);
    files_->setOption(QFileDialog::ReadOnly);
    files_->setFileMode(options.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    files_->setAcceptMode(QFileDialog::AcceptOpen);
    // Without a title of its own the dialog takes the file list's ("Open").
    setWindowTitle(options.title.empty() ? files_->windowTitle() : QString::fromStdString(options.title));
    const QStringList filters = qtFileFilters(options.filter);
    files_->setNameFilters(filters);
    if (options.initialFilter >= 1 && options.initialFilter <= filters.size())
        files_->selectNameFilter(filters[options.initialFilter - 1]);
    pane_ = new PicturePreviewPane(showTile, tile, this);
    if (!options.fileName.empty()) {
        // The list selects the name once it has read the folder, without
        // telling: the pane is asked for it here.
        files_->selectFile(QString::fromStdString(options.fileName));
        pane_->worker().Request(QDir(files_->directory()).filePath(QString::fromStdString(options.fileName)));
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files_, 1);
    layout->addWidget(pane_);

    connect(files_, &QFileDialog::currentChanged, this, [this](const QString& path) { pane_->worker().Request(path); });
    // Sent for one file as for several.
    connect(files_, &QFileDialog::filesSelected, this, [this](const QStringList& paths) {
        chosen_ = paths;
        accept();
    });
    connect(files_, &QFileDialog::rejected, this, &QDialog::reject);
    resize(720, 560);
}

void PictureDialog::done(int result)
{
    // The worker ends before the dialog goes; its last thumbnail is dropped.
    pane_->worker().stop();
    QDialog::done(result);
}

std::optional<std::string> PictureDialog::chosen() const
{
    if (result() != QDialog::Accepted || chosen_.isEmpty())
        return std::nullopt;
    return chosen_.front().toStdString();
}

std::optional<std::vector<std::string>> PictureDialog::chosenFiles() const
{
    if (result() != QDialog::Accepted || chosen_.isEmpty())
        return std::nullopt;
    std::vector<std::string> paths;
    for (const QString& path : chosen_)
        paths.push_back(path.toStdString());
    return paths;
}

std::optional<std::string> runPictureDialog(QWidget* parent, const FileDialogOptions& options)
{
    PictureDialog dialog(options, false, false, parent);
    dialog.exec();
    return dialog.chosen();
}

std::optional<std::vector<std::string>> runPictureFilesDialog(QWidget* parent, const FileDialogOptions& options)
{
    PictureDialog dialog(options, false, false, parent);
    dialog.exec();
    return dialog.chosenFiles();
}

} // namespace pavonia
