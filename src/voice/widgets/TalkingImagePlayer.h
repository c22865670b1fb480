#pragma once
// The talking-image player: shows a talking image (".tjm") scaled into the
// widget and paints its mouth and eyelids over the picture, moving the mouth
// from the lip-sync frames it is given and blinking every few seconds while
// it animates. The methods are the player's property interface: each names
// the property number it stands for.
#include "platform/Clock.h"
#include "platform/Result.h"
#include "voice/FaceRig.h"
#include "voice/LipSyncFrame.h"
#include "voice/TjmFile.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

class TalkingImagePlayer : public QWidget {
    Q_OBJECT
public:
    enum class LoadResult { Loaded, Missing, Damaged, Newer };
    enum class FitMode { Stretch = 0, Centre = 1, Fit = 2 };

    // `clock` times the animation; `blinkSeed` varies the blink rhythm so
    // that two players side by side do not blink together.
    explicit TalkingImagePlayer(const Clock& clock, std::uint32_t blinkSeed = 1, QWidget* parent = nullptr);

    // 38: shows the talking image at `path`. A missing or damaged file leaves
    // a plain neutral face, the current image file empty and the reason in
    // lastError().
    LoadResult loadTalkingImage(const std::string& path);
    // 39: takes the message at `path`, whose lip-sync frames the player plays
    // itself when self-play is on. A message smaller than 512 bytes is a muted
    // one and loads with no frames.
    LoadResult loadTalkingMessage(const std::string& path);
    // 4 and 5: the files last loaded successfully; empty when none.
    const std::string& currentImageFile() const { return imageFile_; }
    const std::string& currentMessageFile() const { return messageFile_; }
    // Why the last load failed; nothing after a success.
    const std::optional<Failure>& lastError() const { return lastError_; }

    // 14: stops animating and closes the mouth.
    void stop();
    // 61: 1 starts the animation, 0 stops it, 2 shows the frame just set.
    void animationControl(int code);
    void startAnimation();
    void stopAnimation();
    void showFrame();
    bool isAnimating() const { return animating_; }
    // Brings the face to the clock's present time: the next of the message's
    // frames in self-play, and a repaint. The animation timer calls it.
    void advance();

    // 10, 41, 63, 64, 65 and 62: the values of the next frame, shown by
    // showFrame().
    void setFrameOpen(int value) { pending_.open = clampValue(value); }
    void setFrameWidth(int value) { pending_.width = clampValue(value); }
    void setFrameRound(int value) { pending_.round = clampValue(value); }
    void setFrameTeeth(int value) { pending_.teeth = clampValue(value); }
    void setFrameEnergy(int value) { pending_.energy = clampValue(value); }
    void setFrameViseme(std::int32_t value);
    void setFrame(const LipSyncFrame& frame);
    LipSyncFrame shownFrame() const { return shown_; }

    // The start values: 2 how the picture fits the widget, 1 a thin frame
    // around it, 55 self-play (1: on start the player plays the message's own
    // frames), 40 blinking while idle, 46 articulation (how far the mouth
    // opens, in percent).
    void setFitMode(int mode);
    void setBorder(int on);
    void setSelfPlay(int on);
    void setIdleBlink(int on);
    void setArticulation(int percent);
    // Sets 2 to 2, 1 to 0, 55 to 0, 40 to 0 and 46 to 99.
    void applyInitialValues();

    QSize sizeHint() const override { return {240, 240}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static std::int16_t clampValue(int value);
    std::int64_t now() const;
    void showNeutralFace();
    void updateTimer();
    MouthPose currentPose(std::int64_t at) const;
    QRectF faceRect() const;

    const Clock& clock_;
    std::uint32_t blinkSeed_;
    TjmRig rig_;
    QImage face_;
    std::array<QImage, kTjmMaxOverlays> overlays_;
    Blinker blinker_;
    QTimer timer_;

    std::string imageFile_;
    std::string messageFile_;
    std::optional<Failure> lastError_;
    std::vector<LipSyncFrame> messageFrames_;

    LipSyncFrame pending_;
    LipSyncFrame shown_;
    MouthPose fromPose_;     // the mouth when the shown frame arrived
    std::int64_t shownAt_ = 0;
    std::int64_t startedAt_ = 0;
    bool animating_ = false;

    FitMode fitMode_ = FitMode::Fit;
    bool border_ = false;
    bool selfPlay_ = false;
    bool idleBlink_ = false;
    int articulation_ = 99;
};

} // namespace pavonia
