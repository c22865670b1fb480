#include "export/video/VideoFace.h"

#include "voice/painting/FacePainter.h"

#include <QPainter>

#include <algorithm>

namespace pavonia {

namespace {

// The face drawn when no talking image could be shown: the default layout
// in the plain face's colours.
TjmRig plainRig()
{
    TjmRig rig;
    rig.skinColor = 0xEDE4DA;
    rig.lashColor = 0x6B625A;
    rig.upperLipColor = 0xB7908A;
    rig.lowerLipColor = 0xC49C95;
    return rig;
}

QImage decoded(const std::string& bytes)
{
    QImage image;
    if (!bytes.empty())
        image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
    return image;
}

} // namespace

bool FaceState::operator==(const FaceState& other) const
{
    const MouthPose& a = pose;
    const MouthPose& b = other.pose;
    return a.centerX == b.centerX && a.centerY == b.centerY && a.halfWidth == b.halfWidth &&
           a.upperLift == b.upperLift && a.lowerDrop == b.lowerDrop && a.lipThickness == b.lipThickness &&
           a.teeth == b.teeth && a.round == b.round && a.smile == b.smile && a.viseme == b.viseme &&
           closure == other.closure;
}

VideoFace::VideoFace(const std::string& tjmPath, std::vector<LipSyncFrame> frames, std::uint32_t seed)
    : rig_(plainRig()), frames_(std::move(frames)), blinker_(rig_, seed)
{
    TjmFile file;
    if (!tjmPath.empty() && readTjmFile(tjmPath, file)) {
        picture_ = decoded(file.picture);
        if (!picture_.isNull()) {
            rig_ = file.rig;
            for (const TjmOverlay& overlay : file.overlays)
                if (overlay.viseme >= 0 && overlay.viseme < 8)
                    overlays_[overlay.viseme] = decoded(overlay.picture);
        }
    }
    blinker_ = Blinker(rig_, seed);
}

MouthPose VideoFace::poseAt(std::int64_t ms) const
{
    const auto poseOf = [this](std::int64_t i) {
        const LipSyncFrame frame = i >= 0 && i < static_cast<std::int64_t>(frames_.size()) ? frames_[i] : LipSyncFrame{};
        return mouthPoseFor(frame, rig_, kArticulation);
    };
    if (ms < 0 || frames_.empty())
        return poseOf(-1);
    const std::int64_t i = ms / kLipSyncFrameMs;
    return blendPoses(poseOf(i - 1), poseOf(i), double(ms - i * kLipSyncFrameMs) / kLipSyncFrameMs);
}

FaceState VideoFace::stateAt(std::int64_t ms)
{
    FaceState state;
    state.pose = poseAt(ms);
    state.closure = blinker_.lidClosure(std::max<std::int64_t>(0, ms));
    if (state.closure < 0.02)
        state.closure = 0;
    return state;
}

bool VideoFace::placement(const QSize& canvasPixels, QRectF& picture) const
{
    const double width = canvasPixels.width(), height = canvasPixels.height();
    const double pw = picture_.isNull() ? rig_.faceWidth : picture_.width();
    const double ph = picture_.isNull() ? rig_.faceHeight : picture_.height();
    if (width <= 0 || height <= 0 || pw <= 0 || ph <= 0)
        return false;
    // The face keeps its proportions, centred in the canvas.
    const double fit = std::min(width / pw, height / ph);
    picture = QRectF((width - pw * fit) / 2, (height - ph * fit) / 2, pw * fit, ph * fit);
    return true;
}

void VideoFace::paintPicture(QPainter& painter, const QTransform& canvasToTarget, const QSize& canvasPixels) const
{
    QRectF place;
    if (!placement(canvasPixels, place))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setTransform(canvasToTarget);
    if (!picture_.isNull())
        painter.drawImage(place, picture_);
    painter.setTransform(QTransform::fromScale(place.width() / rig_.faceWidth, place.height() / rig_.faceHeight) *
                         QTransform::fromTranslate(place.left(), place.top()) * canvasToTarget);
    if (picture_.isNull())
        paintNeutralFace(painter, rig_);
    painter.restore();
}

void VideoFace::paintMoving(QPainter& painter, const QTransform& canvasToTarget, const QSize& canvasPixels,
                            const FaceState& state) const
{
    QRectF place;
    if (!placement(canvasPixels, place))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setTransform(QTransform::fromScale(place.width() / rig_.faceWidth, place.height() / rig_.faceHeight) *
                         QTransform::fromTranslate(place.left(), place.top()) * canvasToTarget);
    const QImage& overlay = overlays_[std::clamp(state.pose.viseme, 0, 7)];
    paintMouth(painter, rig_, state.pose, overlay.isNull() ? nullptr : &overlay);
    paintEyelids(painter, rig_, state.closure);
    painter.restore();
}

} // namespace pavonia
