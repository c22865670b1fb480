#include "album/widgets/ContentPreloader.h"

#include "platform/Text.h"
#include "voice/TjmFile.h"

#include <QImageReader>

namespace pavonia {

// Lives on the preloader's thread: its slot runs there, one request at a time.
class ContentPreloader::Worker : public QObject {
public:
    Worker(ContentPreloader& owner, QSize size, std::shared_ptr<std::atomic<int>> generation)
        : owner_(owner), size_(size), generation_(std::move(generation))
    {
    }

    void load(int generation, int index, const QString& thumbnail, const QString& file)
    {
        if (generation != generation_->load())
            return;
        QImage image = QImageReader(thumbnail).read();
        if (image.isNull() && equalsIgnoreCase(extensionOf(file.toStdString()), "tjm")) {
            // No thumbnail: the talking image's own face.
            TjmFile tjm;
            if (readTjmFile(file.toStdString(), tjm).ok())
                image = QImage::fromData(reinterpret_cast<const uchar*>(tjm.picture.data()), int(tjm.picture.size()));
        }
        if (!image.isNull() && (image.width() > size_.width() || image.height() > size_.height()))
            image = image.scaled(size_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (generation == generation_->load())
            // Emitted from this thread: the connection queues it to the owner's.
            emit owner_.thumbnailReady(generation, index, image);
    }

private:
    ContentPreloader& owner_;
    QSize size_;
    std::shared_ptr<std::atomic<int>> generation_;
};

ContentPreloader::ContentPreloader(QSize size, QObject* parent)
    : QObject(parent), size_(size), generation_(std::make_shared<std::atomic<int>>(0))
{
    worker_ = new Worker(*this, size_, generation_);
    worker_->moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("content preloader"));
    thread_.start(QThread::LowPriority);
}

ContentPreloader::~ContentPreloader()
{
    // Nothing waiting is wanted any more; the request running ends soon.
    generation_->fetch_add(1);
    thread_.quit();
    thread_.wait();
    delete worker_;
}

int ContentPreloader::newGeneration() { return generation_->fetch_add(1) + 1; }

void ContentPreloader::request(int generation, int index, const QString& thumbnail, const QString& file)
{
    Worker* worker = worker_;
    QMetaObject::invokeMethod(
        worker_, [worker, generation, index, thumbnail, file] { worker->load(generation, index, thumbnail, file); },
        Qt::QueuedConnection);
}

} // namespace pavonia
