#pragma once
// The image cache the editing pages share: decodes pictures on a worker
// thread, keeps the last `capacity` of them and hands out copies fitted
// (keeping proportions) into one of three output sizes. Until a picture is
// ready the cache hands out the loading picture; when the decode finishes it
// emits pictureReady(path) and the views ask picture() again.
//
// The user-interface thread never decodes a picture: every read (QImageReader
// with a scaled size where the format allows it, else the image library)
// happens on the worker. A picture that cannot be read is kept as a null
// image, so a view shows nothing for it instead of asking again and again.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

namespace pavonia {

class ImageCache : public QObject {
    Q_OBJECT
public:
    static constexpr int kOutputs = 3;

    // capacity: how many decoded source pictures are kept (10 in the program);
    // loadingPicture: "loading.jpg" of the installation folder, shown until a
    // picture is ready.
    ImageCache(int capacity, const QString& loadingPicture, QObject* parent = nullptr);
    // Stops and joins the worker; a decode under way is cut short.
    ~ImageCache() override;

    // Outputs 0, 1 and 2; other numbers are ignored.
    void setOutputSize(int output, QSize size);
    QSize outputSize(int output) const;

    // The picture for `path` fitted in output `output`'s size: the finished
    // one when cached (a null image when it could not be read), else the
    // loading picture, with the decode queued ahead of prepared ones.
    QImage picture(const QString& path, int output);
    // Queues decodes ahead of need (e.g. the two pictures after the shown one).
    void prepare(const QStringList& paths);

    // Whether `path` is decoded and kept.
    bool isCached(const QString& path) const;

signals:
    void pictureReady(const QString& path);

private:
    struct State;
    void notifyReady(const QString& path);

    std::shared_ptr<State> state_;
};

} // namespace pavonia
