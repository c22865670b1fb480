#include "pages/widgets/PictureFrame.h"

#include "pages/ImageCache.h"

#include <QMouseEvent>
#include <QPainter>

namespace pavonia {

namespace {

constexpr int kMarkWidth = 2;

} // namespace

PictureFrame::PictureFrame(ImageCache& cache, int output, QWidget* parent)
    : QFrame(parent), cache_(cache), output_(output)
{
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
    connect(&cache_, &ImageCache::pictureReady, this, [this](const QString& path) {
        if (path == path_)
            update();
    });
}

void PictureFrame::setPicture(const QString& path)
{
    if (path == path_)
        return;
    path_ = path;
    update();
}

void PictureFrame::setOccupied(bool occupied)
{
    if (occupied == occupied_)
        return;
    occupied_ = occupied;
    update();
}

void PictureFrame::setMarked(bool marked)
{
    if (marked == marked_)
        return;
    marked_ = marked;
    update();
}

void PictureFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    // The picture area leaves room for the mark around it.
    const QRect inner = area.adjusted(kMarkWidth, kMarkWidth, -kMarkWidth, -kMarkWidth);
    painter.fillRect(area, palette().color(QPalette::Window));
    if (occupied_)
        painter.fillRect(inner, QColor(40, 40, 40));
    if (!path_.isEmpty()) {
        const QImage image = cache_.picture(path_, output_);
        if (!image.isNull()) {
            const QSize fitted = image.size().scaled(inner.size(), Qt::KeepAspectRatio);
            QRect target(QPoint(0, 0), fitted);
            target.moveCenter(inner.center());
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, image);
        }
    }
    if (marked_) {
        QPen pen(Qt::red, kMarkWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRectF(area).adjusted(1, 1, -1, -1));
    }
}

void PictureFrame::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QFrame::mousePressEvent(event);
}

} // namespace pavonia
