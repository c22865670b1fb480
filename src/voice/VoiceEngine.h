#pragma once
// The voice engine: holds one talking message (voice and lip-sync frames),
// plays it, records a new voice, imports waves, filters the voice and reads
// and writes message files. It owns no thread: audio goes through an
// AudioDevice, whose tick drives the position, lip-sync and recording
// notifications on the user-interface thread (see docs/voice-engine.md).
//
// The calls keep the names and results the slide voice page and the voice
// filter dialog rely on. Times are milliseconds. A call that fails leaves
// why in lastError(), for the command that made it to show.
#include "voice/AudioDevice.h"
#include "voice/LipSyncAnalyzer.h"
#include "voice/TalkingMessage.h"
#include "voice/VoiceFilterEngine.h"
#include "voice/VoiceNotify.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavonia {

class VoiceEngine : public VoiceFilterEngine, private AudioDeviceListener {
public:
    // The format new recordings are made in: 16-bit mono at 22050 Hz, the
    // first choice of the recording device setup.
    static constexpr AudioFormat kRecordFormat{22050, 1};
    // CheckTPS answer for a text-mode message, which the voice page refuses.
    static constexpr int kTextModeMessage = 3;

    // `installationFolder` (ending with "/") holds the lip-sync tuning in
    // "LIPSincData". The device must outlive the engine.
    VoiceEngine(AudioDevice& device, const std::string& installationFolder);
    ~VoiceEngine() override;
    VoiceEngine(const VoiceEngine&) = delete;
    VoiceEngine& operator=(const VoiceEngine&) = delete;

    void setNotify(VoiceNotify* notify) { notify_ = notify; }
    // Recording events reach `hook` (OnInit at once); null unhooks.
    void HookRecordDialog(WaveRecordHook* hook);

    // What a message file holds: a TpsKind number (3 = text mode).
    int CheckTPS(const std::string& path) const;
    // Loads a message file. Without `reload` a file that is already the
    // loaded one is not read again. 0 = loaded, other = error (the loaded
    // message stays as it was). Playback is stopped first.
    virtual int LoadTPS(const std::string& path, int reload);
    // LoadTPS for the slide voice page, which refuses text mode: a text-mode
    // message is not loaded and gives kTextModeMessage. One read of the file
    // serves both the check and the load.
    int loadVoiceTps(const std::string& path, int reload);
    // Writes the voice and its lip-sync frames as a message file. `format` 2
    // is the voice with lip-sync (the only format written); with bit 0 of
    // `flags` set, frames missing for part of the voice are analysed first.
    virtual bool SaveTPS(const std::string& path, int format = 2, int flags = 1);
    // Replaces the voice with a wave file's sound and analyses its lip-sync.
    // `secondPath` (a second channel file) is not supported and must be null;
    // `mode` 1 replaces the whole voice (the only mode offered).
    virtual bool ImportWave(const std::string& wavePath, const std::string* secondPath = nullptr, int mode = 1);
    std::int64_t GetTotalTime() const override { return message_.lengthMs(); }

    // Plays the voice from `fromMs` to its end; true when playback started.
    virtual bool PlayAll(std::int64_t fromMs = 0);
    // Stops playback; the stop notification follows at once.
    void Stop() override;

    // Recording in kRecordFormat. StartAsyncRec is true when capture started;
    // StopAsyncRec ends it and reports the length to the hook; the recording
    // then waits for ApplyAsyncRec or AbendonAsyncRec.
    virtual bool StartAsyncRec();
    void PauseAsyncRec();
    void ResumeAsyncRec();
    void StopAsyncRec();
    // Drops a running or finished recording (a running one ends without
    // reporting to the hook).
    void AbendonAsyncRec();
    // The finished recording becomes the voice, with its lip-sync analysed,
    // and the owner is asked to save (Request with kRequestSave). `mode` 1
    // replaces the voice (the only mode offered). Returns the time offset of
    // the recording within the new voice, to be added to marks taken while
    // recording; -1 when there was no recording to apply.
    virtual std::int64_t ApplyAsyncRec(int mode = 1);

    bool IsAsyncRecord() const override { return recording_; }
    bool isRecordPaused() const { return recording_ && paused_; }
    bool hasFinishedRecording() const { return finishedRecording_; }
    bool IsPlayAll() const override { return playMode_ == PlayMode::All; }
    bool IsPlaySelection() const override { return playMode_ == PlayMode::Selection; }

    PcmAudio ReserveData() const override;
    void RestoreData(const PcmAudio& saved) override;
    bool EditVoice(std::int64_t startMs, std::int64_t endMs, const VoiceEditRecord& record) override;
    // Plays the first `ms` milliseconds of the voice.
    bool PlayPreview(std::int64_t ms) override;

    const TalkingMessage& message() const { return message_; }
    const std::string& loadedPath() const { return loadedPath_; }
    // The last playing position (while playing, the current one).
    std::int64_t position() const { return position_; }
    // The recorded length so far (running or finished recording).
    std::int64_t recordedMs() const;
    // Why the last call that failed did, for the user; nothing before the
    // first failure.
    const std::optional<Failure>& lastError() const { return lastError_; }

private:
    enum class PlayMode { None, All, Selection };

    int load(const std::string& path, int reload, bool refuseTextMode);
    void audioTick() override;
    bool startPlaying(std::int64_t fromMs, std::int64_t toMs, PlayMode mode);
    void finishPlaying();
    void collectCaptured();
    // False when part of the voice has no lip-sync frames (a message written
    // by a tool without lip-sync).
    bool framesCoverVoice() const;
    void analyseAll();
    void analyseRange(std::int64_t startMs, std::int64_t endMs);

    AudioDevice& device_;
    LipSyncSettings lipSyncSettings_;
    VoiceNotify* notify_ = nullptr;
    WaveRecordHook* hook_ = nullptr;

    TalkingMessage message_;
    std::string loadedPath_;
    std::optional<Failure> lastError_;

    PlayMode playMode_ = PlayMode::None;
    std::int64_t playOffset_ = 0; // message time of the block's first sample
    std::int64_t position_ = 0;
    std::int64_t lastFrameIndex_ = -1;

    bool recording_ = false;
    bool paused_ = false;
    bool finishedRecording_ = false;
    PcmAudio recorded_;

    // The frames that went with the voice of the last ReserveData, put back
    // with it by RestoreData.
    mutable std::vector<LipSyncFrame> reservedFrames_;
    mutable std::size_t reservedSampleCount_ = 0;
};

} // namespace pavonia
