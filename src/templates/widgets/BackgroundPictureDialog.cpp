#include "templates/widgets/BackgroundPictureDialog.h"

#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QVBoxLayout>

namespace pavonia {

namespace {

constexpr QSize kThumbnail(180, 135);

} // namespace

QStringList qtFileFilters(const std::string& filter)
{
    QStringList out;
    const QStringList pieces = QString::fromStdString(filter).split('|');
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        if (pieces[i].isEmpty())
            break;
        QString label = pieces[i];
        const qsizetype open = label.indexOf('(');
        if (open >= 0)
            label = label.left(open).trimmed();
        out << label + " (" + QString(pieces[i + 1]).replace(';', ' ') + ")";
    }
    return out;
}

BackgroundPictureDialog::BackgroundPictureDialog(const FileDialogOptions& options, bool tile, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromStdString(options.title));

    // The file dialog is embedded, so that the preview and the check box sit
    // beside its list.
    files_ = new QFileDialog(this, QString(), QString::fromStdString(options.startFolder));
    files_->setWindowFlags(Qt::Widget);
    files_->setOption(QFileDialog::DontUseNativeDialog);
    files_->setFileMode(QFileDialog::ExistingFile);
    files_->setAcceptMode(QFileDialog::AcceptOpen);
    files_->setNameFilters(qtFileFilters(options.filter));
    if (!options.fileName.empty())
        files_->selectFile(QString::fromStdString(options.fileName));

    picture_ = new QLabel(this);
    picture_->setObjectName("picture");
    picture_->setFixedSize(kThumbnail);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setFrameShape(QFrame::StyledPanel);
    fileSize_ = new QLabel(this);
    fileSize_->setObjectName("fileSize");
    dimensions_ = new QLabel(this);
    dimensions_->setObjectName("dimensions");
    tile_ = new QCheckBox(tableText(str::BackgroundTile), this);
    tile_->setObjectName("tile");
    tile_->setChecked(tile);

    auto* side = new QVBoxLayout;
    side->addWidget(picture_);
    side->addWidget(fileSize_);
    side->addWidget(dimensions_);
    side->addWidget(tile_);
    side->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(files_, 1);
    layout->addLayout(side);

    connect(files_, &QFileDialog::currentChanged, this, &BackgroundPictureDialog::showPicture);
    connect(files_, &QFileDialog::fileSelected, this, [this](const QString& path) {
        chosen_ = path;
        accept();
    });
    connect(files_, &QFileDialog::rejected, this, &QDialog::reject);
    resize(760, 420);
}

void BackgroundPictureDialog::showPicture(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        picture_->clear();
        fileSize_->clear();
        dimensions_->clear();
        return;
    }
    fileSize_->setText(QString::fromStdString(StringTable::format(str::PictureFileSize, {std::to_string(info.size())})));
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid()) {
        picture_->setText(tableText(str::PictureNotReadable));
        dimensions_->clear();
        return;
    }
    dimensions_->setText(QString::fromStdString(StringTable::format(
        str::PictureDimensions, {std::to_string(size.width()), std::to_string(size.height())})));
    // Decoded at the thumbnail's size, so that a large picture shows at once.
    reader.setScaledSize(size.scaled(kThumbnail, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        picture_->setText(tableText(str::PictureNotReadable));
    else
        picture_->setPixmap(QPixmap::fromImage(image));
}

std::optional<PictureChoice> BackgroundPictureDialog::choice() const
{
    if (result() != QDialog::Accepted || chosen_.isEmpty())
        return std::nullopt;
    return PictureChoice{chosen_.toStdString(), tile_->isChecked()};
}

std::optional<PictureChoice> runBackgroundPictureDialog(QWidget* parent, const FileDialogOptions& options, bool tile)
{
    BackgroundPictureDialog dialog(options, tile, parent);
    dialog.exec();
    return dialog.choice();
}

} // namespace pavonia
