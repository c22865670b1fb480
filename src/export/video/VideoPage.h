#pragma once
// The published page photographed for a video: opened once in a headless
// Chromium at the page's own size, each slide's picture taken through the
// player's `renderAt` (the moment its transition is over, and the start of
// the transition with the outgoing slide still in place), without the
// talking face, which the frames draw themselves. Also the player's
// timeline, where the face's canvas lies and how much of each of its pixels
// shows (a rounded or bordered talker area cuts it), and the boxes of the
// slide areas the transitions run in.
#include "export/video/VideoTimeline.h"
#include "export/video/VideoTransitions.h"
#include "platform/Result.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

// The pictures of one slide: PNG files at the video's resolution, read when
// the slide comes, so memory does not grow with the presentation. Empty
// names for pictures not taken.
struct SlidePictures {
    std::string still;    // after its transition; none for a slide never shown
    std::string outgoing; // the start of its transition: the slide before it in place
    std::string incoming; // the end of its transition, where an area's emptiness changes
    SlideAreaBoxes boxes; // page pixels, while its transition runs
};

struct PageStills {
    VideoTimeline timeline;
    QSize pageSize;          // the page's own size
    QSize frameSize;         // the video's
    QTransform pageToFrame;  // page pixels to frame pixels
    // The face's canvas: its box in page pixels and its drawing size.
    QRectF canvasBox;
    QSize canvasPixels;
    // Frame pixels where the face may show, with how much of each shows
    // (0 to 255); null when the page has no talker.
    QRect faceRegion;
    QImage faceCoverage; // Grayscale8, faceRegion's size
    std::vector<SlidePictures> slides;
};

struct PhotographProgress {
    int done = 0;
    int total = 0;
};

class VideoPage {
public:
    // What to photograph: the page at `pagePath`, for a video of
    // `frameSize` (empty: the page's own size, made even), slides shown
    // before `untilMs` only (all when negative).
    struct Request {
        std::string pagePath;
        std::string pictureFolder; // where the pictures are kept, ending with "/"
        std::optional<QSize> frameSize;
        std::int64_t untilMs = -1;
        // Told after each picture; false stops (the result is then a
        // failure with str::VideoCancelled).
        std::function<bool(const PhotographProgress&)> progress;
    };

    static Result<PageStills> photograph(const Request& request);
};

// The video's picture of the PNG bytes `png`: decoded, at `size`, in
// QImage::Format_RGB32 (black when it cannot be decoded).
QImage framePicture(const std::string& png, const QSize& size);
// The same of the PNG file at `path`.
QImage framePictureFile(const std::string& path, const QSize& size);

} // namespace pavonia
