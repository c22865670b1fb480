// The slide voice page's states: showing a session, mute, record, sync and
// preview. Saving and replacing the session's files is in SlideVoiceFiles.cpp.
#include "pages/SlideVoiceLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "voice/TpsFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace pavonia {

namespace fs = std::filesystem;

namespace {

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

std::string seconds(std::int64_t ms)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", double(ms) / 1000.0);
    return text;
}

} // namespace

SlideVoiceLogic::SlideVoiceLogic(ProjectDocument& document, VoiceEngine& engine, TalkingPlayer& player)
    : document_(document), engine_(engine), player_(player), copies_(document)
{
    engine_.setNotify(this);
    engine_.HookRecordDialog(this);
}

SlideVoiceLogic::~SlideVoiceLogic()
{
    engine_.setNotify(nullptr);
    engine_.HookRecordDialog(nullptr);
}

SessionData* SlideVoiceLogic::data() const { return session_ ? session_->session() : nullptr; }

std::vector<SlideData*> SlideVoiceLogic::slides() const
{
    std::vector<SlideData*> out;
    if (session_)
        for (const auto& child : session_->children())
            if (child->slide())
                out.push_back(child->slide());
    return out;
}

// ---- showing a session -------------------------------------------------

void SlideVoiceLogic::showSession(TreeItem* item)
{
    ViewChange change(*this);
    stopPlayback();
    if (!item || item->kind() != ItemKind::Session || !item->session())
        return;
    session_ = item;
    SessionData& session = *item->session();

    muted_ = isMutedMessageFile(session.talkingMessagePath);
    setMuteButtons(muted_);

    voiceLoaded_ = true;
    if (!finalComponent(session.talkingMessagePath).empty()) {
        const bool playerBehind =
            !equalsIgnoreCase(player_.currentMessage(), session.talkingMessagePath) || messageChanged_;
        if (playerBehind)
            player_.loadMessage(session.talkingMessagePath);
        // The engine may still hold another session's voice (after a load
        // that failed), whatever the player shows.
        if (playerBehind || session.engineLoadFlag || engine_.loadedPath() != session.talkingMessagePath)
            loadMessage();
        if (voiceLoaded_)
            messageChanged_ = false;
        markPending_ = false;
    }
    if (!finalComponent(session.talkingImagePath).empty() &&
        (!equalsIgnoreCase(player_.currentImage(), session.talkingImagePath) || imageChanged_)) {
        player_.loadImage(session.talkingImagePath);
        imageChanged_ = false;
    }

    strip_.load(slides(), document_.installationFolder());
    strip_.marksFromDelays(slides());
    mode_ = Mode::Idle;
    syncFlag_ = false;
    setButtonsForSession();
    strip_.setCurrent(0);
    refreshStrip();
}

void SlideVoiceLogic::forgetSession()
{
    ViewChange change(*this);
    stopPlayback();
    session_ = nullptr;
    mode_ = Mode::Idle;
    syncFlag_ = markPending_ = marksTaken_ = paused_ = false;
    strip_ = SlideStrip{};
    controls_ = Controls{};
    timeText_.clear();
    if (!editingAllowed_)
        setEditingAllowed(true);
}

void SlideVoiceLogic::disableVoiceOfAnotherSession()
{
    // The engine still holds the voice of the session shown before: nothing
    // may play, filter or save it as this session's voice. Recording and
    // importing a new message stay open, as they replace the voice.
    controls_.sync = controls_.preview = controls_.voiceFilter = controls_.mute = false;
}

bool SlideVoiceLogic::loadMessage()
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session)
        return false;
    const std::string& path = session->talkingMessagePath;
    voiceLoaded_ = false;
    const int result = engine_.loadVoiceTps(path, session->engineLoadFlag);
    if (result == VoiceEngine::kTextModeMessage) {
        document_.message(StringTable::text(str::VoiceTextModeRefused));
        return false;
    }
    if (result != 0) {
        session->engineLoadFlag = 1;
        document_.message(StringTable::text(str::VoiceLoadTpsError));
        return false;
    }
    session->engineLoadFlag = 0;
    voiceLoaded_ = true;
    showTime(0);
    return true;
}

