#include "export/video/VideoTransitions.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pavonia {

namespace {

constexpr int kFade = 17;

// The page's seeded generator: the same numbers for the same seed.
class Seeded {
public:
    explicit Seeded(std::uint32_t seed) : state_(seed * 2654435761u) {}
    double next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ / 4294967296.0;
    }

private:
    std::uint32_t state_;
};

// A rectangle cut to the box; nothing when it is empty.
void addRect(QPainterPath& path, double x, double y, double w, double h, double right, double bottom)
{
    const double x0 = std::clamp(x, 0.0, right), y0 = std::clamp(y, 0.0, bottom);
    const double x1 = std::clamp(x + w, 0.0, right), y1 = std::clamp(y + h, 0.0, bottom);
    if (x1 <= x0 || y1 <= y0)
        return;
    path.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
}

void addCircle(QPainterPath& path, double cx, double cy, double r)
{
    if (r > 0)
        path.addEllipse(QPointF(cx, cy), r, r);
}

} // namespace

QPainterPath revealPath(int type, double w, double h, double p, int slideIndex)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    const double cx = w / 2, cy = h / 2;
    switch (type) {
    case 0: // Box In: the new slide closes in from the edges
        addRect(path, 0, 0, w, h, w, h);
        addRect(path, cx - cx * (1 - p), cy - cy * (1 - p), w * (1 - p), h * (1 - p), w, h);
        break;
    case 1: // Box Out: it grows from the middle
        addRect(path, cx - cx * p, cy - cy * p, w * p, h * p, w, h);
        break;
    case 2: // Circle In
        addRect(path, 0, 0, w, h, w, h);
        addCircle(path, cx, cy, std::sqrt(cx * cx + cy * cy) * (1 - p));
        break;
    case 3: // Circle Out
        addCircle(path, cx, cy, std::sqrt(cx * cx + cy * cy) * p);
        break;
    case 4: // Wipe Up: from the bottom edge up
        addRect(path, 0, h * (1 - p), w, h * p, w, h);
        break;
    case 5: // Wipe Down
        addRect(path, 0, 0, w, h * p, w, h);
        break;
    case 6: // Wipe Right
        addRect(path, 0, 0, w * p, h, w, h);
        break;
    case 7: // Wipe Left
        addRect(path, w * (1 - p), 0, w * p, h, w, h);
        break;
    case 8: { // Vertical Blinds
        const int count = std::max(4, static_cast<int>(std::lround(w / 60)));
        const double step = w / count;
        for (int i = 0; i < count; ++i)
            addRect(path, i * step, 0, step * p, h, w, h);
        break;
    }
    case 9: { // Horizontal Blinds
        const int rows = std::max(4, static_cast<int>(std::lround(h / 60)));
        const double band = h / rows;
        for (int i = 0; i < rows; ++i)
            addRect(path, 0, i * band, w, band * p, w, h);
        break;
    }
    case 10:
    case 11: { // Checkerboard Across, Checkerboard Down
        const bool across = type == 10;
        const int cells = 8;
        const double along = across ? w : h;
        const double side = across ? h : w;
        const double cell = along / cells;
        const int lines = std::max(2, static_cast<int>(std::lround(side / cell)));
        const double thick = side / lines;
        for (int line = 0; line < lines; ++line) {
            const double shift = line % 2 ? -cell / 2 : 0;
            for (int c = 0; c <= cells; ++c) {
                const double start = shift + c * cell;
                const double size = cell * p;
                if (across)
                    addRect(path, start, line * thick, size, thick, w, h);
                else
                    addRect(path, line * thick, start, thick, size, w, h);
            }
        }
        break;
    }
    case 12: { // Random Dissolve: blocks appear in a fixed random order
        const int blockCols = 32;
        const int blockRows = std::max(1, static_cast<int>(std::lround(blockCols * h / std::max(w, 1.0))));
        const double bw = w / blockCols, bh = h / blockRows;
        Seeded random(static_cast<std::uint32_t>(slideIndex + 7));
        for (int r = 0; r < blockRows; ++r)
            for (int k = 0; k < blockCols; ++k)
                if (random.next() < p)
                    addRect(path, k * bw, r * bh, bw + 0.5, bh + 0.5, w, h);
        break;
    }
    case 13: // Split Vertical In
        addRect(path, 0, 0, cx * p, h, w, h);
        addRect(path, w - cx * p, 0, cx * p, h, w, h);
        break;
    case 14: // Split Vertical Out
        addRect(path, cx - cx * p, 0, w * p, h, w, h);
        break;
    case 15: // Split Horizontal In
        addRect(path, 0, 0, w, cy * p, w, h);
        addRect(path, 0, h - cy * p, w, cy * p, w, h);
        break;
    case 16: // Split Horizontal Out
        addRect(path, 0, cy - cy * p, w, h * p, w, h);
        break;
    default:
        addRect(path, 0, 0, w, h, w, h);
        break;
    }
    return path;
}

void paintOutgoing(QImage& frame, const QImage& outgoing, const SlideAreaBoxes& boxes,
                   const QTransform& pageToFrame, int type, double p, int slideIndex)
{
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const QRectF& box : boxes) {
        if (box.isEmpty())
            continue;
        painter.save();
        if (type == kFade) {
            QPainterPath whole;
            whole.addRect(box);
            painter.setClipPath(pageToFrame.map(whole));
            painter.setOpacity(1 - p);
        } else {
            // The outgoing slide shows where the incoming one does not:
            // the whole box and the reveal, read even-odd.
            QPainterPath rest;
            rest.setFillRule(Qt::OddEvenFill);
            rest.addRect(0, 0, box.width(), box.height());
            rest.addPath(revealPath(type, box.width(), box.height(), p, slideIndex));
            painter.setClipPath(pageToFrame.map(rest.translated(box.topLeft())));
        }
        painter.drawImage(QPointF(0, 0), outgoing);
        painter.restore();
    }
}

} // namespace pavonia
