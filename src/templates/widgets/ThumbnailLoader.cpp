#include "templates/widgets/ThumbnailLoader.h"

#include <QImageReader>
#include <QThreadPool>

#include <mutex>

namespace pavonia {

// Shared with the decodes in flight: the loader clears `owner` when it goes,
// under the lock that every delivery takes.
struct ThumbnailLoader::Channel {
    std::mutex mutex;
    ThumbnailLoader* owner = nullptr;
};

ThumbnailLoader::ThumbnailLoader() : channel_(std::make_shared<Channel>())
{
    channel_->owner = this;
}

ThumbnailLoader::~ThumbnailLoader()
{
    const std::lock_guard lock(channel_->mutex);
    channel_->owner = nullptr;
}

void ThumbnailLoader::load(int generation, int row, const QString& path)
{
    QThreadPool::globalInstance()->start([channel = channel_, generation, row, path] {
        QImageReader reader(path);
        const QImage image = reader.read().convertToFormat(QImage::Format_RGB888);
        const std::lock_guard lock(channel->mutex);
        if (channel->owner)
            // Emitted from the worker: the connection queues it to the loader's thread.
            emit channel->owner->loaded(generation, row, image);
    });
}

} // namespace pavonia
