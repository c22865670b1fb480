#include "voice/widgets/TalkingImagePlayer.h"

#include "platform/StringTable.h"
#include "voice/TpsFile.h"
#include "voice/painting/FacePainter.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <filesystem>

namespace pavonia {

namespace {

constexpr int kRepaintMs = 30;

// The lip-sync frames of the message at `path`. A file smaller than the
// muted size is a muted message: no frames. False when the file is missing
// or is not a readable message.
bool readMessageFrames(const std::string& path, std::vector<LipSyncFrame>& frames, bool& missing)
{
    std::error_code ec;
    missing = !std::filesystem::is_regular_file(path, ec);
    if (missing)
        return false;
    frames.clear();
    if (isMutedMessageFile(path))
        return true;
    TalkingMessage message;
    if (!readTps(path, message))
        return false;
    frames = std::move(message.frames);
    return true;
}

QImage decodePicture(const std::string& bytes)
{
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
}

// The face shown when no talking image could be loaded.
TjmRig plainRig()
{
    TjmRig rig = neutralRig(512, 512);
    rig.skinColor = 0xEDE4DA;
    rig.lashColor = 0x6B625A;
    rig.upperLipColor = 0xB7908A;
    rig.lowerLipColor = 0xC49C95;
    return rig;
}

} // namespace

TalkingImagePlayer::TalkingImagePlayer(const Clock& clock, std::uint32_t blinkSeed, QWidget* parent)
    : QWidget(parent), clock_(clock), blinkSeed_(blinkSeed), rig_(plainRig()), blinker_(rig_, blinkSeed)
{
    timer_.setInterval(kRepaintMs);
    connect(&timer_, &QTimer::timeout, this, [this] { advance(); });
    startedAt_ = now();
    applyInitialValues();
    showNeutralFace();
}

std::int16_t TalkingImagePlayer::clampValue(int value) { return static_cast<std::int16_t>(std::clamp(value, 0, 100)); }

std::int64_t TalkingImagePlayer::now() const { return clock_.tickCount(); }

// Tick counts wrap around after 49 days; differences are taken modulo 2^32.
static std::int64_t since(std::int64_t now, std::int64_t then)
{
    return static_cast<std::uint32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

void TalkingImagePlayer::showNeutralFace()
{
    rig_ = plainRig();
    face_ = QImage();
    for (QImage& overlay : overlays_)
        overlay = QImage();
    blinker_ = Blinker(rig_, blinkSeed_);
    update();
}

TalkingImagePlayer::LoadResult TalkingImagePlayer::loadTalkingImage(const std::string& path)
{
    TjmFile file;
    const Result<> read = readTjmFile(path, file);
    QImage face;
    std::array<QImage, kTjmMaxOverlays> overlays;
    LoadResult result = LoadResult::Loaded;
    if (!read)
        result = read.failure().message == str::TalkingImageMissing ? LoadResult::Missing
                 : read.failure().message == str::TalkingImageNewer ? LoadResult::Newer
                                                                     : LoadResult::Damaged;
    else {
        face = decodePicture(file.picture);
        if (face.isNull())
            result = LoadResult::Damaged;
        for (const TjmOverlay& overlay : file.overlays) {
            overlays[overlay.viseme] = decodePicture(overlay.picture);
            if (overlays[overlay.viseme].isNull())
                result = LoadResult::Damaged;
        }
    }
    if (result != LoadResult::Loaded) {
        const int text = result == LoadResult::Missing ? str::TalkingImageMissing
                         : result == LoadResult::Newer ? str::TalkingImageNewer
                                                       : str::TalkingImageDamaged;
        lastError_ = Failure(text, {path});
        imageFile_.clear();
        showNeutralFace();
        return result;
    }
    rig_ = file.rig;
    face_ = std::move(face);
    overlays_ = std::move(overlays);
    blinker_ = Blinker(rig_, blinkSeed_);
    imageFile_ = path;
    lastError_.reset();
    update();
    return LoadResult::Loaded;
}

TalkingImagePlayer::LoadResult TalkingImagePlayer::loadTalkingMessage(const std::string& path)
{
    std::vector<LipSyncFrame> frames;
    bool missing = false;
    if (!readMessageFrames(path, frames, missing)) {
        lastError_ = Failure(str::TalkingMessageUnreadable, {path});
        messageFile_.clear();
        messageFrames_.clear();
        return missing ? LoadResult::Missing : LoadResult::Damaged;
    }
    messageFrames_ = std::move(frames);
    messageFile_ = path;
    lastError_.reset();
    return LoadResult::Loaded;
}

void TalkingImagePlayer::stop()
{
    stopAnimation();
}

void TalkingImagePlayer::animationControl(int code)
{
    switch (code) {
    case 0:
        stopAnimation();
        break;
    case 1:
        startAnimation();
        break;
    case 2:
        showFrame();
        break;
    default:
        break;
    }
}

void TalkingImagePlayer::startAnimation()
{
    animating_ = true;
    startedAt_ = now();
    blinker_.restart(0);
    updateTimer();
    update();
}

void TalkingImagePlayer::stopAnimation()
{
    animating_ = false;
    pending_ = LipSyncFrame{};
    shown_ = LipSyncFrame{};
    fromPose_ = mouthPoseFor(shown_, rig_, articulation_);
    updateTimer();
    update();
}

void TalkingImagePlayer::showFrame()
{
    const std::int64_t at = now();
    fromPose_ = currentPose(at);
    shown_ = pending_;
    shownAt_ = at;
    update();
}

void TalkingImagePlayer::setFrameViseme(std::int32_t value)
{
    pending_.viseme = static_cast<std::int16_t>(std::clamp<std::int32_t>(value, 0, 7));
}

void TalkingImagePlayer::setFrame(const LipSyncFrame& frame)
{
    setFrameOpen(frame.open);
    setFrameWidth(frame.width);
    setFrameRound(frame.round);
    setFrameTeeth(frame.teeth);
    setFrameEnergy(frame.energy);
    setFrameViseme(frame.viseme);
}

void TalkingImagePlayer::setFitMode(int mode)
{
    fitMode_ = mode == 0 ? FitMode::Stretch : mode == 1 ? FitMode::Centre : FitMode::Fit;
    update();
}

void TalkingImagePlayer::setBorder(int on)
{
    border_ = on != 0;
    update();
}

void TalkingImagePlayer::setSelfPlay(int on) { selfPlay_ = on != 0; }

void TalkingImagePlayer::setIdleBlink(int on)
{
    idleBlink_ = on != 0;
    updateTimer();
}

void TalkingImagePlayer::setArticulation(int percent)
{
    articulation_ = std::clamp(percent, 0, 100);
    update();
}

void TalkingImagePlayer::applyInitialValues()
{
    setFitMode(2);
    setBorder(0);
    setSelfPlay(0);
    setIdleBlink(0);
    setArticulation(99);
}

void TalkingImagePlayer::updateTimer()
{
    if (animating_ || idleBlink_) {
        if (!timer_.isActive())
            timer_.start();
    } else {
        timer_.stop();
    }
}

void TalkingImagePlayer::advance()
{
    if (animating_ && selfPlay_) {
        const std::int64_t index = since(now(), startedAt_) / kLipSyncFrameMs;
        const LipSyncFrame next =
            index < static_cast<std::int64_t>(messageFrames_.size()) ? messageFrames_[index] : LipSyncFrame{};
        if (!(next == shown_)) {
            setFrame(next);
            showFrame();
        }
    }
    update();
}

MouthPose TalkingImagePlayer::currentPose(std::int64_t at) const
{
    const MouthPose target = mouthPoseFor(shown_, rig_, articulation_);
    // While animating, the mouth moves to each new frame over one frame's
    // time instead of jumping.
    const std::int64_t elapsed = since(at, shownAt_);
    if (!animating_ || elapsed >= kLipSyncFrameMs)
        return target;
    return blendPoses(fromPose_, target, double(elapsed) / kLipSyncFrameMs);
}

QRectF TalkingImagePlayer::faceRect() const
{
    const QSizeF picture = face_.isNull() ? QSizeF(rig_.faceWidth, rig_.faceHeight) : QSizeF(face_.size());
    const QRectF area = rect();
    switch (fitMode_) {
    case FitMode::Stretch:
        return area;
    case FitMode::Centre:
        return QRectF(area.center() - QPointF(picture.width() / 2.0, picture.height() / 2.0), picture);
    case FitMode::Fit:
        break;
    }
    const QSizeF fitted = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.center() - QPointF(fitted.width() / 2.0, fitted.height() / 2.0), fitted);
}

void TalkingImagePlayer::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRectF target = faceRect();
    if (target.width() <= 0 || target.height() <= 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (!face_.isNull())
        painter.drawImage(target, face_);

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / rig_.faceWidth, target.height() / rig_.faceHeight);
    if (face_.isNull())
        paintNeutralFace(painter, rig_);
    const std::int64_t at = now();
    const MouthPose pose = currentPose(at);
    const QImage& overlay = overlays_[static_cast<std::size_t>(std::clamp(pose.viseme, 0, 7))];
    paintMouth(painter, rig_, pose, overlay.isNull() ? nullptr : &overlay);
    if (animating_ || idleBlink_)
        paintEyelids(painter, rig_, blinker_.lidClosure(since(at, startedAt_)));
    painter.restore();

    if (border_) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(palette().color(QPalette::Mid));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace pavonia
