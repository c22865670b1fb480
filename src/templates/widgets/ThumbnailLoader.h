#pragma once
// Decodes pictures on the thread pool and hands each back to the thread that
// owns the loader by a queued signal. A loader destroyed while decodes run
// drops their results safely.
#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

namespace pavonia {

class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    ThumbnailLoader();
    ~ThumbnailLoader() override;

    // Decodes `path`; loaded() follows with a null image when it cannot be read.
    void load(int generation, int row, const QString& path);

signals:
    void loaded(int generation, int row, const QImage& image);

private:
    struct Channel;
    std::shared_ptr<Channel> channel_;
};

} // namespace pavonia