void SlideVoiceLogic::setButtonsForSession()
{
    const SessionData* session = data();
    const bool bothFiles = session && fileExists(session->talkingImagePath) && fileExists(session->talkingMessagePath);
    const bool voiceOn = !muted_;
    controls_.nextSlideVisible = false;
    controls_.pause = false;
    controls_.pauseTip = str::VoiceTipPause;
    controls_.recordTip = str::VoiceTipRecord;
    controls_.syncTip = str::VoiceTipSync;
    controls_.previewTip = str::VoiceTipPreview;
    controls_.sync = strip_.count() > 1 && bothFiles && voiceOn;
    controls_.record = voiceOn;
    controls_.preview = voiceOn;
    controls_.messageButtons = voiceOn;
    controls_.voiceFilter = voiceOn;
    controls_.mute = true;
    controls_.imageButtons = true;
    controls_.importMedia = true;
    document_.setVoiceImportAllowed(voiceOn);
    document_.setImageImportAllowed(true);
    setEditingAllowed(true);
    if (!voiceLoaded_)
        disableVoiceOfAnotherSession();
}

void SlideVoiceLogic::refreshStrip()
{
    const int count = strip_.count();
    if (strip_.current() >= count)
        strip_.setCurrent(std::max(count - 1, 0));
    const int current = strip_.current();
    const bool browse = !syncFlag_ && mode_ == Mode::Idle && count >= 2;
    controls_.previousImage = browse && current > 0;
    controls_.nextImage = browse && current < count - 1;
    if (current >= count - 1)
        controls_.nextSlideVisible = false;
}

void SlideVoiceLogic::previousImage()
{
    ViewChange change(*this);
    if (!controls_.previousImage)
        return;
    strip_.setCurrent(strip_.current() - 1);
    refreshStrip();
}

void SlideVoiceLogic::nextImage()
{
    ViewChange change(*this);
    if (!controls_.nextImage)
        return;
    strip_.setCurrent(strip_.current() + 1);
    refreshStrip();
}

void SlideVoiceLogic::showTime(std::int64_t position)
{
    const std::string unit = StringTable::text(str::VoiceSeconds);
    if (mode_ == Mode::Record && engine_.IsAsyncRecord())
        timeText_ = seconds(position) + " " + unit;
    else
        timeText_ = seconds(position) + " / " + seconds(engine_.GetTotalTime()) + " " + unit;
}

void SlideVoiceLogic::setEditingAllowed(bool allowed)
{
    editingAllowed_ = allowed;
    document_.setEditingAllowed(allowed);
}

void SlideVoiceLogic::setMuteButtons(bool muted) { controls_.muteTip = muted ? str::VoiceTipMute : str::VoiceTipNoMute; }

// ---- mute ----------------------------------------------------------------

void SlideVoiceLogic::clickMute()
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session || !controls_.mute)
        return;
    stopPlayback();
    if (!muted_) {
        // A message shared with other sessions is copied first, so muting
        // this session leaves theirs alone.
        if (!ensureOwnMessageCopy() ||
            !copies_.muteMessage(session->talkingMessagePath, document_.installationFolder() + "MuteVoice.tps"))
            return;
    } else {
        copies_.unmuteMessage(session->talkingMessagePath);
    }
    session->engineLoadFlag = 1;
    loadMessage();
    player_.loadMessage(session->talkingMessagePath);
    showMuted(!muted_);
}

void SlideVoiceLogic::showMuted(bool muted)
{
    muted_ = muted;
    setMuteButtons(muted);
    controls_.record = controls_.preview = controls_.voiceFilter = controls_.messageButtons = !muted;
    controls_.sync = !muted && strip_.count() > 1;
    controls_.pause = false;
    if (muted)
        controls_.nextSlideVisible = false;
    document_.setVoiceImportAllowed(!muted);
}

// ---- record ---------------------------------------------------------------

void SlideVoiceLogic::clickRecord()
{
    ViewChange change(*this);
    if (!data())
        return;
    if (engine_.IsAsyncRecord()) {
        engine_.StopAsyncRec();
        return;
    }
    if (!controls_.record)
        return;
    const Mode previousMode = mode_;
    const int previousPicture = strip_.current();
    mode_ = Mode::Record;
    syncFlag_ = true;
    marksTaken_ = false;
    paused_ = false;
    strip_.setCurrent(0);
    if (!engine_.StartAsyncRec()) {
        mode_ = previousMode;
        syncFlag_ = false;
        strip_.setCurrent(previousPicture);
        if (engine_.lastError())
            showFailure(document_.ui(), *engine_.lastError());
        return;
    }
    controls_.recordTip = str::VoiceTipStop;
    controls_.pause = true;
    controls_.pauseTip = str::VoiceTipPause;
    controls_.sync = controls_.preview = controls_.mute = controls_.voiceFilter = controls_.importMedia = false;
    controls_.nextSlideVisible = strip_.count() > 1;
    refreshStrip();
    document_.setDirty(true);
}

