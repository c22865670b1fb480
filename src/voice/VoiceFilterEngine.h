#pragma once
// What the voice filter dialog needs from the voice engine it borrows from
// the slide voice page. VoiceEngine implements it; tests use a fake.
//
// Times are milliseconds. Calls arrive on the user-interface thread.
#include <cstdint>

#include "voice/PcmAudio.h"
#include "voice/VoiceEditRecord.h"

namespace pavonia {

class VoiceFilterEngine {
public:
    virtual ~VoiceFilterEngine() = default;

    // A copy of the voice as it is now, to be put back after a preview.
    virtual PcmAudio ReserveData() const = 0;
    // Puts a copy made by ReserveData back as the voice.
    virtual void RestoreData(const PcmAudio& saved) = 0;

    // Applies the record's filters to the voice from startMs to endMs
    // (clamped to the voice; the voice keeps its length). Calls
    // applyVoiceFilter (VoiceFilters.h). False when nothing could be edited
    // (no voice loaded, empty range).
    virtual bool EditVoice(int64_t startMs, int64_t endMs, const VoiceEditRecord& record) = 0;

    // Plays the first `ms` milliseconds of the voice. True when playback
    // started; its end (or Stop) is reported by the engine's play-stopped
    // notification, which the page forwards to the open filter dialog.
    virtual bool PlayPreview(int64_t ms) = 0;
    // Stops any playback; the play-stopped notification follows.
    virtual void Stop() = 0;

    // Playing state, read before stopping.
    virtual bool IsPlayAll() const = 0;       // the whole message is playing
    virtual bool IsPlaySelection() const = 0; // a preview (PlayPreview) is playing
    virtual bool IsAsyncRecord() const = 0;   // a recording is running

    // Length of the loaded message.
    virtual int64_t GetTotalTime() const = 0;
};

} // namespace pavonia
