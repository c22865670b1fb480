#pragma once
// The slide voice page without its widgets: the session's talking message and
// image, the voice engine's load, mute, record, sync and preview rules, the
// picture strip the marks move, and what the page's buttons offer. The
// widget shows the state below and forwards the user's actions, and learns
// of changes through setViewChanged (see ViewNotifier); the talking-image
// player is driven through TalkingPlayer.
#include "platform/StringTable.h"
#include "platform/ViewNotifier.h"
#include "project/ProjectDocument.h"
#include "project/SessionFileCopies.h"
#include "pages/SlideStrip.h"
#include "voice/VoiceEngine.h"
#include "voice/VoiceNotify.h"

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace pavonia {

// The talking-image player as the page drives it.
class TalkingPlayer {
public:
    virtual ~TalkingPlayer() = default;
    virtual void loadImage(const std::string& path) = 0;
    virtual void loadMessage(const std::string& path) = 0;
    virtual std::string currentImage() const = 0;
    virtual std::string currentMessage() const = 0;
    // Sets the frame's six values and shows it.
    virtual void showFrame(const LipSyncFrame& frame) = 0;
    virtual void startAnimation() = 0;
    virtual void stopAnimation() = 0;
};

class SlideVoiceLogic : public ViewNotifier<SlideVoiceLogic>, private VoiceNotify, private WaveRecordHook {
public:
    enum class Mode { Idle = 0, Preview = 1, Sync = 2, Record = 3 };

    // What the page's buttons offer; tips are string-table numbers.
    struct Controls {
        bool record = false, pause = false, sync = false, preview = false;
        bool mute = false, voiceFilter = false;
        bool messageButtons = false; // the talking message "Import" and "Edit"
        bool imageButtons = true;    // the talking image "Import" and "Edit"
        bool importMedia = true;
        bool previousImage = false, nextImage = false;
        bool nextSlideVisible = false;
        int recordTip = str::VoiceTipRecord;
        int pauseTip = str::VoiceTipPause;
        int syncTip = str::VoiceTipSync;
        int previewTip = str::VoiceTipPreview;
        int muteTip = str::VoiceTipNoMute;

        bool operator==(const Controls&) const = default;
    };

    // Engine and player must outlive the logic; the logic becomes the
    // engine's notification target and record hook.
    SlideVoiceLogic(ProjectDocument& document, VoiceEngine& engine, TalkingPlayer& player);
    ~SlideVoiceLogic() override;
    SlideVoiceLogic(const SlideVoiceLogic&) = delete;
    SlideVoiceLogic& operator=(const SlideVoiceLogic&) = delete;

    // Shows the session `item` (nothing happens for the root or a slide).
    void showSession(TreeItem* item);
    // The session shown is gone or no longer shown (the project was
    // replaced, another kind of item selected): the page lets go of it.
    // Playback stops; the command flags are left to the new selection.
    void forgetSession();
    // Makes the session's message current in the engine: refuses a text-mode
    // message, reports a load error; true when loaded.
    bool loadMessage();

    // The page's buttons.
    void clickMute();
    void clickRecord();
    void clickPause();
    void clickSync();
    void clickPreview();
    // "Next Slide", Enter or a click on the large picture.
    void nextSlide();
    void previousImage();
    void nextImage();

    // Replaces the session's talking message with `source` (album, Import
    // Talking Message command): the engine loads it first, and only then the
    // old working copy is released. False (nothing changed) when it does not load.
    bool setTalkingMessage(const std::string& source);
    // The "Import" button of the talking message: asks before replacing.
    bool importTalkingMessage(const std::string& source);
    void setTalkingImage(const std::string& source);
    // Import Wave File: a wave or MP3 file becomes the session's voice.
    bool importVoice(const std::string& path);
    // The voice filter dialog ended with "OK": save and reload the message.
    void voiceFilterApplied();

    // The "Edit" buttons: before the external editor opens, the session gets
    // a working copy of its own when it has none or shares one; returns the
    // file the editor is to change (kind 0 the image, 1 the message).
    std::string prepareExternalEdit(int kind);
    // The editor runtime reports that editor `kind` closed.
    void externalEditorClosed(int kind);

    // Before most commands: playback stops.
    void stopPlayback();
    // Before the project is closed: playback stops, a recording is discarded.
    void cancelRecording();
    // A recording runs, or has ended and waits to be applied or thrown away.
    bool hasUnappliedRecording() const { return engine_.IsAsyncRecord() || engine_.hasFinishedRecording(); }
    // Before the page is left (another tree item, the project closed): with
    // an unapplied recording the user chooses to stop and apply it, to throw
    // it away, or to stay. True when the page may be left.
    bool leave();

    // How the end of a recording asks whether to apply it (the page shows
    // "&Apply" and "&Cancel"): Ok applies, anything else means throw away,
    // which is confirmed before the recording is lost. Without one the
    // document's prompt asks with OK and Cancel.
    void setApplyRecordingPrompt(std::function<Answer()> prompt) { applyPrompt_ = std::move(prompt); }

    // Called when the engine reports that playback stopped (the voice filter
    // dialog puts back its preview voice from here).
    void setPlayStoppedListener(std::function<void()> listener) { playStoppedListener_ = std::move(listener); }

    TreeItem* session() const { return session_; }
    Mode mode() const { return mode_; }
    bool muted() const { return muted_; }
    bool syncing() const { return syncFlag_; }
    bool editingAllowed() const { return editingAllowed_; }
    bool voiceImportAllowed() const { return document_.voiceImportAllowed(); }
    bool imageImportAllowed() const { return document_.imageImportAllowed(); }
    const Controls& controls() const { return controls_; }
    const std::vector<std::int64_t>& marks() const { return strip_.marks(); }
    const std::vector<std::string>& pictures() const { return strip_.pictures(); }
    const std::vector<std::string>& subTopics() const { return strip_.subTopics(); }
    int currentPicture() const { return strip_.current(); }
    // "%d / %d" of the picture strip.
    std::string pictureNumberText() const { return strip_.numberText(); }
    const std::string& timeText() const { return timeText_; }

    // Everything the view shows, as one value.
    auto visibleState() const
    {
        return std::tuple(session_, mode_, muted_, syncFlag_, editingAllowed_, voiceImportAllowed(),
                          imageImportAllowed(), controls_, marks(), pictures(), subTopics(), currentPicture(),
                          timeText_);
    }

private:
    // VoiceNotify
    void WordPosition(std::int64_t ms) override;
    void playStarted() override;
    void playStopped() override;
    void lipSyncFrameChanged(const LipSyncFrame& frame) override;
    void Request(int code) override;
    // WaveRecordHook
    void recordStarted() override;
    void recordPosition(std::int64_t ms) override;
    void recordFinished(std::int64_t finalMs) override;

    SessionData* data() const;
    std::vector<SlideData*> slides() const;
    void setButtonsForSession();
    void refreshStrip();
    void backToIdle();
    void applySyncResult(bool save);
    // Saves the engine's voice to the session's message, loads it again and
    // lets the player load it. False (with a message) when it cannot be written.
    bool saveMessage();
    void showTime(std::int64_t position);
    void setMuteButtons(bool muted);
    // The mute state and the buttons it opens or closes.
    void showMuted(bool muted);
    void disableVoiceOfAnotherSession();
    // Editing of the whole project (tree, commands) is allowed or not.
    void setEditingAllowed(bool allowed);
    // Asks until the user applies the recording or confirms throwing it away.
    bool askApplyRecording();

    // Gives the session a message copy of its own before it is written.
    // False, with the write failure shown, when the message may still be
    // shared and no copy of its own can be made: it must not be written then.
    bool ensureOwnMessageCopy();

    ProjectDocument& document_;
    VoiceEngine& engine_;
    TalkingPlayer& player_;
    SessionFileCopies copies_;
    std::function<void()> playStoppedListener_;
    std::function<Answer()> applyPrompt_;
    bool applyWithoutAsking_ = false;

    TreeItem* session_ = nullptr;
    Mode mode_ = Mode::Idle;
    bool syncFlag_ = false;
    bool markPending_ = false;
    bool marksTaken_ = false;
    bool paused_ = false;
    bool muted_ = false;
    bool messageChanged_ = false;
    bool imageChanged_ = false;
    bool editingAllowed_ = true;
    bool voiceLoaded_ = true; // the engine holds this session's voice
    std::string editedImage_, editedMessage_;
    SlideStrip strip_;
    std::string timeText_;
    Controls controls_;
};

} // namespace pavonia