void SlideVoiceLogic::recordStarted()
{
    ViewChange change(*this);
    controls_.messageButtons = controls_.imageButtons = controls_.importMedia = false;
    setEditingAllowed(false);
    document_.setVoiceImportAllowed(false);
    document_.setImageImportAllowed(false);
    showTime(0);
}

void SlideVoiceLogic::clickPause()
{
    ViewChange change(*this);
    if (!engine_.IsAsyncRecord() || !controls_.pause)
        return;
    if (paused_) {
        engine_.ResumeAsyncRec();
        controls_.pauseTip = str::VoiceTipPause;
    } else {
        engine_.PauseAsyncRec();
        controls_.pauseTip = str::VoiceTipContinue;
    }
    paused_ = !paused_;
}

void SlideVoiceLogic::recordPosition(std::int64_t ms)
{
    ViewChange change(*this);
    showTime(ms);
}

void SlideVoiceLogic::nextSlide()
{
    ViewChange change(*this);
    if (!syncFlag_ || !controls_.nextSlideVisible)
        return;
    if (!marksTaken_) {
        strip_.restartMarks();
        marksTaken_ = true;
    }
    if (mode_ == Mode::Record) {
        strip_.addMark(engine_.recordedMs());
        strip_.setCurrent(std::min(strip_.current() + 1, strip_.count() - 1));
        refreshStrip();
    } else if (mode_ == Mode::Sync) {
        markPending_ = true;
    }
}

void SlideVoiceLogic::recordFinished(std::int64_t finalMs)
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session) {
        engine_.AbendonAsyncRec();
        return;
    }
    if (marksTaken_)
        strip_.addMark(finalMs);
    if (!askApplyRecording()) {
        engine_.AbendonAsyncRec();
    } else {
        // The recording gets a working file of its own; it is written by the
        // save that follows.
        const std::string previous = session->talkingMessagePath;
        const std::string copy = copies_.create("tps");
        if (!copy.empty()) {
            session->talkingMessagePath = copy;
            session->modified = 1;
        }
        const std::int64_t offset = engine_.ApplyAsyncRec(1);
        if (marksTaken_ && offset >= 0) {
            strip_.shiftMarks(offset);
            applySyncResult(true);
        }
        // The previous message goes only once the recording is on disk: a
        // save that failed leaves the session on its previous voice, which
        // the engine loads again when it is next needed.
        if (!copy.empty()) {
            if (fileExists(copy)) {
                copies_.release(previous);
            } else {
                copies_.release(copy);
                session->talkingMessagePath = previous;
                session->engineLoadFlag = 1;
                voiceLoaded_ = false;
            }
        }
        muted_ = isMutedMessageFile(session->talkingMessagePath);
        setMuteButtons(muted_);
    }
    backToIdle();
}

bool SlideVoiceLogic::askApplyRecording()
{
    if (applyWithoutAsking_)
        return true;
    for (;;) {
        const Answer answer = applyPrompt_
                                  ? applyPrompt_()
                                  : document_.message(StringTable::text(str::VoiceRecordFinished), Buttons::OkCancel);
        if (answer == Answer::Ok)
            return true;
        // A recording is never lost by a slip of the hand: throwing it away
        // is confirmed.
        if (document_.message(StringTable::text(str::VoiceDiscardRecording), Buttons::YesNo) == Answer::Yes)
            return false;
    }
}

bool SlideVoiceLogic::leave()
{
    ViewChange change(*this);
    if (!hasUnappliedRecording()) {
        stopPlayback();
        return true;
    }
    switch (document_.message(StringTable::text(str::VoiceLeaveRecording), Buttons::YesNoCancel)) {
    case Answer::Yes:
        if (engine_.IsAsyncRecord()) {
            if (engine_.isRecordPaused())
                engine_.ResumeAsyncRec();
            applyWithoutAsking_ = true;
            engine_.StopAsyncRec();
            applyWithoutAsking_ = false;
        }
        return !hasUnappliedRecording();
    case Answer::No:
        cancelRecording();
        return true;
    default:
        return false;
    }
}

