#pragma once
// The album's message preview: a small talking face that speaks the chosen
// talking message through the voice engine, its mouth following the
// message's lip-sync. Loading a message plays it while the preview is
// started; stopping silences it. Without a sound output the face moves
// without sound, and the preview says so.
#include "album/ContentAlbumLogic.h"
#include "platform/Clock.h"
#include "voice/AudioDevice.h"
#include "voice/VoiceNotify.h"

#include <QWidget>

#include <memory>
#include <string>

class QLabel;

namespace pavonia {

class TalkingImagePlayer;
class VoiceEngine;

class TpsPreview : public QWidget, public MessagePreview, private VoiceNotify {
    Q_OBJECT
public:
    // `device` plays the sound (null: none, the face moves silently); it
    // must outlive the preview. The face is the installation's default
    // talking image.
    TpsPreview(const std::string& installationFolder, AudioDevice* device, QWidget* parent = nullptr);
    ~TpsPreview() override;

    void startPreview() override;
    void stopPreview() override;
    void loadTps(const std::string& path) override;

    bool isStarted() const { return started_; }
    // True while the message sounds, or moves the face silently.
    bool isPlaying() const;
    const std::string& loadedPath() const { return path_; }
    TalkingImagePlayer& player() const { return *player_; }

private:
    void playStopped() override;
    void lipSyncFrameChanged(const LipSyncFrame& frame) override;
    void playSilently();

    SystemClock clock_;
    TalkingImagePlayer* player_ = nullptr;
    QLabel* note_ = nullptr;
    std::unique_ptr<VoiceEngine> engine_;
    std::string path_;
    bool started_ = false;
    bool silent_ = false;
};

} // namespace pavonia
