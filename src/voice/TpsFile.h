#pragma once
// The .tps talking message file (see docs/tps-format.md): a RIFF/WAVE file,
// so ordinary audio tools play it, with chunks of ours for the lip-sync
// frames ("lips"), the message header ("pvtm") and a text-mode text ("text").
// Every length is checked against the bytes that are really there.
#include "voice/TalkingMessage.h"
#include "platform/Result.h"
#include "platform/StringTable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pavonia {

// A message file smaller than this is the muted/empty message. The writer
// pads a message with voice to at least this size, so a short voice is never
// taken for a muted one.
constexpr std::uint64_t kMutedMessageSize = 512;

// The current format version written to the "pvtm" chunk. Readers accept
// any file of the same major version.
constexpr int kTpsMajorVersion = 1;
constexpr int kTpsMinorVersion = 0;

// What checkTps tells of a file (the numbers are the engine's CheckTPS answers).
enum class TpsKind : int {
    Voice = 0,    // a valid message with voice
    Empty = 1,    // a valid message without voice (muted/empty)
    Damaged = 2,  // not a message, or a damaged one
    TextMode = 3, // a valid text-mode message (the voice page refuses it)
    Missing = 4,  // no such file, or it cannot be read
};

// How the voice samples are stored.
struct TpsWriteOptions {
    int bitsPerSample = 16; // 16 or 8 (8-bit halves the size, for low export quality)
};

// Reads a whole message. Fails for a missing, foreign or damaged file;
// `message` is then left unchanged.
Result<> readTps(const std::string& path, TalkingMessage& message);
// The same on bytes in memory; `name` is the file name used in errors.
Result<> readTpsBytes(std::string_view bytes, TalkingMessage& message, const std::string& name = {});

// The file's bytes for `message`. Frames beyond the voice are kept as they
// are; the voice must be 1 or 2 channels at 8000-48000 Hz (or empty).
std::string tpsBytes(const TalkingMessage& message, const TpsWriteOptions& options = {});
// Writes `message` to `path` through a temporary file beside it renamed into
// place, so a failed write leaves the old file intact.
Result<> writeTps(const std::string& path, const TalkingMessage& message, const TpsWriteOptions& options = {});

// Classifies a file without keeping its voice.
TpsKind checkTps(const std::string& path);

// True when the file at `path` counts as a muted message: smaller than
// kMutedMessageSize, or missing, or not a regular file.
bool isMutedMessageFile(const std::string& path);

} // namespace pavonia
