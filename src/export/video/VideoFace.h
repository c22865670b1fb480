#pragma once
// The talking face of one session, drawn for the frames of a video as the
// page draws it on its canvas: the face picture kept in proportion and
// centred in the canvas, the mouth each lip-sync frame asks for (reached
// from the frame before over one frame's time), the eyelids on the seeded
// blink schedule of the session; the plain face when there is no usable
// talking image.
#include "voice/FaceRig.h"
#include "voice/LipSyncFrame.h"
#include "voice/TjmFile.h"

#include <QImage>
#include <QTransform>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QPainter;

namespace pavonia {

// What a face shows at a moment; equal states draw equal pictures.
struct FaceState {
    MouthPose pose;
    double closure = 0;
    bool operator==(const FaceState& other) const;
};

class VideoFace {
public:
    // The jaw opens as far as on the page.
    static constexpr int kArticulation = 99;

    // The face of the talking image at `tjmPath` (empty: none) speaking
    // `frames`; `seed` is the session's number from 1, as the page seeds
    // its blinks.
    VideoFace(const std::string& tjmPath, std::vector<LipSyncFrame> frames, std::uint32_t seed);

    // The state at `ms` of the session; times go forward.
    FaceState stateAt(std::int64_t ms);
    // Paints the face picture (or the plain face) on a canvas of
    // `canvasPixels` that `canvasToTarget` maps onto the painter's device;
    // it stays as it is for the whole session.
    void paintPicture(QPainter& painter, const QTransform& canvasToTarget, const QSize& canvasPixels) const;
    // Paints the moving parts of `state` over the picture.
    void paintMoving(QPainter& painter, const QTransform& canvasToTarget, const QSize& canvasPixels,
                     const FaceState& state) const;

    bool plain() const { return picture_.isNull(); }
    const TjmRig& rig() const { return rig_; }

private:
    MouthPose poseAt(std::int64_t ms) const;
    // The face picture's place in the canvas; false when there is none.
    bool placement(const QSize& canvasPixels, QRectF& picture) const;

    TjmRig rig_;
    QImage picture_;
    std::array<QImage, 8> overlays_;
    std::vector<LipSyncFrame> frames_;
    Blinker blinker_;
};

} // namespace pavonia
