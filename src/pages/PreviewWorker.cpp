#include "pages/PreviewWorker.h"

#include "pages/ImageCacheDecode.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QThread>

namespace pavonia {

PreviewWorker::PreviewWorker(int boxSize, QObject* parent) : QObject(parent), boxSize_(std::max(1, boxSize))
{
    worker_ = std::thread([this] { run(); });
}

PreviewWorker::~PreviewWorker()
{
    stop();
}

void PreviewWorker::Request(const QString& path)
{
    std::lock_guard guard(lock_);
    requested_ = path;
    // A decode of another file is of no use any more.
    if (busy_ && path != taken_)
        cancel_ = true;
    wake_.notify_all();
}

bool PreviewWorker::Take(QString& path)
{
    std::lock_guard guard(lock_);
    // File names differ by case on this system: two such names are two files.
    const bool differed = requested_ != taken_;
    taken_ = requested_;
    path = taken_;
    if (differed) {
        busy_ = true;
        cancel_ = false;
    }
    return differed;
}

QImage PreviewWorker::thumbnail() const
{
    std::lock_guard guard(lock_);
    return thumbnail_;
}

void PreviewWorker::run()
{
    lowerThreadPriority();
    for (;;) {
        QString path;
        if (!Take(path)) {
            std::unique_lock guard(lock_);
            wake_.wait_for(guard, kPollInterval, [this] { return stop_ || requested_ != taken_; });
            if (stop_)
                break;
            continue;
        }
        DecodedPicture decoded = path.isEmpty() ? DecodedPicture{} : decodePicture(path, {boxSize_, boxSize_}, &cancel_);
        {
            std::lock_guard guard(lock_);
            busy_ = false;
            if (stop_)
                break;
            // Cut short for a newer request: that one is taken at once.
            if (cancel_.load())
                continue;
        }
        if (decoded.image.isNull())
            ShowNothing();
        else
            Show(std::move(decoded.image), decoded.fullSize, decoded.fileBytes);
        std::unique_lock guard(lock_);
        wake_.wait_for(guard, kPollInterval, [this] { return stop_; });
        if (stop_)
            break;
    }
    finished_ = true;
}

void PreviewWorker::Show(QImage thumbnail, QSize picture, qint64 bytes)
{
    const QSize size = thumbnail.size();
    QImage old;
    {
        std::lock_guard guard(lock_);
        old = std::exchange(thumbnail_, std::move(thumbnail));
    }
    // Emitted from the worker: the pane's slots run on its own thread.
    emit shown(size, picture, bytes);
}

void PreviewWorker::ShowNothing()
{
    {
        std::lock_guard guard(lock_);
        thumbnail_ = QImage();
    }
    emit shownNothing();
}

void PreviewWorker::stop()
{
    // A second call made while the first one handles events (a second
    // click on Cancel) leaves the ending to the first.
    if (stopping_)
        return;
    stopping_ = true;
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    cancel_ = true;
    wake_.notify_all();
    // The worker may be waiting for nothing of ours, but its queued signals
    // and the windows' paint events are handled while it ends.
    while (!finished_.load()) {
        if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    worker_.join();
}

QString PreviewWorker::sizeText(qint64 bytes)
{
    return QString::fromStdString(StringTable::format(str::PictureKBytes, {std::to_string((bytes + 1023) / 1024)}));
}

QString PreviewWorker::dimensionText(QSize picture)
{
    return QString::fromStdString(
        StringTable::format(str::PicturePixels, {std::to_string(picture.width()), std::to_string(picture.height())}));
}

QString PreviewWorker::noValueText()
{
    return QString::fromStdString(StringTable::text(str::PictureNoValue));
}

} // namespace pavonia
