// The slide voice page's work on the session's files: saving the engine's
// voice, replacing the talking message and image, importing a voice, the
// working copies a session needs before its files change, and the external
// editors. The record, sync and preview states are in SlideVoiceLogic.cpp.
#include "pages/SlideVoiceLogic.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "voice/Mp3Decoder.h"
#include "voice/TpsFile.h"

#include <cerrno>

namespace pavonia {

// ---- saving and replacing the message -------------------------------------------

void SlideVoiceLogic::Request(int code)
{
    ViewChange change(*this);
    if (code != VoiceNotify::kRequestSave || !data())
        return;
    if (mode_ == Mode::Record && marksTaken_)
        return; // the sync result saves once the marks are shifted
    if (saveMessage()) {
        messageChanged_ = true;
        document_.setDirty(true);
    }
}

bool SlideVoiceLogic::saveMessage()
{
    SessionData* session = data();
    if (!session)
        return false;
    if (!ensureOwnMessageCopy())
        return false;
    if (!engine_.SaveTPS(session->talkingMessagePath, 2, 1)) {
        // An engine that fails without saying why shows nothing rather than
        // a stale or empty failure.
        if (engine_.lastError())
            showFailure(document_.ui(), *engine_.lastError());
        return false;
    }
    session->engineLoadFlag = 1;
    if (engine_.LoadTPS(session->talkingMessagePath, 1) == 0)
        session->engineLoadFlag = 0;
    voiceLoaded_ = true; // the engine's voice is this session's now
    player_.loadMessage(session->talkingMessagePath);
    return true;
}

void SlideVoiceLogic::voiceFilterApplied()
{
    ViewChange change(*this);
    if (saveMessage()) {
        messageChanged_ = true;
        document_.setDirty(true);
        showTime(0);
    }
}

bool SlideVoiceLogic::setTalkingMessage(const std::string& source)
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session)
        return false;
    stopPlayback();
    session->modified = 1;
    session->engineLoadFlag = 1;
    // The engine takes the new file before the old working copy goes, so a
    // file that does not load leaves the session on its previous message.
    const int result = engine_.loadVoiceTps(source, 1);
    if (result == VoiceEngine::kTextModeMessage) {
        document_.message(StringTable::text(str::VoiceTextModeRefused));
        return false;
    }
    if (result != 0) {
        document_.message(StringTable::text(str::VoiceLoadTpsError));
        return false;
    }
    const std::string copy = copies_.acquire(source, "tps");
    if (copy.empty())
        return false;
    copies_.release(session->talkingMessagePath);
    session->talkingMessagePath = copy;
    session->engineLoadFlag = 0;
    voiceLoaded_ = true;
    player_.loadMessage(copy);
    messageChanged_ = true;
    document_.setDirty(true);
    muted_ = isMutedMessageFile(copy);
    setMuteButtons(muted_);
    setButtonsForSession();
    showTime(0);
    return true;
}

bool SlideVoiceLogic::importTalkingMessage(const std::string& source)
{
    ViewChange change(*this);
    if (!data())
        return false;
    if (document_.message(StringTable::text(str::VoiceReplaceMessage), Buttons::OkCancel) != Answer::Ok)
        return false;
    return setTalkingMessage(source);
}

void SlideVoiceLogic::setTalkingImage(const std::string& source)
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session)
        return;
    const std::string copy = copies_.acquire(source, "tjm");
    if (copy.empty())
        return;
    copies_.release(session->talkingImagePath);
    session->talkingImagePath = copy;
    player_.loadImage(copy);
    session->modified = 1;
    document_.setDirty(true);
}

bool SlideVoiceLogic::importVoice(const std::string& path)
{
    ViewChange change(*this);
    if (!data() || muted_ || engine_.IsAsyncRecord())
        return false;
    std::string wave = path;
    if (equalsIgnoreCase(extensionOf(path), "mp3")) {
        wave = document_.workingFolder().tempWavePath();
        int rate = 0, channels = 0, bits = 0;
        if (NBWaveDecodeMp3File(path, &rate, &channels, &bits, wave) != 0) {
            document_.message(StringTable::text(str::VoiceMp3Error));
            return false;
        }
    }
    stopPlayback();
    if (!engine_.ImportWave(wave, nullptr, 1)) {
        if (engine_.lastError())
            showFailure(document_.ui(), *engine_.lastError());
        return false;
    }
    if (!saveMessage())
        return false;
    messageChanged_ = true;
    document_.setDirty(true);
    showTime(0);
    return true;
}

// ---- working copies --------------------------------------------------------------

bool SlideVoiceLogic::ensureOwnMessageCopy()
{
    SessionData* session = data();
    if (!session)
        return false;
    switch (copies_.makeOwn(session->talkingMessagePath, "tps")) {
    case SessionFileCopies::OwnCopy::Unchanged:
        return true;
    case SessionFileCopies::OwnCopy::Copied:
        session->modified = 1;
        return true;
    case SessionFileCopies::OwnCopy::Failed:
        break;
    }
    document_.message(
        StringTable::format(str::VoiceWriteFailed, {session->talkingMessagePath, systemErrorText(errno)}));
    return false;
}

// ---- external editors ------------------------------------------------------------

std::string SlideVoiceLogic::prepareExternalEdit(int kind)
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session)
        return {};
    stopPlayback();
    if (kind == 0) {
        // A shared image that cannot be copied is handed over as it is.
        if (copies_.makeOwn(session->talkingImagePath, "tjm") == SessionFileCopies::OwnCopy::Copied)
            session->modified = 1;
        editedImage_ = session->talkingImagePath;
        return editedImage_;
    }
    // A message that may still be shared is never handed to an editor.
    if (!ensureOwnMessageCopy())
        return {};
    editedMessage_ = session->talkingMessagePath;
    return editedMessage_;
}

void SlideVoiceLogic::externalEditorClosed(int kind)
{
    ViewChange change(*this);
    SessionData* session = data();
    if (!session)
        return;
    if (kind == 0) {
        player_.loadImage(editedImage_);
        document_.setDirty(true);
        return;
    }
    session->engineLoadFlag = 1;
    if (equalsIgnoreCase(session->talkingMessagePath, editedMessage_) && loadMessage())
        player_.loadMessage(editedMessage_);
    document_.setDirty(true);
    if (muted_) {
        // The edited message replaces the voice kept for unmuting; the copies
        // kept for other sessions stay, they are needed to unmute those.
        copies_.dropKeptVoice(editedMessage_);
        showMuted(false);
    }
}

} // namespace pavonia
