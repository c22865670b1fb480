#include "pages/ImageCache.h"

#include "pages/ImageCacheDecode.h"

#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace pavonia {

namespace {

// A decoded picture: its source, decoded to fit the largest output, and its
// copies fitted into each output as they were sized when it was made.
struct Entry {
    QString path;
    QSize fullSize;
    QImage source;
    QImage fitted[ImageCache::kOutputs];
    bool unreadable = false;
};

// The size a source is decoded at when no output is sized yet.
constexpr QSize kDefaultBound(1024, 1024);

QImage fitted(const QImage& source, QSize fullSize, QSize output)
{
    if (source.isNull() || output.isEmpty())
        return source;
    const QSize target = fitInto(fullSize.isValid() ? fullSize : source.size(), output);
    if (target == source.size())
        return source;
    return source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

struct ImageCache::State {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<QString> queue;
    std::list<Entry> entries; // most recently used first
    QSize sizes[kOutputs];
    int capacity = 10;
    QString loadingPath;
    QImage loading;
    bool loadingRead = false;
    QImage loadingFitted[kOutputs];
    bool stop = false;
    std::atomic<bool> cancel{false};
    std::function<void(const QString&)> notify; // cleared when the cache goes
    std::thread worker;

    QSize bound() const
    {
        QSize size;
        for (const QSize& output : sizes)
            size = size.expandedTo(output);
        return size.isEmpty() ? kDefaultBound : size;
    }

    std::list<Entry>::iterator find(const QString& path)
    {
        return std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.path == path; });
    }

    bool queued(const QString& path) const { return std::find(queue.begin(), queue.end(), path) != queue.end(); }

    void run();
};

void ImageCache::State::run()
{
    lowerThreadPriority();
    std::unique_lock lock(mutex);
    while (!stop) {
        if (!loadingRead) {
            const QString path = loadingPath;
            lock.unlock();
            QImage image = decodePicture(path, QSize(), &cancel).image;
            lock.lock();
            loading = std::move(image);
            loadingRead = true;
            // The views waiting on a decode may show the loading picture now.
            if (notify)
                for (const QString& waiting : queue)
                    notify(waiting);
            continue;
        }
        if (queue.empty()) {
            wake.wait(lock);
            continue;
        }
        const QString path = queue.front();
        queue.pop_front();
        if (find(path) != entries.end())
            continue;
        const QSize box = bound();
        QSize outputs[kOutputs];
        std::copy(std::begin(sizes), std::end(sizes), outputs);
        lock.unlock();

        DecodedPicture decoded = decodePicture(path, box, &cancel);
        Entry entry;
        entry.path = path;
        entry.fullSize = decoded.fullSize;
        entry.unreadable = decoded.image.isNull();
        entry.source = std::move(decoded.image);
        for (int output = 0; output < kOutputs; ++output)
            entry.fitted[output] = fitted(entry.source, entry.fullSize, outputs[output]);

        lock.lock();
        if (stop)
            break;
        entries.push_front(std::move(entry));
        while (int(entries.size()) > std::max(1, capacity))
            entries.pop_back();
        if (notify)
            notify(path);
    }
}

ImageCache::ImageCache(int capacity, const QString& loadingPicture, QObject* parent)
    : QObject(parent), state_(std::make_shared<State>())
{
    state_->capacity = capacity;
    state_->loadingPath = loadingPicture;
    state_->notify = [this](const QString& path) { notifyReady(path); };
    state_->worker = std::thread([state = state_] { state->run(); });
}

ImageCache::~ImageCache()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stop = true;
        state_->notify = nullptr;
    }
    state_->cancel = true;
    state_->wake.notify_all();
    state_->worker.join();
}

void ImageCache::notifyReady(const QString& path)
{
    // Called on the worker, under the lock: the signal goes out on the
    // cache's own thread, and is dropped if the cache is gone by then.
    QMetaObject::invokeMethod(this, [this, path] { emit pictureReady(path); }, Qt::QueuedConnection);
}

void ImageCache::setOutputSize(int output, QSize size)
{
    if (output < 0 || output >= kOutputs)
        return;
    std::lock_guard lock(state_->mutex);
    if (state_->sizes[output] == size)
        return;
    const QSize before = state_->bound();
    state_->sizes[output] = size;
    state_->loadingFitted[output] = QImage();
    // Sources decoded for smaller outputs would be blown up: read them again.
    const QSize after = state_->bound();
    if (after.width() > before.width() || after.height() > before.height())
        state_->entries.clear();
}

QSize ImageCache::outputSize(int output) const
{
    if (output < 0 || output >= kOutputs)
        return {};
    std::lock_guard lock(state_->mutex);
    return state_->sizes[output];
}

QImage ImageCache::picture(const QString& path, int output)
{
    if (path.isEmpty() || output < 0 || output >= kOutputs)
        return {};
    std::lock_guard lock(state_->mutex);
    State& state = *state_;
    const QSize size = state.sizes[output];
    auto entry = state.find(path);
    if (entry != state.entries.end()) {
        state.entries.splice(state.entries.begin(), state.entries, entry);
        if (entry->unreadable)
            return {};
        QImage& copy = entry->fitted[output];
        // An output resized since the decode: fit the kept source again (a
        // scale of a picture already the output's size, not a decode).
        if (copy.size() != fitInto(entry->fullSize, size))
            copy = fitted(entry->source, entry->fullSize, size);
        return copy;
    }
    const auto queued = std::find(state.queue.begin(), state.queue.end(), path);
    if (queued != state.queue.end())
        state.queue.erase(queued);
    state.queue.push_front(path);
    state.wake.notify_one();
    if (!state.loadingRead)
        return {};
    QImage& loading = state.loadingFitted[output];
    if (loading.isNull())
        loading = fitted(state.loading, state.loading.size(), size);
    return loading;
}

void ImageCache::prepare(const QStringList& paths)
{
    std::lock_guard lock(state_->mutex);
    bool added = false;
    for (const QString& path : paths) {
        if (path.isEmpty() || state_->find(path) != state_->entries.end() || state_->queued(path))
            continue;
        state_->queue.push_back(path);
        added = true;
    }
    if (added)
        state_->wake.notify_one();
}

bool ImageCache::isCached(const QString& path) const
{
    std::lock_guard lock(state_->mutex);
    return state_->find(path) != state_->entries.end();
}

} // namespace pavonia
