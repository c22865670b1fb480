#include "voice/VoiceEngine.h"

#include "platform/StringTable.h"
#include "voice/TpsFile.h"
#include "voice/VoiceFilters.h"
#include "voice/WaveFile.h"

#include <algorithm>

namespace pavonia {

namespace {

// Around an edited range the lip-sync is analysed again with this much of
// the voice on either side, so the analysis sees the same surroundings
// (noise floor, smoothing) it saw the first time.
constexpr std::int64_t kAnalysisMarginMs = 1000;

// The part of `audio` from `fromMs` to `toMs` (clamped).
PcmAudio slice(const PcmAudio& audio, std::int64_t fromMs, std::int64_t toMs)
{
    PcmAudio out;
    out.sampleRate = audio.sampleRate;
    out.channels = audio.channels;
    const std::size_t from = audio.frameAt(fromMs);
    const std::size_t to = std::max(from, audio.frameAt(toMs));
    const std::size_t channels = std::size_t(std::max(audio.channels, 1));
    out.samples.assign(audio.samples.begin() + long(from * channels), audio.samples.begin() + long(to * channels));
    return out;
}

} // namespace

VoiceEngine::VoiceEngine(AudioDevice& device, const std::string& installationFolder)
    : device_(device), lipSyncSettings_(LipSyncSettings::load(installationFolder))
{
    device_.setListener(this);
}

VoiceEngine::~VoiceEngine()
{
    device_.setListener(nullptr);
    if (playMode_ != PlayMode::None)
        device_.stopPlayback();
    if (recording_)
        device_.stopCapture();
    if (hook_)
        hook_->OnDestroy();
}

void VoiceEngine::HookRecordDialog(WaveRecordHook* hook)
{
    hook_ = hook;
    if (hook_)
        hook_->OnInit();
}

int VoiceEngine::CheckTPS(const std::string& path) const { return static_cast<int>(checkTps(path)); }

int VoiceEngine::LoadTPS(const std::string& path, int reload) { return load(path, reload, false); }

int VoiceEngine::loadVoiceTps(const std::string& path, int reload) { return load(path, reload, true); }

int VoiceEngine::load(const std::string& path, int reload, bool refuseTextMode)
{
    if (!reload && !loadedPath_.empty() && path == loadedPath_)
        return refuseTextMode && message_.textMode ? kTextModeMessage : 0;
    TalkingMessage loaded;
    const Result<> read = readTps(path, loaded);
    if (read && refuseTextMode && loaded.textMode)
        return kTextModeMessage;
    Stop();
    if (!read) {
        lastError_ = read.failure();
        return 1;
    }
    // A message whose frames do not cover its voice (written by a tool
    // without lip-sync) is analysed here, so playback always has a mouth.
    message_ = std::move(loaded);
    if (!framesCoverVoice())
        analyseAll();
    loadedPath_ = path;
    position_ = 0;
    return 0;
}

bool VoiceEngine::SaveTPS(const std::string& path, int /*format*/, int flags)
{
    if ((flags & 1) && !framesCoverVoice())
        analyseAll();
    if (const Result<> written = writeTps(path, message_); !written) {
        lastError_ = written.failure();
        return false;
    }
    loadedPath_ = path;
    return true;
}

bool VoiceEngine::ImportWave(const std::string& wavePath, const std::string* secondPath, int /*mode*/)
{
    if (secondPath) {
        lastError_ = Failure(str::VoiceSecondWaveUnsupported);
        return false;
    }
    Stop();
    PcmAudio audio;
    if (const Result<> read = readWave(wavePath, audio); !read) {
        lastError_ = read.failure();
        return false;
    }
    message_.voice = std::move(audio);
    message_.textMode = false;
    message_.text.clear();
    analyseAll();
    position_ = 0;
    return true;
}

bool VoiceEngine::PlayAll(std::int64_t fromMs)
{
    return startPlaying(std::max<std::int64_t>(fromMs, 0), message_.lengthMs(), PlayMode::All);
}

bool VoiceEngine::PlayPreview(std::int64_t ms)
{
    return startPlaying(0, std::min(ms, message_.lengthMs()), PlayMode::Selection);
}

bool VoiceEngine::startPlaying(std::int64_t fromMs, std::int64_t toMs, PlayMode mode)
{
    if (recording_)
        return false;
    Stop();
    if (message_.voice.empty() || fromMs >= toMs) {
        lastError_ = Failure(str::VoiceNothingToPlay);
        return false;
    }
    if (const Result<> started = device_.startPlayback(slice(message_.voice, fromMs, toMs)); !started) {
        lastError_ = Failure(str::VoicePlaybackFailed, {started.failure().text()});
        return false;
    }
    playMode_ = mode;
    playOffset_ = fromMs;
    position_ = fromMs;
    lastFrameIndex_ = -1;
    if (notify_)
        notify_->playStarted();
    if (hook_ && playMode_ != PlayMode::None)
        hook_->OnStartPlay();
    return true;
}

void VoiceEngine::Stop()
{
    if (playMode_ == PlayMode::None)
        return;
    device_.stopPlayback();
    finishPlaying();
}

void VoiceEngine::finishPlaying()
{
    playMode_ = PlayMode::None;
    if (notify_)
        notify_->playStopped();
    if (hook_)
        hook_->OnStopPlay();
}

void VoiceEngine::audioTick()
{
    if (recording_) {
        collectCaptured();
        if (hook_)
            hook_->recordPosition(recordedMs());
    }
    if (playMode_ == PlayMode::None)
        return;
    const bool ended = !device_.isPlaying();
    position_ = playOffset_ + device_.playbackPositionMs();
    if (notify_)
        notify_->WordPosition(position_);
    // A handler may have stopped playback or started another one.
    if (playMode_ == PlayMode::None)
        return;
    const std::int64_t frameIndex = position_ / kLipSyncFrameMs;
    if (frameIndex != lastFrameIndex_) {
        lastFrameIndex_ = frameIndex;
        if (notify_)
            notify_->lipSyncFrameChanged(message_.frameAt(position_));
        if (playMode_ == PlayMode::None)
            return;
    }
    if (ended)
        finishPlaying();
}

bool VoiceEngine::StartAsyncRec()
{
    if (recording_)
        return false;
    Stop();
    if (hook_ && !hook_->queryStart())
        return false;
    if (const Result<> started = device_.startCapture(kRecordFormat); !started) {
        lastError_ = Failure(str::VoiceRecordFailed, {started.failure().text()});
        return false;
    }
    recorded_ = PcmAudio{};
    recorded_.sampleRate = kRecordFormat.sampleRate;
    recorded_.channels = kRecordFormat.channels;
    recording_ = true;
    paused_ = false;
    finishedRecording_ = false;
    if (hook_)
        hook_->recordStarted();
    return true;
}

void VoiceEngine::PauseAsyncRec()
{
    if (!recording_ || paused_)
        return;
    collectCaptured();
    device_.pauseCapture();
    paused_ = true;
    if (hook_)
        hook_->recordPaused();
}

void VoiceEngine::ResumeAsyncRec()
{
    if (!recording_ || !paused_)
        return;
    device_.resumeCapture();
    paused_ = false;
    if (hook_)
        hook_->recordResumed();
}

void VoiceEngine::StopAsyncRec()
{
    if (!recording_)
        return;
    device_.stopCapture();
    collectCaptured();
    recording_ = false;
    paused_ = false;
    finishedRecording_ = true;
    if (hook_)
        hook_->recordFinished(recordedMs());
}

void VoiceEngine::AbendonAsyncRec()
{
    if (recording_) {
        device_.stopCapture();
        device_.takeCaptured();
    }
    recording_ = false;
    paused_ = false;
    finishedRecording_ = false;
    recorded_ = PcmAudio{};
}

std::int64_t VoiceEngine::ApplyAsyncRec(int /*mode*/)
{
    if (recording_)
        StopAsyncRec();
    if (!finishedRecording_) {
        lastError_ = Failure(str::VoiceNoRecording);
        return -1;
    }
    finishedRecording_ = false;
    message_.voice = std::move(recorded_);
    recorded_ = PcmAudio{};
    message_.textMode = false;
    message_.text.clear();
    analyseAll();
    position_ = 0;
    // The recording replaces the whole voice, so marks taken while recording
    // are already times of the new voice.
    const std::int64_t offset = 0;
    if (notify_)
        notify_->Request(VoiceNotify::kRequestSave);
    return offset;
}

std::int64_t VoiceEngine::recordedMs() const { return recorded_.lengthMs(); }

void VoiceEngine::collectCaptured()
{
    std::vector<std::int16_t> captured = device_.takeCaptured();
    recorded_.samples.insert(recorded_.samples.end(), captured.begin(), captured.end());
}

PcmAudio VoiceEngine::ReserveData() const
{
    reservedFrames_ = message_.frames;
    reservedSampleCount_ = message_.voice.samples.size();
    return message_.voice;
}

void VoiceEngine::RestoreData(const PcmAudio& saved)
{
    Stop();
    message_.voice = saved;
    // The frames kept by ReserveData belong to this voice when the sizes
    // agree; anything else is analysed afresh.
    if (saved.samples.size() == reservedSampleCount_ && !reservedFrames_.empty())
        message_.frames = reservedFrames_;
    else
        analyseAll();
}

bool VoiceEngine::EditVoice(std::int64_t startMs, std::int64_t endMs, const VoiceEditRecord& record)
{
    if (message_.voice.empty())
        return false;
    startMs = std::clamp<std::int64_t>(startMs, 0, message_.lengthMs());
    endMs = std::clamp<std::int64_t>(endMs, 0, message_.lengthMs());
    if (startMs >= endMs)
        return false;
    if (!applyVoiceFilter(message_.voice, startMs, endMs, record))
        return true; // nothing to apply: the voice stays as it is
    analyseRange(startMs, endMs);
    return true;
}

bool VoiceEngine::framesCoverVoice() const
{
    return std::int64_t(message_.frames.size()) * kLipSyncFrameMs >= message_.lengthMs();
}

void VoiceEngine::analyseAll() { message_.frames = analyseLipSync(message_.voice, lipSyncSettings_); }

void VoiceEngine::analyseRange(std::int64_t startMs, std::int64_t endMs)
{
    if (!framesCoverVoice()) {
        analyseAll();
        return;
    }
    const std::int64_t length = message_.lengthMs();
    // Analyse from a frame boundary so the new frames line up with the old.
    const std::int64_t from = std::max<std::int64_t>(0, startMs - kAnalysisMarginMs) / kLipSyncFrameMs * kLipSyncFrameMs;
    const std::int64_t to = std::min(length, endMs + kAnalysisMarginMs);
    const std::vector<LipSyncFrame> frames = analyseLipSync(slice(message_.voice, from, to), lipSyncSettings_);
    const std::size_t first = std::size_t(startMs / kLipSyncFrameMs);
    const std::size_t last = std::size_t((endMs + kLipSyncFrameMs - 1) / kLipSyncFrameMs);
    const std::size_t base = std::size_t(from / kLipSyncFrameMs);
    for (std::size_t i = first; i < last && i < message_.frames.size(); ++i)
        if (i - base < frames.size())
            message_.frames[i] = frames[i - base];
}

} // namespace pavonia
