#pragma once
// A frame of the picture strip: shows one picture of the image cache fitted
// into the frame (the cache's loading picture until it is decoded), or
// nothing. The frame never reads a file itself. A red border 2 pixels
// around it marks the current picture; a left click is reported.
#include <QFrame>
#include <QString>

namespace pavonia {

class ImageCache;

class PictureFrame : public QFrame {
    Q_OBJECT
public:
    PictureFrame(ImageCache& cache, int output, QWidget* parent = nullptr);

    // The picture to show; empty shows nothing.
    void setPicture(const QString& path);
    const QString& picture() const { return path_; }
    int output() const { return output_; }
    // A frame past the end of the strip shows the page's background only.
    void setOccupied(bool occupied);
    bool occupied() const { return occupied_; }
    void setMarked(bool marked);
    bool marked() const { return marked_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ImageCache& cache_;
    int output_;
    QString path_;
    bool marked_ = false;
    bool occupied_ = true;
};

} // namespace pavonia
