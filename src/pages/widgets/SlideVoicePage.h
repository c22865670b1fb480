#pragma once
// The slide voice page: the page the main window shows when a session is
// selected. The picture strip (a large frame and three small ones, pictures
// through the shared image cache), the talking-image player, the wave view of
// the message with the playing position and the sync marks, the time
// display, and the buttons for mute, record, pause, sync, preview, voice
// filter, "Next Slide" and the import and edit of the talking image and
// message, over SlideVoiceLogic and a voice engine of the page's own.
//
// Entry points for the window:
//   showSession(item)        a session was selected (the page shows it)
//   stopPlayback()           before most commands
//   leave()                  before the page is left or the project closed:
//                            an unapplied recording is asked about first
//   forgetSession()          the project was replaced or the page left
//   importWave()             "Import Wave File..."
//   importTalkingImage()     "Import Talking Image..."
//   importTalkingMessage()   "Import Talking Message..."
//   editorClosed(kind)       an external editor the page started has closed
#include "pages/SlideVoiceLogic.h"
#include "platform/Result.h"
#include "voice/AudioDevice.h"
#include "voice/VoiceEngine.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QToolButton;

namespace pavonia {

class ImageCache;
class PictureFrame;
class TalkingImagePlayer;
class VoiceFilterDialogLogic;
class WaveView;

class SlideVoicePage : public QWidget {
    Q_OBJECT
public:
    // Output sizes of the image cache the page's frames use.
    static constexpr int kLargeOutput = 0;
    static constexpr int kSmallOutput = 1;

    // `device` plays and records for the page's engine. `deviceProblem` says
    // why the sound card could not be opened (the device then refuses every
    // start): it is shown once, when the page first shows a session.
    SlideVoicePage(ProjectDocument& document, std::unique_ptr<AudioDevice> device, ImageCache& cache,
                   std::optional<Failure> deviceProblem = std::nullopt, QWidget* parent = nullptr);
    ~SlideVoicePage() override;

    SlideVoiceLogic& logic() { return *logic_; }
    VoiceEngine& engine() { return *engine_; }
    TalkingImagePlayer& player() { return *player_; }
    WaveView& waveView() { return *wave_; }
    PictureFrame& largeFrame() { return *large_; }
    PictureFrame& smallFrame(int i) { return *small_[std::size_t(i)]; }

    void showSession(TreeItem* item);
    void stopPlayback();
    bool leave();
    void forgetSession();
    void importWave();
    void importTalkingImage();
    void importTalkingMessage();
    void editorClosed(int kind);
    // The voice filter icon: the filter dialog over the page's engine.
    void openVoiceFilter();

    // Starts the external editor of `kind` (0 talking image, 1 talking
    // message) on the two files; false when it could not start. Without one
    // the image "Edit" button and the whole talking message row are hidden.
    using ExternalEditor = std::function<bool(int kind, const std::string& image, const std::string& message)>;
    void setExternalEditor(ExternalEditor editor);
    // How a talking image (kind 0) or message (kind 1) is chosen for the
    // import buttons and commands: the content album, starting in `folder`;
    // the chosen file or nothing. Without one a file dialog asks.
    using ContentChooser = std::function<std::optional<std::string>(int kind, const std::string& folder)>;
    void setContentChooser(ContentChooser chooser) { chooseContent_ = std::move(chooser); }
    // Whether the window's media import may run now (the layout has a media
    // area, editing is allowed): "Import Media" follows it.
    void setImportMediaAllowed(bool allowed);
    // How the voice filter dialog runs over its logic (tests answer without
    // a modal dialog).
    void setVoiceFilterRunner(std::function<void(VoiceFilterDialogLogic&)> runner)
    {
        runVoiceFilter_ = std::move(runner);
    }
    // How the end of a recording asks "Apply" or "Cancel" (see
    // SlideVoiceLogic::setApplyRecordingPrompt); the page's own shows a
    // message box with those buttons.
    void setApplyRecordingPrompt(std::function<Answer()> prompt);

    // Shows the logic's state: pictures, texts, buttons, wave and time.
    void showState();

signals:
    // "Import Media": the window's media import into the session.
    void importMediaRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void watchKeys(QWidget* widget);
    void setOutputSizes();
    void clickEdit(int kind);
    std::optional<std::string> chooseFile(int title, int filter, std::string& folder);
    // A talking image (0) or message (1) through the content chooser or a
    // file dialog; remembers its folder.
    std::optional<std::string> chooseContent(int kind);

    ProjectDocument& document_;
    std::unique_ptr<AudioDevice> device_;
    std::unique_ptr<VoiceEngine> engine_;
    ImageCache& cache_;
    std::optional<Failure> deviceProblem_;
    std::unique_ptr<class PagePlayer> playerAdapter_;
    std::unique_ptr<SlideVoiceLogic> logic_;
    ExternalEditor externalEditor_;
    ContentChooser chooseContent_;
    std::function<void(VoiceFilterDialogLogic&)> runVoiceFilter_;
    // The folders of the last imported talking image, message and voice.
    std::string imageFolder_, messageFolder_, waveFolder_;
    bool importMediaAllowed_ = true;

    QPushButton* importMedia_ = nullptr;
    PictureFrame* large_ = nullptr;
    std::array<PictureFrame*, 3> small_{};
    QLabel* number_ = nullptr;
    QLabel* subTopic_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QPushButton* nextSlide_ = nullptr;
    TalkingImagePlayer* player_ = nullptr;
    WaveView* wave_ = nullptr;
    QLabel* time_ = nullptr;
    QToolButton* mute_ = nullptr;
    QToolButton* record_ = nullptr;
    QToolButton* pause_ = nullptr;
    QToolButton* sync_ = nullptr;
    QToolButton* preview_ = nullptr;
    QToolButton* voiceFilter_ = nullptr;
    QPushButton* imageImport_ = nullptr;
    QPushButton* imageEdit_ = nullptr;
    QLabel* messageLabel_ = nullptr;
    QPushButton* messageImport_ = nullptr;
    QPushButton* messageEdit_ = nullptr;
};

} // namespace pavonia
