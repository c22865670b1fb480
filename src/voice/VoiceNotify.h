#pragma once
// What the voice engine tells its owner. Both interfaces are called on the
// user-interface thread, from inside the engine's calls or from the audio
// device's tick; a handler may call the engine again (for example Stop from a
// position notification). Every slot has an empty default, so an owner
// overrides only what it uses.
#include "voice/LipSyncFrame.h"

#include <cstdint>

namespace pavonia {

// Notifications about playback and the message.
class VoiceNotify {
public:
    virtual ~VoiceNotify() = default;
    virtual void RequireEdit() {}
    virtual void RequireSave() {}
    // The playing position in milliseconds of the message, on every tick of
    // the device while playing.
    virtual void WordPosition(std::int64_t /*ms*/) {}
    virtual void playStarted() {}
    // Playback ended: the end of the message (or preview) was reached, or it
    // was stopped.
    virtual void playStopped() {}
    // The lip-sync frame of the current playing time, each time it changes.
    virtual void lipSyncFrameChanged(const LipSyncFrame& /*frame*/) {}
    // A request with a code; kRequestSave asks the owner to save the voice.
    virtual void Request(int /*code*/) {}

    static constexpr int kRequestSave = 1;
};

// Recording events.
class WaveRecordHook {
public:
    virtual ~WaveRecordHook() = default;
    virtual void OnInit() {}
    virtual void recordStarted() {}
    virtual void recordPaused() {}
    virtual void recordResumed() {}
    // The recording ended (StopAsyncRec); `finalMs` is its length.
    virtual void recordFinished(std::int64_t /*finalMs*/) {}
    virtual void OnStartPlay() {}
    virtual void OnStopPlay() {}
    // The recorded length so far, on every tick of the device while recording.
    virtual void recordPosition(std::int64_t /*ms*/) {}
    // Asked before a recording starts; false refuses the start.
    virtual bool queryStart() { return true; }
    virtual bool queryContinue() { return true; }
    virtual void OnDestroy() {}
};

} // namespace pavonia
