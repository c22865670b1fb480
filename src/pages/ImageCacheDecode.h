#pragma once
// Reading a picture off the user-interface thread, scaled to fit a box, for
// the image cache and the picture dialog's preview worker.
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <cstdint>

namespace pavonia {

struct DecodedPicture {
    QImage image;     // fitted into the box asked for; null when unreadable
    QSize fullSize;   // the picture's own size (width x height)
    std::int64_t fileBytes = 0;
};

// The size `picture` takes when fitted into `box` keeping its proportions:
// the side that touches the box is the box's, the other one is cut to whole
// pixels and is at least 1. An empty box leaves the picture's size.
QSize fitInto(QSize picture, QSize box);

// Reads the first frame of the picture at `path` and fits it into `box`
// (an empty box keeps its own size). Formats that can decode at a smaller
// size (JPEG) do so, so a very large picture never takes its full memory;
// a gif, jpg, jpeg, bmp or png file Qt cannot read goes through the image
// library, and no other kind of file does. When `cancel` becomes
// true the read of the file fails at its next block and the result is null.
DecodedPicture decodePicture(const QString& path, QSize box, const std::atomic<bool>* cancel = nullptr);

// Lowers the calling thread's scheduling priority (where the system allows
// it per thread), so that a decoding worker gives way to the user-interface
// thread when the processors are busy.
void lowerThreadPriority();

} // namespace pavonia
