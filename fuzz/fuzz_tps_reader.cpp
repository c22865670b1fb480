// Reads arbitrary bytes as a talking message (and as a wave file). What
// reads must satisfy the reader's promises and write back to the same message.
#include "voice/TpsFile.h"
#include "voice/WaveFile.h"

#include <cstdint>
#include <string_view>

using namespace pavonia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    PcmAudio audio;
    if (readWaveBytes(bytes, audio)) {
        if (audio.channels < 1 || audio.channels > 2 || audio.samples.size() % std::size_t(audio.channels) != 0)
            __builtin_trap();
    }
    TalkingMessage message;
    if (const Result<> read = readTpsBytes(bytes, message); !read) {
        if (read.failure().message == 0)
            __builtin_trap(); // a refusal without a reason
        return 0;
    }
    for (const LipSyncFrame& frame : message.frames)
        for (const int16_t v : frame.values())
            if (v < 0 || v > 100)
                __builtin_trap();
    TalkingMessage again;
    if (!readTpsBytes(tpsBytes(message), again) || again.frames != message.frames ||
        again.voice.samples != message.voice.samples || again.textMode != message.textMode ||
        again.text != message.text)
        __builtin_trap(); // what was read does not survive a write
    return 0;
}
