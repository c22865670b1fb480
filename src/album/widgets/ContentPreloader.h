#pragma once
// Makes the album's thumbnails on a thread of its own, so that a folder of
// many pictures never holds up the window. Each thumbnail is the picture
// beside the file (the album's thumbnail extension); a talking image without
// one shows its own face. Results come back to the preloader's thread by a
// queued signal, tagged with the generation they were asked for; asking for
// a new generation drops the work still waiting for older ones.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThread>

#include <atomic>
#include <memory>

namespace pavonia {

class ContentPreloader : public QObject {
    Q_OBJECT
public:
    // Thumbnails fit `size`, keeping their shape.
    explicit ContentPreloader(QSize size, QObject* parent = nullptr);
    // Stops the thread; results still on their way are dropped.
    ~ContentPreloader() override;

    QSize thumbnailSize() const { return size_; }
    // Starts a new generation: work asked for earlier is no longer wanted.
    int newGeneration();
    // Queues the thumbnail of `file` (`thumbnail` beside it, maybe missing).
    void request(int generation, int index, const QString& thumbnail, const QString& file);

signals:
    // A null image when nothing could be shown.
    void thumbnailReady(int generation, int index, const QImage& image);

private:
    class Worker;
    QSize size_;
    std::shared_ptr<std::atomic<int>> generation_;
    QThread thread_;
    Worker* worker_ = nullptr;
};

} // namespace pavonia
