#pragma once
// The talking image file (".tjm"): a face picture, kept as its encoded PNG or
// JPEG bytes, and the layout the player needs to animate it: where the mouth
// and the eyes are, how large they are, the colours of lips, mouth, teeth and
// eyelids, how often the face blinks, and optional mouth-shape pictures drawn
// in place of the painted mouth. The byte layout is in docs/tjm-format.md.
#include "platform/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

// Colours are 0x00RRGGBB.
struct TjmRig {
    // The coordinate space of every position and size below: the face
    // picture's size in pixels. A player scales them to the picture it shows.
    std::uint16_t faceWidth = 512;
    std::uint16_t faceHeight = 512;
    // Centre of the closed mouth, its width from corner to corner, the height
    // of the opening when the jaw is wide open, and the thickness of a lip.
    std::uint16_t mouthX = 256;
    std::uint16_t mouthY = 380;
    std::uint16_t mouthWidth = 110;
    std::uint16_t mouthOpenHeight = 70;
    std::uint16_t lipThickness = 12;
    // Centres of the eyes and the size of one eye opening.
    std::uint16_t leftEyeX = 190;
    std::uint16_t leftEyeY = 250;
    std::uint16_t rightEyeX = 322;
    std::uint16_t rightEyeY = 250;
    std::uint16_t eyeWidth = 70;
    std::uint16_t eyeHeight = 50;
    // Mean time between two blinks and the length of one blink.
    std::uint16_t blinkEveryMs = 4000;
    std::uint16_t blinkMs = 180;
    std::uint32_t upperLipColor = 0xB04A4A;
    std::uint32_t lowerLipColor = 0xC85A5A;
    std::uint32_t mouthColor = 0x3A1418;  // the dark inside of the open mouth
    std::uint32_t teethColor = 0xF6F2EA;
    std::uint32_t tongueColor = 0xC8525A;
    std::uint32_t skinColor = 0xF2C29C;   // the closed eyelids
    std::uint32_t lashColor = 0x3A2418;   // the line along the lid's edge

    friend bool operator==(const TjmRig&, const TjmRig&) = default;
};

// A picture of the mouth for one viseme (a `Viseme` value), drawn over the
// mouth at the rig's mouth width instead of the painted mouth.
struct TjmOverlay {
    std::int16_t viseme = 0;
    std::string picture; // PNG or JPEG bytes

    friend bool operator==(const TjmOverlay&, const TjmOverlay&) = default;
};

struct TjmFile {
    TjmRig rig;
    std::string picture; // the face: PNG or JPEG bytes
    std::vector<TjmOverlay> overlays;

    friend bool operator==(const TjmFile&, const TjmFile&) = default;
};

enum class TjmError {
    None,
    TooLarge,     // larger than a talking image can be
    NotTjm,       // no talking image signature
    NewerVersion, // written by a later version of the format
    Truncated,    // the data ends inside a field
    BadLength,    // a length or count that the data does not hold
    BadValue,     // a layout value out of its range
    BadPicture,   // a picture that is neither PNG nor JPEG
    TrailingData, // bytes after the last section
};

inline constexpr std::uint16_t kTjmVersion = 1;
inline constexpr std::size_t kTjmMaxFileSize = 32u << 20;
inline constexpr std::size_t kTjmMaxOverlays = 8;

// Checks every layout value against its range (see docs/tjm-format.md).
bool isValidRig(const TjmRig& rig);
// True for bytes that begin with a PNG or JPEG signature.
bool isPictureData(std::string_view bytes);

// The file's bytes; nothing when the content is not valid (a bad rig, a
// picture that is not PNG or JPEG, too many or repeated overlays).
std::optional<std::string> writeTjm(const TjmFile& file);
// Reads `data` into `out`; on an error `out` is left unchanged. The codec's
// own verdict: readTjmFile tells the user.
TjmError readTjm(std::string_view data, TjmFile& out);

// Reads the talking image at `path` into `out`, left unchanged on failure:
// str::TalkingImageMissing (with the system's error) when the file cannot be
// opened, str::TalkingImageNewer for a later version of the format and
// str::TalkingImageDamaged for any other refusal, a file too large included.
Result<> readTjmFile(const std::string& path, TjmFile& out);
// Writes through a temporary file in the same folder, so a failed write never
// destroys an existing file. Fails with str::TalkingImageDamaged when the
// content is invalid, or with the write's failure.
Result<> writeTjmFile(const std::string& path, const TjmFile& file);

} // namespace pavonia