// ---- sync and preview -------------------------------------------------------

void SlideVoiceLogic::clickSync()
{
    ViewChange change(*this);
    if (!data())
        return;
    if (engine_.IsPlayAll()) {
        engine_.Stop();
        return;
    }
    if (!controls_.sync || strip_.count() < 2)
        return;
    mode_ = Mode::Sync;
    syncFlag_ = true;
    marksTaken_ = false;
    markPending_ = false;
    strip_.setCurrent(0);
    controls_.syncTip = str::VoiceTipStop;
    controls_.record = controls_.preview = controls_.mute = controls_.voiceFilter = false;
    controls_.nextSlideVisible = true;
    refreshStrip();
    if (!engine_.PlayAll(0)) {
        if (engine_.lastError())
            showFailure(document_.ui(), *engine_.lastError());
        backToIdle();
    }
}

void SlideVoiceLogic::clickPreview()
{
    ViewChange change(*this);
    if (!data())
        return;
    if (engine_.IsPlayAll()) {
        engine_.Stop();
        return;
    }
    if (!controls_.preview)
        return;
    mode_ = Mode::Preview;
    strip_.marksFromDelays(slides());
    strip_.setCurrent(0);
    controls_.previewTip = str::VoiceTipStop;
    controls_.record = controls_.sync = controls_.mute = controls_.voiceFilter = false;
    refreshStrip();
    if (!engine_.PlayAll(0)) {
        if (engine_.lastError())
            showFailure(document_.ui(), *engine_.lastError());
        backToIdle();
    }
}

void SlideVoiceLogic::playStarted()
{
    ViewChange change(*this);
    player_.startAnimation();
    if (mode_ == Mode::Sync) {
        setEditingAllowed(false);
        strip_.marksFromDelays(slides());
    }
}

void SlideVoiceLogic::WordPosition(std::int64_t ms)
{
    ViewChange change(*this);
    showTime(ms);
    if (mode_ == Mode::Sync && markPending_) {
        strip_.addMark(ms);
        markPending_ = false;
        strip_.setCurrent(std::min(int(strip_.marks().size()) - 1, std::max(strip_.count() - 1, 0)));
        refreshStrip();
    } else if (mode_ == Mode::Preview) {
        strip_.setCurrent(strip_.pictureAt(ms));
        refreshStrip();
    }
}

void SlideVoiceLogic::lipSyncFrameChanged(const LipSyncFrame& frame) { player_.showFrame(frame); }

void SlideVoiceLogic::playStopped()
{
    ViewChange change(*this);
    player_.stopAnimation();
    if (mode_ == Mode::Sync && marksTaken_) {
        strip_.addMark(engine_.GetTotalTime());
        applySyncResult(false);
    }
    if (mode_ == Mode::Sync || mode_ == Mode::Preview)
        backToIdle();
    setEditingAllowed(true);
    strip_.setCurrent(0);
    refreshStrip();
    showTime(0);
    if (playStoppedListener_)
        playStoppedListener_();
}

void SlideVoiceLogic::applySyncResult(bool save)
{
    if (save)
        saveMessage();
    strip_.writeDelays(slides());
    document_.setDirty(true);
}

void SlideVoiceLogic::backToIdle()
{
    mode_ = Mode::Idle;
    syncFlag_ = false;
    markPending_ = false;
    marksTaken_ = false;
    paused_ = false;
    setButtonsForSession();
    strip_.setCurrent(0);
    refreshStrip();
    showTime(0);
}

void SlideVoiceLogic::stopPlayback()
{
    ViewChange change(*this);
    if (engine_.IsPlayAll() || engine_.IsPlaySelection())
        engine_.Stop();
}

void SlideVoiceLogic::cancelRecording()
{
    ViewChange change(*this);
    stopPlayback();
    if (engine_.IsAsyncRecord() || engine_.hasFinishedRecording()) {
        if (engine_.isRecordPaused())
            engine_.ResumeAsyncRec();
        engine_.AbendonAsyncRec();
        if (session_)
            backToIdle();
    }
}

} // namespace pavonia
