#include "pages/ImageCacheDecode.h"

#include "import/FitPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace pavonia {

namespace {

// A file whose reads fail as soon as `cancel` is set: the decoder then stops
// at its next block instead of finishing a long decode nobody waits for.
class CancellableFile final : public QFile {
public:
    CancellableFile(const QString& path, const std::atomic<bool>* cancel) : QFile(path), cancel_(cancel) {}

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (cancel_ && cancel_->load())
            return -1;
        return QFile::readData(data, maxSize);
    }

private:
    const std::atomic<bool>* cancel_;
};

bool cancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

QImage fromRgb(const RgbPicture& picture)
{
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(picture.rows.data() + std::size_t(y) * picture.width * 3, std::size_t(picture.width) * 3,
                    image.scanLine(y));
    return image;
}

} // namespace

void lowerThreadPriority()
{
#ifdef __linux__
    // On Linux a "process" priority set for a thread's id holds for that
    // thread alone.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 10);
#endif
}

QSize fitInto(QSize picture, QSize box)
{
    if (picture.isEmpty() || box.isEmpty())
        return picture;
    const qint64 w = picture.width(), h = picture.height();
    // Wider than the box's shape: the width touches the box.
    if (w * box.height() >= h * box.width())
        return {box.width(), int(std::max<qint64>(1, h * box.width() / w))};
    return {int(std::max<qint64>(1, w * box.height() / h)), box.height()};
}

DecodedPicture decodePicture(const QString& path, QSize box, const std::atomic<bool>* cancel)
{
    DecodedPicture result;
    const QFileInfo info(path);
    if (!info.isFile())
        return result;
    result.fileBytes = info.size();

    CancellableFile file(path, cancel);
    QImage image;
    if (file.open(QIODevice::ReadOnly)) {
        QImageReader reader(&file);
        reader.setAutoTransform(true);
        const QSize own = reader.size();
        if (own.isValid() && !box.isEmpty() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
            const QSize target = fitInto(own, box);
            if (target.width() < own.width())
                reader.setScaledSize(target);
        }
        if (reader.read(&image) && own.isValid())
            result.fullSize = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90)
                                  ? own.transposed()
                                  : own;
    }
    if (cancelled(cancel))
        return {};
    if (image.isNull()) {
        // Pictures of the slide kinds that Qt's readers refuse (unusual
        // variants of BMP and the like) go through the image library; no
        // other file is handed to it, so a text or a script is never drawn.
        if (!isFittedPicture(path.toStdString()))
            return result;
        std::optional<RgbPicture> picture = readScaledPicture(path.toStdString(), 1.0f);
        if (!picture || cancelled(cancel))
            return result;
        image = fromRgb(*picture);
    }
    if (!result.fullSize.isValid())
        result.fullSize = image.size();
    const QSize target = fitInto(image.size(), box);
    result.image = target == image.size() ? image
                                          : image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return result;
}

} // namespace pavonia
