#pragma once
// The worker behind the picture dialog's preview pane: a thread that makes a
// thumbnail of the file the dialog has selected, while the dialog stays
// responsive. The dialog hands every newly selected path to request(); the
// worker takes the latest one every 200 ms (paths selected in between are
// skipped), decodes it scaled to fit a square box, keeps the thumbnail under
// the lock for the pane to paint, and emits shown() or shownNothing().
//
// The lock guards only the requested and taken paths and the thumbnail: it
// is never held while a picture is decoded or a control is updated. A newer
// request cuts the decode under way short, so a large picture delays only
// its own thumbnail.
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace pavonia {

class PreviewWorker : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kPollInterval{200};

    // Starts the worker; thumbnails fit in a square of `boxSize` pixels.
    explicit PreviewWorker(int boxSize, QObject* parent = nullptr);
    // Stops the worker (see stop()).
    ~PreviewWorker() override;

    int boxSize() const { return boxSize_; }

    // The path the dialog asks to preview.
    void Request(const QString& path);
    // Hands out the requested path, which becomes the taken one; whether it
    // differs from the path taken before.
    bool Take(QString& path);

    // The thumbnail shown now, or a null image.
    QImage thumbnail() const;

    // Ends the worker. While it finishes, the calling thread's events keep
    // being handled, so nothing the worker posted is left waiting and the
    // windows stay painted. Safe to call more than once.
    void stop();
    bool running() const { return !finished_.load(); }

    // The pane's texts: "%d KBytes" of the size rounded up to whole kilobytes,
    // "%d x %d pixels", and "---" for nothing.
    static QString sizeText(qint64 bytes);
    static QString dimensionText(QSize picture);
    static QString noValueText();

signals:
    // A thumbnail of `picture` pixels and `bytes` bytes is in place.
    void shown(QSize thumbnail, QSize picture, qint64 bytes);
    // The selected file is no picture: the pane shows an empty square.
    void shownNothing();

private:
    void run();
    void Show(QImage thumbnail, QSize picture, qint64 bytes);
    void ShowNothing();

    const int boxSize_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    QString requested_;
    QString taken_;
    bool busy_ = false; // a decode of `taken_` is under way
    QImage thumbnail_;
    bool stop_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    bool stopping_ = false; // stop() has begun (the owner's thread only)
    std::thread worker_;
};

} // namespace pavonia
