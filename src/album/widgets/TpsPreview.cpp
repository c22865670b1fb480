#include "album/widgets/TpsPreview.h"

#include "platform/StringTable.h"
#include "voice/VoiceEngine.h"
#include "voice/widgets/TalkingImagePlayer.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pavonia {

TpsPreview::TpsPreview(const std::string& installationFolder, AudioDevice* device, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("preview"));
    player_ = new TalkingImagePlayer(clock_, 7, this);
    player_->applyInitialValues();
    player_->setIdleBlink(1);
    player_->setBorder(1);
    player_->setFixedSize(132, 132);
    player_->loadTalkingImage(installationFolder + "default_tjm.tjm");
    note_ = new QLabel(QString::fromStdString(StringTable::text(str::AlbumPreviewSilent)), this);
    note_->setWordWrap(true);
    note_->setMaximumWidth(132);
    note_->setVisible(device == nullptr);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(player_, 0, Qt::AlignHCenter);
    layout->addWidget(note_);
    layout->addStretch(1);
    if (device) {
        engine_ = std::make_unique<VoiceEngine>(*device, installationFolder);
        engine_->setNotify(this);
    }
}

TpsPreview::~TpsPreview()
{
    if (engine_) {
        engine_->setNotify(nullptr);
        engine_->Stop();
    }
}

void TpsPreview::startPreview() { started_ = true; }

void TpsPreview::stopPreview()
{
    started_ = false;
    silent_ = false;
    if (engine_)
        engine_->Stop();
    player_->stop();
}

void TpsPreview::loadTps(const std::string& path)
{
    path_ = path;
    if (engine_)
        engine_->Stop();
    player_->stop();
    silent_ = false;
    if (!started_ || path.empty())
        return;
    if (engine_) {
        // A message the engine cannot read has nothing to play.
        if (engine_->LoadTPS(path, 1) != 0)
            return;
        if (engine_->PlayAll(0)) {
            player_->startAnimation();
            return;
        }
    }
    // No sound to be had: the face speaks without it.
    note_->setVisible(true);
    playSilently();
}

void TpsPreview::playSilently()
{
    if (player_->loadTalkingMessage(path_) != TalkingImagePlayer::LoadResult::Loaded)
        return;
    player_->setSelfPlay(1);
    player_->startAnimation();
    silent_ = true;
}

bool TpsPreview::isPlaying() const { return (engine_ && engine_->IsPlayAll()) || (silent_ && player_->isAnimating()); }

void TpsPreview::playStopped() { player_->stop(); }

void TpsPreview::lipSyncFrameChanged(const LipSyncFrame& frame)
{
    player_->setFrame(frame);
    player_->showFrame();
}

} // namespace pavonia
