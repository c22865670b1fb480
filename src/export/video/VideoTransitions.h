#pragma once
// The slide transitions as the page draws them, for the frames of a video:
// where the incoming slide shows at a point of its transition, in the box of
// one slide area, and a frame composed from the pictures of the outgoing and
// the incoming slide.
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <array>

class QImage;

namespace pavonia {

// Where the incoming slide shows at progress `p` (0 to 1) of transition
// `type` in a box `w` by `h` (its top left at 0, 0), read with the even-odd
// rule; the outgoing slide shows in the rest of the box. `slideIndex` seeds
// the random dissolve, as on the page.
QPainterPath revealPath(int type, double w, double h, double p, int slideIndex);

// The boxes of the sub-topic, media and description areas' slides, in the
// page's own pixels (empty when an area is not on the page).
using SlideAreaBoxes = std::array<QRectF, 3>;

// Paints the outgoing slide's picture `outgoing` over `frame` (which shows the
// incoming slide) wherever the incoming slide does not show yet in each area
// box: the transition `type` at progress `p`. Fade (17) mixes the two.
// `pageToFrame` maps the page's pixels to the frame's.
void paintOutgoing(QImage& frame, const QImage& outgoing, const SlideAreaBoxes& boxes,
                   const QTransform& pageToFrame, int type, double p, int slideIndex);

} // namespace pavonia
